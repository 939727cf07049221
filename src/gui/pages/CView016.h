#pragma once
// The sensor operation settings page (page 18): one sensor channel at a time, the channel
// the tree handed over. Identification, the auxiliary outputs OUT2 and OUT3 (CH1), the ON
// and OFF thresholds, floating and fixed blanking, and the buttons to the beam pages. Each
// channel keeps its own values and edit state while the page shows another one.

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "model/SensorOperation.h"
#include "pages/FieldColours.h"
#include "pages/SettingPage.h"

namespace qavix {

class CView016 : public SettingPage {
    Q_OBJECT
  public:
    enum Field : int {
        kFieldId = 0,
        kFieldOut2,
        kFieldOut3,
        kFieldOn,
        kFieldOff,
        kFieldFloating,
        kFieldMode,
        kFieldBeams,
        kFieldFixed,
        kFieldCount,
    };
    static constexpr const char* kDefaultsText = QT_TRANSLATE_NOOP("qavix::CView016", "ﾃﾞﾌｫﾙﾄ");

    explicit CView016(const PageContext& context, QWidget* parent = nullptr);

    void pageShown(const QString& title) override;
    // The command bar's "ﾃﾞﾌｫﾙﾄ".
    void pageAction() override;

    int channel() const { return m_channel; }
    QLineEdit* idBox() const { return m_id; }
    QLineEdit* onBox() const { return m_on; }
    QLineEdit* offBox() const { return m_off; }
    QLineEdit* modelBox() const { return m_model; }
    FieldComboBox* list(int field) const;
    QPushButton* designateButton() const { return m_designate; }
    QPushButton* fixedBeamsButton() const { return m_fixedBeams; }
    // What the controls show now.
    SensorOperationValues shown() const;

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    bool checkFields() override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;
    void readFailed() override;

  private:
    // The page's grid: label | field | extra, one row after another.
    struct FormRows {
        QGridLayout* grid;
        QWidget* owner;
        int row = 0;
        QLabel* add(const QString& label, QWidget* field, QWidget* extra = nullptr);
        // A group box over the three columns.
        void addWide(QWidget* w);
    };
    void buildIdentityRows(FormRows& rows);
    void buildOutputRows(FormRows& rows);
    void buildThresholdRow(FormRows& rows);
    void buildBlankingRows(FormRows& rows);
    FieldComboBox* addList(int field, int id, const QString& name, const QStringList& items);
    QLineEdit* addBox(int id, const QString& name, bool editable);
    void applyVisibility();
    void showValues(const SensorOperationValues& v);
    void fillOutputList(FieldComboBox* list, int32_t storedCode, int entry);
    void updateEnables();
    void listChanged(int field);
    void idEdited(const QString& text);
    void refuseId();
    void thresholdLeft(bool onBox);
    void openBeamPage(AppState::BeamFlagTable table);
    // Field states of every field from a comparison with the working set, then the page.
    void compareAll();
    const ChannelRecord& record() const { return working().channel(m_channel - 1); }
    SensorOperationValues storedValues() const { return sensorOperationValues(record()); }

    int m_channel = 1;
    // Set while the controls are filled (and built), whose changes are no edits.
    bool m_filling = true;
    bool m_readFailed = false;
    ThresholdPair m_thresholds;
    int32_t m_difference = 0;
    // Per channel: filled at least once, the values and edit state while another shows.
    std::array<bool, kChannelCount> m_loaded{};
    std::array<SensorOperationValues, kChannelCount> m_saved{};
    std::array<ThresholdPair, kChannelCount> m_savedThresholds{};
    std::array<int32_t, kChannelCount> m_savedDifference{};
    std::vector<PageEditState> m_edits;

    QLineEdit* m_model = nullptr;
    QLineEdit* m_emitterSerial = nullptr;
    QLineEdit* m_receiverSerial = nullptr;
    QLineEdit* m_id = nullptr;
    QLineEdit* m_on = nullptr;
    QLineEdit* m_off = nullptr;
    std::array<FieldComboBox*, kFieldCount> m_lists{};
    QPushButton* m_designate = nullptr;
    QPushButton* m_fixedBeams = nullptr;
    std::vector<QWidget*> m_outputRow;
    std::vector<QWidget*> m_floatingRow;
    QWidget* m_fixedGroup = nullptr;
    bool m_onTyped = false;
    bool m_offTyped = false;
};

}  // namespace qavix
