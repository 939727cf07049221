#include "pages/CView001.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "comm/JournaledWrite.h"
#include "files/Fingerprint.h"
#include "model/BasicInformation.h"
#include "model/IdentificationNumber.h"
#include "pages/FieldColours.h"
#include "pages/PageIndex.h"
#include "state/UiText.h"

namespace qavix {

namespace {

constexpr int kFirstControlId = 1003;
constexpr int kIdEditedState = 0;  // the page's one field state
constexpr int kBoxWidth = 240;
constexpr int kMargin = 24;
constexpr int kRowSpacing = 10;

// Shown as information, not as a field the user may change.
void showAsInformation(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    edit->setPalette(p);
}

}  // namespace

CView001::CView001(const PageContext& context, QWidget* parent)
    : SettingPage("CView001", context, nav::kPageBasicInfo, kEditedBasicInformation, 1, parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(kRowSpacing);
    grid->setHorizontalSpacing(kMargin);
    // The labels come with the texts, so the page and the report cannot disagree on them.
    const auto items = basicInformationItems(BasicInformation{});
    for (int i = 0; i < kFieldCount; ++i) {
        auto* label = new QLabel(QString::fromStdString(items[static_cast<size_t>(i)].first), this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("edit%1").arg(kFirstControlId + i));
        edit->setFixedWidth(kBoxWidth);
        if (i != kIdField) {
            showAsInformation(edit);
        }
        label->setBuddy(edit);
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
        m_boxes[static_cast<size_t>(i)] = edit;
    }
    auto* fingerprintLabel = new QLabel(coreText(kFingerprintLabel), this);
    m_fingerprint = new QLineEdit(this);
    m_fingerprint->setObjectName("fingerprint");
    m_fingerprint->setFixedWidth(kBoxWidth);
    m_fingerprint->setAccessibleName(fingerprintLabel->text());
    showAsInformation(m_fingerprint);
    fingerprintLabel->setBuddy(m_fingerprint);
    grid->addWidget(fingerprintLabel, kFieldCount, 0);
    grid->addWidget(m_fingerprint, kFieldCount, 1);
    grid->setColumnStretch(2, 1);
    outer->addLayout(grid);
    outer->addStretch(1);
    connect(idBox(), &QLineEdit::textEdited, this, &CView001::onIdEdited);
}

std::vector<PageRead> CView001::controllerReads() const {
    return basicInformationReads();
}

void CView001::fillFromWorkingSet() {
    const auto items = basicInformationItems(basicInformation(working()));
    for (int i = 0; i < kFieldCount; ++i) {
        box(i)->setText(QString::fromStdString(items[static_cast<size_t>(i)].second));
    }
    // Of every setting the set holds, not only this page's: empty until they are all read.
    const std::optional<SettingsData> settings = knownSettings(working());
    m_fingerprint->setText(
        settings ? QString::fromStdString(settingsFingerprint(*settings).shortForm()) : QString());
    idBox()->setMaxLength(kIdMaxLength);
    // The controller's identification is its own: a bank file has no place for it.
    idBox()->setReadOnly(!state().controllerOwnFieldsEditable());
}

bool CView001::differsFromWorkingSet() const {
    return idBox()->text().toStdString() != working().general.idText;
}

void CView001::onIdEdited(const QString& text) {
    const bool valid = isValidIdText(text.toStdString());
    if (!valid) {
        refuseId();
    }
    FieldState s = FieldState::Invalid;
    if (valid) {
        s = differsFromWorkingSet() ? FieldState::Changed : FieldState::Unchanged;
    }
    fieldEdited(kIdEditedState, s);
}

void CView001::refuseId() {
    showMessage(coreText(kIdOutOfRangeMessage));
    focusAndSelect(idBox());
}

bool CView001::checkFields() {
    if (isValidIdText(idBox()->text().toStdString())) {
        return true;
    }
    refuseId();
    return false;
}

std::vector<codec::PutRequest> CView001::pagePuts() {
    return {idPut(idBox()->text().toStdString())};
}

void CView001::repaintFields() {
    paintField(idBox(), editState().field(kIdEditedState));
}

void CView001::focusFirstField() {
    idBox()->setFocus();
}

void CView001::hideEvent(QHideEvent* event) {
    SettingPage::hideEvent(event);
    // Releases only the page's own hold: the window minimised while another transfer runs
    // (a bank write) hides the page too, and that transfer's flag must stay.
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
}

}  // namespace qavix
