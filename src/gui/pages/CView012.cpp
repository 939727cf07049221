#include "pages/CView012.h"

#include <QGroupBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "pages/FieldColours.h"
#include "pages/PageIndex.h"
#include "state/UiText.h"

namespace qavix {

namespace {

constexpr int kPageIndex = nav::kPageOptions;
constexpr int kMargin = 24;
constexpr int kSpacing = 12;
constexpr std::array<int, kOptionSwitchCount> kBoxIds = {1069, 1070, 1072, 1071, 1036};

}  // namespace

CView012::CView012(const PageContext& context, QWidget* parent)
    : SettingPage("CView012", context, kPageIndex, kEditedOptions, kOptionSwitchCount, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing);
    const auto& switches = optionSwitches();
    for (int i = 0; i < kOptionSwitchCount; ++i) {
        auto* b = new QCheckBox(coreText(switches[static_cast<size_t>(i)].label), this);
        b->setObjectName(QString("check%1").arg(kBoxIds[static_cast<size_t>(i)]));
        m_boxes[static_cast<size_t>(i)] = b;
        // The state, not the click: a screen reader ticks a box without a mouse click.
        connect(b, &QCheckBox::toggled, this, [this, i](bool) { boxToggled(i); });
    }
    // Left-aligned at their own width, so the changed colour covers the box and its text.
    outer->addWidget(box(kOptionTeach), 0, Qt::AlignLeft);
    outer->addWidget(box(kOptionBank), 0, Qt::AlignLeft);
    auto* measurement = new QGroupBox(tr("計測処理"), this);
    measurement->setObjectName("measurementGroup");
    auto* inner = new QVBoxLayout(measurement);
    // The order on screen; the write order is the table's.
    for (int i : {kOptionOverall, kOptionParallel, kOptionGroups}) {
        inner->addWidget(box(i), 0, Qt::AlignLeft);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(measurement);
    row->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(1);
}

void CView012::pageShown(const QString& title) {
    // The bank function is the controller's own: neither a bank nor a bank file carries it.
    box(kOptionBank)->setVisible(state().controllerOwnFieldsEditable());
    SettingPage::pageShown(title);
}

std::vector<PageRead> CView012::controllerReads() const {
    return optionReads();
}

void CView012::fillFromWorkingSet() {
    const OptionStates states = optionStates(working().general);
    for (int i = 0; i < kOptionSwitchCount; ++i) {
        const QSignalBlocker quiet(box(i));
        box(i)->setChecked(states[static_cast<size_t>(i)]);
    }
}

OptionStates CView012::shown() const {
    OptionStates states{};
    for (int i = 0; i < kOptionSwitchCount; ++i) {
        states[static_cast<size_t>(i)] = box(i)->isChecked();
    }
    return states;
}

bool CView012::differsFromWorkingSet() const {
    return shown() != optionStates(working().general);
}

void CView012::boxToggled(int index) {
    const OptionStates stored = optionStates(working().general);
    choiceEdited(index, box(index)->isChecked() != stored[static_cast<size_t>(index)]);
}

std::vector<codec::PutRequest> CView012::pagePuts() {
    // Nothing is clicked while the switches go out.
    setBoxesEnabled(false);
    return optionPuts(shown(), working().general);
}

void CView012::written(bool ok) {
    // A failed write keeps the boxes as set: the controller drops an unfinished setting,
    // so none of the switches counts as written.
    setBoxesEnabled(true);
    if (ok) {
        state().announceSwitchesWritten();
    }
}

void CView012::setBoxesEnabled(bool on) {
    for (QCheckBox* b : m_boxes) {
        b->setEnabled(on);
    }
}

void CView012::repaintFields() {
    for (int i = 0; i < kOptionSwitchCount; ++i) {
        paintField(box(i), editState().field(i));
    }
}

void CView012::focusFirstField() {
    box(kOptionTeach)->setFocus();
}

void CView012::readFailed() {
    showMessage(tr(kReadFailedMessage));
}

void CView012::hideEvent(QHideEvent* event) {
    SettingPage::hideEvent(event);
    if (waitOpen()) {
        closeWait();
    }
}

}  // namespace qavix
