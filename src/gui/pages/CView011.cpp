#include "pages/CView011.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "pages/ChoiceTable.h"

namespace qavix {

namespace {

constexpr int kMargin = 24;
constexpr int kNumberWidth = 80;
constexpr int kEndWidth = 90;

bool isChannelColumn(int column) {
    return column == CView011::kLowerChannelColumn || column == CView011::kUpperChannelColumn;
}

bool isLowerColumn(int column) {
    return column == CView011::kLowerChannelColumn || column == CView011::kLowerBeamColumn;
}

}  // namespace

CView011::CView011(const PageContext& context, QWidget* parent)
    : SettingPage("CView011", context, kPageIndex, kEditedGroups, kGroupCount, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    // The dialog's captions over the list: the group number, then the two ends.
    auto* captions = new QHBoxLayout;
    captions->setSpacing(0);
    auto caption = [this, captions](const QString& text, int width) {
        auto* l = new QLabel(text, this);
        l->setFixedWidth(width);
        l->setAlignment(Qt::AlignCenter);
        captions->addWidget(l);
    };
    caption(tr("グループ"), kNumberWidth);
    caption(tr("下位"), 2 * kEndWidth);
    caption(tr("上位"), 2 * kEndWidth);
    captions->addStretch(1);
    outer->addLayout(captions);
    m_list = makeChoiceTable(this, "list1002", tr("グループ判定"), kGroupCount,
                             {{"No.", kNumberWidth},
                              {tr("ＣＨ"), kEndWidth},
                              {tr("光軸No."), kEndWidth},
                              {tr("ＣＨ"), kEndWidth},
                              {tr("光軸No."), kEndWidth}});
    outer->addWidget(m_list, 1);
    m_editor =
        new CellChoiceEditor(m_list, [this](int row, int column) { return choices(row, column); });
    connect(
        m_editor, &CellChoiceEditor::chosen, this,
        [this](int row, int column, int choice, const QString&) { onChosen(row, column, choice); });
    repaintFields();
}

std::array<int32_t, kChannelCount> CView011::beams() const {
    std::array<int32_t, kChannelCount> b{};
    for (int c = 0; c < kChannelCount; ++c) {
        b[static_cast<size_t>(c)] = working().channel(c).beamCount;
    }
    return b;
}

GroupEnd& CView011::endAt(int row, int column) {
    GroupRange& r = m_table.at(static_cast<size_t>(row));
    return isLowerColumn(column) ? r.lower : r.upper;
}

std::vector<int> CView011::choiceValues(int row, int column) const {
    if (column == kNumberColumn || column < 0 || column >= kColumnCount) {
        return {};
    }
    if (isChannelColumn(column)) {
        return groupChannelChoices(working().general.jointNum);
    }
    const GroupRange& r = m_table.at(static_cast<size_t>(row));
    const GroupEnd& end = isLowerColumn(column) ? r.lower : r.upper;
    return groupBeamChoices(end.channel, beams());
}

QStringList CView011::choices(int row, int column) const {
    QStringList texts;
    for (int v : choiceValues(row, column)) {
        texts << QString::fromStdString(isChannelColumn(column) ? groupChannelText(v)
                                                                : groupBeamText(v));
    }
    return texts;
}

void CView011::onChosen(int row, int column, int choice) {
    const std::vector<int> values = choiceValues(row, column);
    if (choice < 0 || choice >= static_cast<int>(values.size())) {
        return;
    }
    GroupEnd& end = endAt(row, column);
    // A beam left beyond a newly chosen sensor stays as it is: the write's check names it.
    (isChannelColumn(column) ? end.channel : end.beam) = values[static_cast<size_t>(choice)];
    const GroupTable held = groupTableOf(working().general);
    choiceEdited(row, m_table.at(static_cast<size_t>(row)) != held.at(static_cast<size_t>(row)));
    repaintFields();
}

std::vector<PageRead> CView011::controllerReads() const {
    return groupReads();
}

void CView011::fillFromWorkingSet() {
    m_table = groupTableOf(working().general);
    m_faulty.fill(false);
    repaintFields();
}

bool CView011::differsFromWorkingSet() const {
    return m_table != groupTableOf(working().general);
}

bool CView011::checkFields() {
    m_faulty.fill(false);
    const std::vector<int> invalid = invalidGroups(m_table, beams());
    for (int g : invalid) {
        m_faulty.at(static_cast<size_t>(g - 1)) = true;
    }
    repaintFields();
    if (invalid.empty()) {
        return true;
    }
    showMessage(QString::fromStdString(groupRangeMessage(invalid)));
    m_list->setFocus();
    return false;
}

std::vector<codec::PutRequest> CView011::pagePuts() {
    return groupPuts(m_table);
}

void CView011::repaintFields() {
    const GroupTable held = groupTableOf(working().general);
    for (int r = 0; r < kGroupCount; ++r) {
        const GroupRange& g = m_table.at(static_cast<size_t>(r));
        const GroupRange& h = held.at(static_cast<size_t>(r));
        const bool faulty = m_faulty.at(static_cast<size_t>(r));
        auto state = [faulty](bool differs) {
            if (faulty) {
                return FieldState::Invalid;
            }
            return differs ? FieldState::Changed : FieldState::Unchanged;
        };
        setChoiceCell(m_list, r, kNumberColumn, QString::number(r + 1), state(false));
        setChoiceCell(m_list, r, kLowerChannelColumn,
                      QString::fromStdString(groupChannelText(g.lower.channel)),
                      state(g.lower.channel != h.lower.channel));
        setChoiceCell(m_list, r, kLowerBeamColumn,
                      QString::fromStdString(groupBeamText(g.lower.beam)),
                      state(g.lower.beam != h.lower.beam));
        setChoiceCell(m_list, r, kUpperChannelColumn,
                      QString::fromStdString(groupChannelText(g.upper.channel)),
                      state(g.upper.channel != h.upper.channel));
        setChoiceCell(m_list, r, kUpperBeamColumn,
                      QString::fromStdString(groupBeamText(g.upper.beam)),
                      state(g.upper.beam != h.upper.beam));
    }
}

void CView011::focusFirstField() {
    m_list->setFocus();
}

}  // namespace qavix
