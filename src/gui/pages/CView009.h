#pragma once
// The overall ON/OFF judgement page (page 11): how many beams must be blocked and how many
// must receive light, once for all sensors together or per sensor, and fixed blanking per
// sensor, with the way into each sensor's blanking beams.

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "model/OverallJudgement.h"
#include "pages/FieldColours.h"
#include "pages/PageIndex.h"
#include "pages/SettingPage.h"

namespace qavix {

class CView009 : public SettingPage {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageOverallJudgement;
    // Field states: the three blocked boxes, the three incident boxes, the three FIX
    // switches, the arrangement.
    static constexpr int kFirstIncidentField = kChannelCount;
    static constexpr int kFirstFixField = 2 * kChannelCount;
    static constexpr int kArrangementField = 3 * kChannelCount;
    static constexpr int kFieldCount = kArrangementField + 1;

    explicit CView009(const PageContext& context, QWidget* parent = nullptr);

    int startSettingTimeoutMs() const override { return kOverallJudgementTimeoutMs; }

    FieldComboBox* arrangementBox() const { return m_arrangement; }
    QLineEdit* blockedBox(int channel) const { return m_rows.at(index(channel)).blocked; }
    QLineEdit* incidentBox(int channel) const { return m_rows.at(index(channel)).incident; }
    FieldComboBox* fixBox(int channel) const { return m_rows.at(index(channel)).fix; }
    QPushButton* blankingButton(int channel) const { return m_rows.at(index(channel)).blanking; }
    QGroupBox* rowBox(int channel) const { return m_rows.at(index(channel)).group; }
    QLineEdit* box(BeamJudgement kind, int channel) const {
        return kind == BeamJudgement::Blocked ? blockedBox(channel) : incidentBox(channel);
    }

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    bool checkFields() override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;
    void written(bool ok) override;

  private:
    struct Row {
        QGroupBox* group = nullptr;
        QLineEdit* blocked = nullptr;
        QLineEdit* incident = nullptr;
        FieldComboBox* fix = nullptr;
        QPushButton* blanking = nullptr;
    };
    static size_t index(int channel) { return static_cast<size_t>(channel); }
    static int fieldOf(BeamJudgement kind, int channel) {
        return (kind == BeamJudgement::Blocked ? 0 : kFirstIncidentField) + channel;
    }

    Row makeRow(int channel);
    OverallJudgementValues values() const;
    std::array<int32_t, kChannelCount> beams() const;
    // Checks one box against the arrangement shown; a failure shows its message and puts the
    // focus into the box.
    bool checkBox(BeamJudgement kind, int channel, bool validatingChange = false);
    void onNumberEdited(BeamJudgement kind, int channel);
    void onFixChosen(int channel);
    void onArrangementChosen(int index);
    void layOut(int arrangementIndex);
    void openBlanking(int channel);

    FieldComboBox* m_arrangement = nullptr;
    std::array<Row, kChannelCount> m_rows{};
    int m_previousArrangement = kTogetherIndex;
};

}  // namespace qavix
