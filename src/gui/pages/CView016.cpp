#include "pages/CView016.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "model/IdentificationNumber.h"
#include "model/OverallJudgement.h"
#include "model/SensorOutputs.h"
#include "model/SerialNumber.h"
#include "pages/PageIndex.h"
#include "state/UiText.h"

namespace qavix {

namespace {

constexpr int kPageIndex = nav::kPageSensorOperation;
constexpr int kMargin = 24;
constexpr int kSpacing = 10;
constexpr int kBoxWidth = 200;
constexpr int kThresholdWidth = 60;
constexpr int kListWidth = 200;
constexpr int kDesignatedEntry = 6;  // "指定光軸出力" in the OUT lists
const char* const kThresholdPattern = "[0-9]{0,3}";

QStringList enableItems() {
    return {QCoreApplication::translate("qavix::CView016", "有効"),
            QCoreApplication::translate("qavix::CView016", "無効")};
}

int channelIndex(int channel) {
    return std::clamp(channel, 1, kChannelCount) - 1;
}

}  // namespace

CView016::CView016(const PageContext& context, QWidget* parent)
    : SettingPage("CView016", context, kPageIndex, kEditedSensorCh1, kFieldCount, parent) {
    for (int c = 0; c < kChannelCount; ++c) {
        m_edits.emplace_back(kEditedSensorCh1 + c, kFieldCount);
    }
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing);
    FormRows rows{new QGridLayout, this};
    rows.grid->setHorizontalSpacing(kSpacing * 2);
    rows.grid->setVerticalSpacing(kSpacing);
    buildIdentityRows(rows);
    buildOutputRows(rows);
    buildBlankingRows(rows);
    rows.grid->setColumnStretch(3, 1);
    outer->addLayout(rows.grid);
    outer->addStretch(1);

    connect(m_designate, &QPushButton::clicked, this,
            [this] { openBeamPage(AppState::BeamFlagTable::Designated); });
    connect(m_fixedBeams, &QPushButton::clicked, this,
            [this] { openBeamPage(AppState::BeamFlagTable::FixedBlanking); });
    m_filling = false;
}

QLabel* CView016::FormRows::add(const QString& label, QWidget* field, QWidget* extra) {
    auto* l = new QLabel(label, owner);
    l->setBuddy(field);
    grid->addWidget(l, row, 0);
    grid->addWidget(field, row, 1);
    if (extra != nullptr) {
        grid->addWidget(extra, row, 2);
    }
    ++row;
    return l;
}

void CView016::FormRows::addWide(QWidget* w) {
    grid->addWidget(w, row++, 0, 1, 3);
}

void CView016::buildIdentityRows(FormRows& rows) {
    auto addRow = [&rows](const QString& label, QWidget* field) { return rows.add(label, field); };
    m_model = addBox(1063, tr("形式"), false);
    addRow(tr("形式"), m_model);
    m_emitterSerial = addBox(1088, tr("シリアルNo. 投光器"), false);
    m_receiverSerial = addBox(1069, tr("シリアルNo. 受光器"), false);
    // A row each, so that each number says which half of the sensor it belongs to.
    addRow(tr("シリアルNo. 投光器"), m_emitterSerial);
    addRow(tr("シリアルNo. 受光器"), m_receiverSerial);
    m_id = addBox(1065, tr("ＩＤ"), true);
    m_id->setMaxLength(kSensorIdMaxLength);
    addRow(tr("ＩＤ"), m_id);
    connect(m_id, &QLineEdit::textEdited, this, &CView016::idEdited);
}

void CView016::buildOutputRows(FormRows& rows) {
    const QStringList outputs;
    addList(kFieldOut2, 1020, tr("OUT2出力設定"), outputs);
    addList(kFieldOut3, 1021, tr("OUT3出力設定"), outputs);
    m_designate = new QPushButton(tr("光軸指定"), this);
    m_designate->setObjectName("button1269");
    QLabel* out2Label = rows.add(tr("OUT2出力設定"), list(kFieldOut2), m_designate);
    QLabel* out3Label = rows.add(tr("OUT3出力設定"), list(kFieldOut3));
    m_outputRow = {out2Label, list(kFieldOut2), m_designate, out3Label, list(kFieldOut3)};
    buildThresholdRow(rows);
}

void CView016::buildThresholdRow(FormRows& rows) {
    auto* thresholds = new QGroupBox(tr("しきい値"), this);
    auto* th = new QHBoxLayout(thresholds);
    m_on = addBox(1066, tr("ＯＮ"), true);
    m_off = addBox(1067, tr("ＯＦＦ"), true);
    for (QLineEdit* box : {m_on, m_off}) {
        box->setFixedWidth(kThresholdWidth);
        box->setValidator(
            new QRegularExpressionValidator(QRegularExpression(kThresholdPattern), box));
        auto* l = new QLabel(box == m_on ? tr("ＯＮ") : tr("ＯＦＦ"), thresholds);
        l->setBuddy(box);
        th->addWidget(l);
        th->addWidget(box);
    }
    th->addStretch(1);
    rows.addWide(thresholds);
    connect(m_on, &QLineEdit::textEdited, this, [this] { m_onTyped = true; });
    connect(m_off, &QLineEdit::textEdited, this, [this] { m_offTyped = true; });
    connect(m_on, &QLineEdit::editingFinished, this, [this] { thresholdLeft(true); });
    connect(m_off, &QLineEdit::editingFinished, this, [this] { thresholdLeft(false); });
}

void CView016::buildBlankingRows(FormRows& rows) {
    addList(kFieldFloating, 1022, tr("Ｆｌｏａｔｉｎｇ　Ｂｌａｎｋｉｎｇ　機能"), enableItems());
    QLabel* floatingLabel =
        rows.add(tr("Ｆｌｏａｔｉｎｇ　Ｂｌａｎｋｉｎｇ　機能"), list(kFieldFloating));
    m_floatingRow = {floatingLabel, list(kFieldFloating)};
    addList(kFieldMode, 1023, tr("動作モード"), {tr("連続"), tr("非連続")});
    rows.add(tr("動作モード"), list(kFieldMode));
    addList(kFieldBeams, 1024, tr("光軸数"), {"-", "1", "2", "3"});
    rows.add(tr("光軸数"), list(kFieldBeams));

    auto* fixed = new QGroupBox(tr("Ｆｉｘ　Ｂｌａｎｋｉｎｇ　設定"), this);
    fixed->setObjectName("fixedBlankingGroup");
    auto* fx = new QHBoxLayout(fixed);
    addList(kFieldFixed, 1025, tr("Ｆｉｘ　Ｂｌａｎｋｉｎｇ　設定"), enableItems());
    m_fixedBeams = new QPushButton(tr("光軸設定"), fixed);
    m_fixedBeams->setObjectName("button1068");
    fx->addWidget(list(kFieldFixed));
    fx->addWidget(m_fixedBeams);
    fx->addStretch(1);
    rows.addWide(fixed);
    m_fixedGroup = fixed;
}

QLineEdit* CView016::addBox(int id, const QString& name, bool editable) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString("edit%1").arg(id));
    box->setAccessibleName(name);
    box->setFixedWidth(kBoxWidth);
    if (!editable) {
        box->setReadOnly(true);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Window));
        box->setPalette(p);
    }
    return box;
}

FieldComboBox* CView016::addList(int field, int id, const QString& name, const QStringList& items) {
    auto* l = new FieldComboBox(this);
    l->setObjectName(QString("combo%1").arg(id));
    l->setAccessibleName(name);
    l->setMinimumWidth(kListWidth);
    l->addItems(items);
    m_lists[static_cast<size_t>(field)] = l;
    connect(l, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, field](int) { listChanged(field); });
    return l;
}

FieldComboBox* CView016::list(int field) const {
    return m_lists.at(static_cast<size_t>(field));
}

void CView016::pageShown(const QString& /*title*/) {
    if (reloadPending()) {
        // After a set switch every channel reads again and unsent edits are gone.
        m_loaded.fill(false);
        for (int c = 0; c < kChannelCount; ++c) {
            m_edits[static_cast<size_t>(c)] = PageEditState(kEditedSensorCh1 + c, kFieldCount);
        }
    } else {
        const size_t was = static_cast<size_t>(channelIndex(m_channel));
        m_saved[was] = shown();
        m_savedThresholds[was] = m_thresholds;
        m_savedDifference[was] = m_difference;
        m_edits[was] = editState();
    }
    m_channel = channelIndex(state().selectedChannel) + 1;
    const size_t c = static_cast<size_t>(m_channel - 1);
    edit() = m_edits[c];
    applyVisibility();
    if (!m_loaded[c] || !editState().changed()) {
        m_readFailed = false;
        load();
        m_loaded[c] = !m_readFailed;
    } else {
        m_thresholds = m_savedThresholds[c];
        m_difference = m_savedDifference[c];
        m_filling = true;
        fillOutputList(list(kFieldOut2), record().subConf, m_saved[c].out2);
        fillOutputList(list(kFieldOut3), record().almConf, m_saved[c].out3);
        showValues(m_saved[c]);
        m_filling = false;
        updateEnables();
        repaintFields();
    }
    if (CommandBarButtons* bar = commandBar()) {
        bar->setPageActionButton(tr(kDefaultsText), m_channel == 1 || state().extendedMode);
    }
    setFocus();
    applyCommandButtons();
}

void CView016::applyVisibility() {
    const bool ch1 = m_channel == 1;
    const bool extended = state().extendedMode;
    for (QWidget* w : m_outputRow) {
        w->setVisible(ch1);
    }
    for (QWidget* w : m_floatingRow) {
        w->setVisible(ch1 && extended);
    }
    m_fixedGroup->setVisible(ch1 && extended);
    // Without the extended mode the thresholds and the floating-blanking details are not
    // written, so they are shown but not offered for editing.
    m_on->setReadOnly(!extended);
    m_off->setReadOnly(!extended);
    m_id->setReadOnly(!state().controllerOwnFieldsEditable());
}

std::vector<PageRead> CView016::controllerReads() const {
    return sensorOperationReads(m_channel);
}

void CView016::readFailed() {
    m_readFailed = true;
}

void CView016::fillOutputList(FieldComboBox* l, int32_t storedCode, int entry) {
    QStringList items;
    for (const SensorOutputChoice& c : sensorOutputChoices()) {
        items << coreText(c.name);
    }
    if (sensorOutputChoiceIndex(storedCode) < 0) {
        // A function the lists do not offer stays visible until another is chosen.
        items << QString::fromStdString(sensorOutputName(storedCode));
    }
    l->clear();
    l->addItems(items);
    l->setCurrentIndex(entry);
}

void CView016::fillFromWorkingSet() {
    const ChannelRecord& ch = record();
    m_filling = true;
    m_model->setText(QString::fromStdString(ch.modelText));
    m_emitterSerial->setText(QString::fromStdString(formatSensorSerial(ch.emitterSerial)));
    m_receiverSerial->setText(QString::fromStdString(formatSensorSerial(ch.receiverSerial)));
    const SensorOperationValues v = sensorOperationValues(ch);
    fillOutputList(list(kFieldOut2), ch.subConf, v.out2);
    fillOutputList(list(kFieldOut3), ch.almConf, v.out3);
    m_difference = ch.onTh - ch.offTh;
    showValues(v);
    m_filling = false;
    updateEnables();
}

void CView016::showValues(const SensorOperationValues& v) {
    const bool was = m_filling;
    m_filling = true;
    m_id->setText(QString::fromStdString(v.id));
    list(kFieldOut2)->setCurrentIndex(v.out2);
    list(kFieldOut3)->setCurrentIndex(v.out3);
    m_thresholds = v.thresholds;
    m_on->setText(QString::number(v.thresholds.on));
    m_off->setText(QString::number(v.thresholds.off));
    m_onTyped = false;
    m_offTyped = false;
    list(kFieldFloating)->setCurrentIndex(v.floating);
    list(kFieldMode)->setCurrentIndex(v.mode);
    list(kFieldBeams)->setCurrentIndex(v.floatingBeams);
    list(kFieldFixed)->setCurrentIndex(v.fixed);
    m_filling = was;
}

SensorOperationValues CView016::shown() const {
    SensorOperationValues v;
    v.id = m_id->text().toStdString();
    v.out2 = list(kFieldOut2)->currentIndex();
    v.out3 = list(kFieldOut3)->currentIndex();
    v.thresholds = m_thresholds;
    v.floating = list(kFieldFloating)->currentIndex();
    v.mode = list(kFieldMode)->currentIndex();
    v.floatingBeams = list(kFieldBeams)->currentIndex();
    v.fixed = list(kFieldFixed)->currentIndex();
    return v;
}

bool CView016::differsFromWorkingSet() const {
    const SensorOperationValues now = shown();
    SensorOperationValues stored = storedValues();
    // The identification compares as the number it writes.
    if (sensorIdMatches(now.id, stored.id)) {
        stored.id = now.id;
    }
    return now != stored;
}

void CView016::updateEnables() {
    const bool extended = state().extendedMode;
    // CH2 and CH3 follow CH1's floating blanking, whose list only CH1 shows.
    const bool floating = list(kFieldFloating)->currentIndex() == kChoiceEnabled;
    list(kFieldMode)->setEnabled(extended && floating);
    list(kFieldBeams)->setEnabled(extended && floating);
    m_fixedBeams->setEnabled(list(kFieldFixed)->currentIndex() == kChoiceEnabled);
    m_designate->setEnabled(list(kFieldOut2)->currentIndex() == kDesignatedEntry ||
                            list(kFieldOut3)->currentIndex() == kDesignatedEntry);
}

void CView016::listChanged(int field) {
    if (m_filling) {
        return;
    }
    updateEnables();
    const SensorOperationValues now = shown();
    const SensorOperationValues stored = storedValues();
    bool differs = false;
    switch (field) {
        case kFieldOut2:
            differs = now.out2 != stored.out2;
            break;
        case kFieldOut3:
            differs = now.out3 != stored.out3;
            break;
        case kFieldFloating:
            differs = now.floating != stored.floating;
            break;
        case kFieldMode:
            differs = now.mode != stored.mode;
            break;
        case kFieldBeams:
            differs = now.floatingBeams != stored.floatingBeams;
            break;
        default:
            differs = now.fixed != stored.fixed;
            break;
    }
    choiceEdited(field, differs);
}

void CView016::idEdited(const QString& text) {
    const std::string t = text.toStdString();
    const bool valid = isValidIdText(t) && static_cast<int>(t.size()) <= kSensorIdMaxLength;
    if (!valid) {
        refuseId();
        fieldEdited(kFieldId, FieldState::Invalid);
        return;
    }
    fieldEdited(kFieldId, sensorIdMatches(t, record().sensorId) ? FieldState::Unchanged
                                                                : FieldState::Changed);
}

void CView016::refuseId() {
    showMessage(coreText(kIdOutOfRangeMessage));
    focusAndSelect(m_id);
}

void CView016::thresholdLeft(bool onBox) {
    bool& typed = onBox ? m_onTyped : m_offTyped;
    if (!typed || m_filling) {
        return;
    }
    typed = false;
    const int32_t value = thresholdTextValue((onBox ? m_on : m_off)->text().toStdString());
    m_thresholds =
        onBox ? onThresholdEntered(value, m_difference) : offThresholdEntered(value, m_difference);
    m_on->setText(QString::number(m_thresholds.on));
    m_off->setText(QString::number(m_thresholds.off));
    const ThresholdPair stored{record().onTh, record().offTh};
    edit().setField(kFieldOff,
                    m_thresholds.off != stored.off ? FieldState::Changed : FieldState::Unchanged);
    fieldEdited(kFieldOn,
                m_thresholds.on != stored.on ? FieldState::Changed : FieldState::Unchanged);
}

void CView016::compareAll() {
    const SensorOperationValues now = shown();
    const SensorOperationValues stored = storedValues();
    auto state = [](bool differs) { return differs ? FieldState::Changed : FieldState::Unchanged; };
    edit().setField(kFieldOut2, state(now.out2 != stored.out2));
    edit().setField(kFieldOut3, state(now.out3 != stored.out3));
    edit().setField(kFieldOn, state(now.thresholds.on != stored.thresholds.on));
    edit().setField(kFieldOff, state(now.thresholds.off != stored.thresholds.off));
    edit().setField(kFieldFloating, state(now.floating != stored.floating));
    edit().setField(kFieldMode, state(now.mode != stored.mode));
    edit().setField(kFieldBeams, state(now.floatingBeams != stored.floatingBeams));
    choiceEdited(kFieldFixed, now.fixed != stored.fixed);
}

void CView016::pageAction() {
    SensorOperationValues v = shown();
    applySensorDefaults(v, m_channel, state().extendedMode);
    showValues(v);
    updateEnables();
    compareAll();
}

bool CView016::checkFields() {
    // A threshold typed and not yet left goes out with its limits applied.
    if (m_onTyped) {
        thresholdLeft(true);
    }
    if (m_offTyped) {
        thresholdLeft(false);
    }
    const std::string t = m_id->text().toStdString();
    if (isValidIdText(t) && static_cast<int>(t.size()) <= kSensorIdMaxLength) {
        return true;
    }
    refuseId();
    return false;
}

std::vector<codec::PutRequest> CView016::pagePuts() {
    SensorOperationValues v = shown();
    const bool withoutId = !state().controllerOwnFieldsEditable();
    std::vector<codec::PutRequest> puts = sensorOperationPuts(
        v, {m_channel, working().general.jointNum, state().extendedMode, withoutId}, working());
    // The box shows the identification as it is written.
    if (!withoutId && !sensorIdMatches(v.id, record().sensorId)) {
        m_id->setText(QString::fromStdString(sensorIdWriteText(v.id)));
    }
    return puts;
}

void CView016::repaintFields() {
    paintField(m_id, editState().field(kFieldId));
    paintField(m_on, editState().field(kFieldOn));
    paintField(m_off, editState().field(kFieldOff));
    for (int f : {kFieldOut2, kFieldOut3, kFieldFloating, kFieldMode, kFieldBeams, kFieldFixed}) {
        list(f)->setFieldState(editState().field(f));
    }
}

void CView016::openBeamPage(AppState::BeamFlagTable table) {
    // The beam pages have no tree item: the tree shows the one the user's blanking display
    // setting chooses, for this page's sensor alone.
    const BlankingTarget target =
        blankingTarget(kSeparateIndex, m_channel - 1, state().user.blanking);
    state().blankingChannel = target.blankingChannel;
    state().beamTable = table;
    state().requestPage(target.page);
}

void CView016::focusFirstField() {
    m_id->setFocus();
}

}  // namespace qavix
