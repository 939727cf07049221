#include "pages/CView008.h"

#include <QVBoxLayout>

#include "pages/ChoiceTable.h"

namespace qavix {

namespace {

constexpr int kMargin = 24;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CView008::CView008(const PageContext& context, QWidget* parent)
    : SettingPage("CView008", context, kPageIndex, kEditedPio, kPioCount, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_list = makeChoiceTable(this, "list1001", tr("P-I/O割付け"), kPioCount,
                             {{tr("ポート"), 80},
                              {tr("出力"), 180},
                              {tr("入光判定/遮光判定"), 120},
                              {"No.", 60},
                              {tr("反転"), 60}});
    outer->addWidget(m_list, 1);
    m_editor =
        new CellChoiceEditor(m_list, [this](int row, int column) { return choices(row, column); });
    connect(
        m_editor, &CellChoiceEditor::chosen, this,
        [this](int row, int column, int choice, const QString&) { onChosen(row, column, choice); });
    repaintFields();
}

std::vector<int> CView008::choiceValues(int row, int column) const {
    const PioAssignment& a = m_table.at(static_cast<size_t>(row)).assignment;
    switch (column) {
        case kFunctionColumn:
            return pioFunctionChoices(working().general);
        case kJudgementColumn:
            return pioJudgementChoices(a.function);
        case kNumberColumn:
            return pioNumberChoices(a.function, working().general.jointNum);
        case kInversionColumn:
            return {0, 1};
        default:
            return {};
    }
}

QStringList CView008::choices(int row, int column) const {
    const int function = m_table.at(static_cast<size_t>(row)).assignment.function;
    QStringList texts;
    for (int v : choiceValues(row, column)) {
        switch (column) {
            case kFunctionColumn:
                texts << pioFunctionText(v);
                break;
            case kJudgementColumn:
                texts << pioJudgementText(v);
                break;
            case kNumberColumn:
                texts << text(pioNumberText(function, v));
                break;
            default:
                texts << pioInversionText(v);
                break;
        }
    }
    return texts;
}

void CView008::onChosen(int row, int column, int choice) {
    const std::vector<int> values = choiceValues(row, column);
    if (choice < 0 || choice >= static_cast<int>(values.size())) {
        return;
    }
    const int value = values[static_cast<size_t>(choice)];
    PioTerminal& t = m_table.at(static_cast<size_t>(row));
    switch (column) {
        case kFunctionColumn:
            // The same function again keeps the row's judgement and number.
            if (value != t.assignment.function) {
                t.assignment = pioFunctionDefaults(value);
            }
            break;
        case kJudgementColumn:
            t.assignment.judgement = value;
            break;
        case kNumberColumn:
            t.assignment.number = value;
            break;
        case kInversionColumn:
            t.inversion = value;
            break;
        default:
            return;
    }
    const PioTable held = pioTableOf(working().general);
    choiceEdited(row, t != held.at(static_cast<size_t>(row)));
    repaintFields();
}

std::vector<PageRead> CView008::controllerReads() const {
    return pioReads();
}

void CView008::fillFromWorkingSet() {
    m_table = pioTableOf(working().general);
    repaintFields();
}

bool CView008::differsFromWorkingSet() const {
    return m_table != pioTableOf(working().general);
}

std::vector<codec::PutRequest> CView008::pagePuts() {
    return pioPuts(m_table, working().general);
}

void CView008::repaintFields() {
    const PioTable held = pioTableOf(working().general);
    for (int r = 0; r < kPioCount; ++r) {
        const PioTerminal& t = m_table.at(static_cast<size_t>(r));
        const PioTerminal& h = held.at(static_cast<size_t>(r));
        const PioAssignment& a = t.assignment;
        auto state = [](bool differs) {
            return differs ? FieldState::Changed : FieldState::Unchanged;
        };
        setChoiceCell(m_list, r, kPortColumn, text(pioPortName(r)), FieldState::Unchanged);
        setChoiceCell(m_list, r, kFunctionColumn, pioFunctionText(a.function),
                      state(a.function != h.assignment.function));
        setChoiceCell(m_list, r, kJudgementColumn, pioJudgementText(a.judgement),
                      state(a.judgement != h.assignment.judgement));
        setChoiceCell(m_list, r, kNumberColumn, text(pioNumberText(a.function, a.number)),
                      state(a.number != h.assignment.number));
        setChoiceCell(m_list, r, kInversionColumn, pioInversionText(t.inversion),
                      state(t.inversion != h.inversion));
    }
}

void CView008::focusFirstField() {
    m_list->setFocus();
}

}  // namespace qavix
