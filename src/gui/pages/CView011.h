#pragma once
// The group judgement page (page 13): the sixteen beam groups, each a range from a lower to
// an upper end (channel and beam), chosen in place in one list and checked all together
// before anything is sent.

#include <QTableWidget>
#include <array>

#include "model/GroupRanges.h"
#include "pages/PageIndex.h"
#include "pages/SettingPage.h"
#include "widgets/CellChoiceEditor.h"

namespace qavix {

class CView011 : public SettingPage {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPageGroupJudgement;
    enum Column : int {
        kNumberColumn,
        kLowerChannelColumn,
        kLowerBeamColumn,
        kUpperChannelColumn,
        kUpperBeamColumn,
        kColumnCount
    };

    explicit CView011(const PageContext& context, QWidget* parent = nullptr);

    QTableWidget* list() const { return m_list; }
    CellChoiceEditor* cellEditor() const { return m_editor; }
    const GroupTable& groups() const { return m_table; }
    bool rowMarked(int row) const { return m_faulty.at(static_cast<size_t>(row)); }
    QStringList choices(int row, int column) const;

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    bool checkFields() override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;

  private:
    std::array<int32_t, kChannelCount> beams() const;
    std::vector<int> choiceValues(int row, int column) const;
    GroupEnd& endAt(int row, int column);
    void onChosen(int row, int column, int choice);

    QTableWidget* m_list = nullptr;
    CellChoiceEditor* m_editor = nullptr;
    GroupTable m_table{};
    // Groups the last check found faulty, shown until the next check.
    std::array<bool, kGroupCount> m_faulty{};
};

}  // namespace qavix
