#pragma once
// The P-I/O assignment page (page 10): the function and inversion of each of the sixteen
// parallel I/O terminals D00 to D15, chosen in place in one list.

#include <QTableWidget>

#include "model/PioFunctions.h"
#include "pages/PageIndex.h"
#include "pages/SettingPage.h"
#include "widgets/CellChoiceEditor.h"

namespace qavix {

class CView008 : public SettingPage {
    Q_OBJECT
  public:
    static constexpr int kPageIndex = nav::kPagePio;
    enum Column : int {
        kPortColumn,
        kFunctionColumn,
        kJudgementColumn,
        kNumberColumn,
        kInversionColumn,
        kColumnCount
    };

    explicit CView008(const PageContext& context, QWidget* parent = nullptr);

    QTableWidget* list() const { return m_list; }
    CellChoiceEditor* cellEditor() const { return m_editor; }
    const PioTable& terminals() const { return m_table; }
    // The texts a cell offers now (none for the port and for "-" cells).
    QStringList choices(int row, int column) const;

  protected:
    std::vector<PageRead> controllerReads() const override;
    void fillFromWorkingSet() override;
    bool differsFromWorkingSet() const override;
    std::vector<codec::PutRequest> pagePuts() override;
    void repaintFields() override;
    void focusFirstField() override;

  private:
    // The values behind the texts `choices` offers, in the same order.
    std::vector<int> choiceValues(int row, int column) const;
    void onChosen(int row, int column, int choice);

    QTableWidget* m_list = nullptr;
    CellChoiceEditor* m_editor = nullptr;
    PioTable m_table{};
};

}  // namespace qavix
