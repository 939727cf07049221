#include "app/CommSettingsDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

#include "PortProblem.h"
#include "PortResolver.h"
#include "SerialPorts.h"
#include "Translate.h"
#include "comm/CommMessages.h"
#include "comm/LinkSettings.h"
#include "comm/PortChoices.h"
#include "comm/PortFailure.h"
#include "comm/RequestBlock.h"
#include "frame/StatusPanes.h"
#include "pages/FieldColours.h"
#include "widgets/CPictureButton.h"
#include "widgets/LabelledComboAccessible.h"

namespace qavix {

namespace {

const QColor kConnectedColour(0, 255, 0);
const QColor kNotConnectedColour(255, 0, 0);
const QColor kNotConnectedBlink(255, 128, 128);
constexpr const char* kConnectedText = QT_TRANSLATE_NOOP("qavix::CommSettingsDialog", "接続");
constexpr const char* kNotConnectedText = QT_TRANSLATE_NOOP("qavix::CommSettingsDialog", "未接続");

constexpr int kProtocolRfc2217 = 1;

}  // namespace

const char* const CommSettingsDialog::kAskEndText =
    QT_TRANSLATE_NOOP("qavix::CommSettingsDialog", "終了しますか？\n（ＯＫでQavixを終了します）\n");

CommSettingsDialog::CommSettingsDialog(const CommDialogContext& context, QWidget* parent)
    : QDialog(parent), m_ctx(context) {
    // The dialog may come before the main frame, when the first connection fails.
    installLabelledComboAccessibility();
    setObjectName("CommSettingsDialog");
    setWindowTitle(tr("通信設定"));
    setModal(true);
    m_form =
        buildCommSettingsForm(*this, m_ctx.state.user.button, kUnitCount, tr(kNotConnectedText));
    connectControls();
    loadFromSettings();
    m_blinkTimer.setInterval(m_ctx.timings.blinkMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CommSettingsDialog::blink);
    showStatus(m_ctx.link.unitConnected(m_ctx.ports.activeMachine));
}

void CommSettingsDialog::connectControls() {
    connect(m_form.devices, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onDeviceChosen);
    connect(m_form.rescan, &QToolButton::clicked, this, &CommSettingsDialog::rescanDevices);
    connect(m_form.test, &QToolButton::clicked, this, [this] { runTest(false); });
    connect(m_form.ok, &QToolButton::clicked, this, &CommSettingsDialog::confirm);
    connect(m_form.cancel, &QToolButton::clicked, this, &CommSettingsDialog::cancel);
    connect(m_form.host, &QLineEdit::textEdited, this, &CommSettingsDialog::onNetworkEdited);
    connect(m_form.networkPort, &QLineEdit::textEdited, this, &CommSettingsDialog::onNetworkEdited);
    connect(m_form.protocol, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onNetworkEdited);
    // The state, not the click: a screen reader picks a port without a mouse click.
    connect(m_form.portGroup, &QButtonGroup::idToggled, this, [this](int port, bool on) {
        if (on) {
            onPortChosen(port);
        }
    });
    connect(m_form.baudGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().baudIndex = i; });
    connect(m_form.byteGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().bytesize = i; });
    connect(m_form.parityGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().parity = i; });
    connect(m_form.stopGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().stopbit = i; });
    connect(m_form.unit, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onUnitChosen);
}

void CommSettingsDialog::loadFromSettings() {
    PortSettings& p = m_ctx.ports;
    if (p.activeMachine >= 0 && p.activeMachine < kUnitCount) {
        m_form.unit->setCurrentIndex(p.activeMachine);
    } else {
        m_form.unit->setCurrentIndex(-1);
    }
    m_savedPort = p.activePort;
    m_savedUnit = p.activeMachine;
    m_savedLine = p.active();

    for (int port = 0; port < kPortCount; ++port) {
        const auto value = m_ctx.settings.value(kPortsSection, "COM" + std::to_string(port + 1));
        m_savedMapping[static_cast<size_t>(port)] = value.value_or("");
    }
    m_mapping = m_savedMapping;
    m_deviceFiles = link::listSerialDevices();
    m_form.port[static_cast<size_t>(p.activePort)]->setChecked(true);
    updateTargets();
    fillDeviceList();
    const PortSetting& line = p.active();
    m_form.baud[static_cast<size_t>(line.baudIndex)]->setChecked(true);
    m_form.byte[line.bytesize == 1 ? 1 : 0]->setChecked(true);
    m_form.parity[line.parity == 1 ? 1 : 0]->setChecked(true);
    m_form.stop[line.stopbit == 1 ? 1 : 0]->setChecked(true);
    setControlsEnabled(true);
}

void CommSettingsDialog::rescanDevices() {
    m_deviceFiles = link::listSerialDevices();
    updateTargets();
    fillDeviceList();
}

void CommSettingsDialog::onPortChosen(int port) {
    m_ctx.ports.activePort = port;
    fillDeviceList();
}

void CommSettingsDialog::fillDeviceList() {
    const int port = m_ctx.ports.activePort;
    m_form.devices->clear();
    if (const auto env = environmentMapping(port + 1)) {
        // The environment wins over Qavix.ini; a choice here would not be the one used.
        m_form.devices->addItem(
            tr("環境変数 QAVLINK_COM%1: %2").arg(port + 1).arg(QString::fromStdString(*env)));
        m_form.devices->setEnabled(false);
        showNetworkRow(false);
        return;
    }
    const std::string& current = m_mapping[static_cast<size_t>(port)];
    int selected = 0;
    const auto choices = portChoices(m_deviceFiles, current);
    for (size_t i = 0; i < choices.size(); ++i) {
        m_form.devices->addItem(QString::fromStdString(choices[i].label),
                                QString::fromStdString(choices[i].value));
        if (choices[i].value == current) {
            selected = static_cast<int>(i);
        }
    }
    m_form.devices->setCurrentIndex(selected);
    m_form.devices->setEnabled(!m_busy);
    // The fields show the port's own device server, or nothing for another kind of port.
    const NetworkFields fields = networkFields(current);
    m_form.host->setText(QString::fromStdString(fields.host));
    m_form.networkPort->setText(QString::fromStdString(fields.port));
    m_form.protocol->setCurrentIndex(fields.rfc2217 ? kProtocolRfc2217 : 0);
    m_networkProblem.clear();
    paintField(m_form.host, FieldState::Unchanged);
    paintField(m_form.networkPort, FieldState::Unchanged);
    m_form.networkProblemLabel->hide();
    showNetworkRow(link::isNetworkValue(current));
}

bool CommSettingsDialog::networkChosen() const {
    const std::string value = m_form.devices->currentData().toString().toStdString();
    return value == kNetworkChoiceValue || link::isNetworkValue(value);
}

void CommSettingsDialog::showNetworkRow(bool shown) {
    m_form.networkRow->setVisible(shown);
}

void CommSettingsDialog::onNetworkEdited() {
    const NetworkFields fields{m_form.host->text().trimmed().toStdString(),
                               m_form.networkPort->text().trimmed().toStdString(),
                               m_form.protocol->currentIndex() == kProtocolRfc2217};
    std::string problem;
    const std::string value = networkValue(fields, problem);
    m_networkProblem = problem;
    // Mark the field at fault as the pages mark an invalid entry; the value is taken only
    // when both fields pass, so a half-typed address is never saved or tried.
    std::string hostProblem;
    networkValue({fields.host, "1", false}, hostProblem);
    paintField(m_form.host, hostProblem.empty() ? FieldState::Unchanged : FieldState::Invalid);
    paintField(m_form.networkPort, !problem.empty() && hostProblem.empty() ? FieldState::Invalid
                                                                           : FieldState::Unchanged);
    m_form.networkProblemLabel->setText(QString::fromStdString(problem));
    m_form.networkProblemLabel->setVisible(!problem.empty());
    if (!value.empty()) {
        m_mapping[static_cast<size_t>(m_ctx.ports.activePort)] = value;
        m_form.devices->setItemData(m_form.devices->currentIndex(), QString::fromStdString(value));
    }
    updateTargets();
}

void CommSettingsDialog::onDeviceChosen(int index) {
    if (index < 0 || environmentMapping(m_ctx.ports.activePort + 1)) {
        return;
    }
    if (networkChosen()) {
        showNetworkRow(true);
        onNetworkEdited();
        m_form.host->setFocus();
        return;
    }
    showNetworkRow(false);
    m_networkProblem.clear();
    m_mapping[static_cast<size_t>(m_ctx.ports.activePort)] =
        m_form.devices->itemData(index).toString().toStdString();
    updateTargets();
}

void CommSettingsDialog::updateTargets() {
    for (int port = 0; port < kPortCount; ++port) {
        std::string text;
        if (const auto env = environmentMapping(port + 1)) {
            const auto target = link::parsePortValue(*env);
            text = target && target->emulator ? i18n::translate(kEmulatorLabel) : deviceLabel(*env);
        } else {
            text = targetLabel(port + 1, m_mapping[static_cast<size_t>(port)], m_deviceFiles);
        }
        if (port == m_ctx.ports.activePort && !m_networkProblem.empty() && networkChosen()) {
            // The fields are being typed: what they hold now is no target yet.
            text = tr("ネットワーク（%1）")
                       .arg(QString::fromStdString(m_networkProblem))
                       .toStdString();
        }
        QLabel* label = m_form.target[static_cast<size_t>(port)];
        const QString full = text.empty() ? tr("（デバイスなし）") : QString::fromStdString(text);
        label->setToolTip(full);
        label->setText(label->fontMetrics().elidedText(full, Qt::ElideMiddle, kPortTargetMinWidth));
        m_form.port[static_cast<size_t>(port)]->setToolTip(full);
    }
}

std::string CommSettingsDialog::openNameForTest(std::string& problem) const {
    const int port = m_ctx.ports.activePort + 1;
    const std::string comName = "COM" + std::to_string(port);
    if (environmentMapping(port)) {
        return comName;
    }
    if (networkChosen() && !m_networkProblem.empty()) {
        problem =
            tr("通信ポート %1 の接続先: %2")
                .arg(QString::fromStdString(comName), QString::fromStdString(m_networkProblem))
                .toStdString();
        return {};
    }
    // The mapping is tried before it is saved: the library opens the device, emulator or
    // device server itself rather than what Qavix.ini says now.
    const std::string name =
        openNameFor(port, m_mapping[static_cast<size_t>(port - 1)], m_deviceFiles);
    if (name.empty()) {
        problem = link::portProblemText(
            link::diagnosePort(link::PortProblemKind::NoDevice, comName, comName));
    }
    return name;
}

void CommSettingsDialog::saveMappings() {
    for (int port = 0; port < kPortCount; ++port) {
        const auto i = static_cast<size_t>(port);
        if (m_mapping[i] == m_savedMapping[i]) {
            continue;
        }
        const std::string key = "COM" + std::to_string(port + 1);
        if (m_mapping[i].empty()) {
            m_ctx.settings.removeKey(kPortsSection, key);
        } else {
            m_ctx.settings.setString(kPortsSection, key, m_mapping[i]);
        }
    }
    m_savedMapping = m_mapping;
}

void CommSettingsDialog::onUnitChosen(int unit) {
    if (unit >= 0) {
        m_ctx.ports.activeMachine = unit;
    }
}

void CommSettingsDialog::setControlsEnabled(bool on) {
    // Every port can be chosen: one without a device can be mapped to one, or to the
    // built-in emulator.
    for (QRadioButton* b : m_form.port) {
        b->setEnabled(on);
    }
    m_form.devices->setEnabled(on && !environmentMapping(m_ctx.ports.activePort + 1));
    m_form.rescan->setEnabled(on);
    for (QWidget* field :
         {static_cast<QWidget*>(m_form.host), static_cast<QWidget*>(m_form.networkPort),
          static_cast<QWidget*>(m_form.protocol)}) {
        field->setEnabled(on);
    }
    for (QButtonGroup* g :
         {m_form.baudGroup, m_form.byteGroup, m_form.parityGroup, m_form.stopGroup}) {
        for (QAbstractButton* b : g->buttons()) {
            b->setEnabled(on);
        }
    }
    m_form.unit->setEnabled(on);
    m_form.test->setEnabled(on);
    m_form.ok->setEnabled(on);
    m_form.cancel->setEnabled(on);
}

void CommSettingsDialog::showStatus(bool connected) {
    m_notConnected = !connected;
    m_form.status->setText(connected ? tr(kConnectedText) : tr(kNotConnectedText));
    QPalette pal = m_form.status->palette();
    pal.setColor(QPalette::WindowText, connected ? kConnectedColour : kNotConnectedColour);
    m_form.status->setPalette(pal);
    m_blinkPhase = false;
    if (connected) {
        m_blinkTimer.stop();
    } else if (!m_blinkTimer.isActive()) {
        m_blinkTimer.start();
    }
    setControlsEnabled(true);
}

void CommSettingsDialog::blink() {
    if (!m_notConnected) {
        m_blinkTimer.stop();
        return;
    }
    m_blinkPhase = !m_blinkPhase;
    QPalette pal = m_form.status->palette();
    pal.setColor(QPalette::WindowText, m_blinkPhase ? kNotConnectedBlink : kNotConnectedColour);
    m_form.status->setPalette(pal);
}

void CommSettingsDialog::storeRadioIndices() {
    PortSetting& line = m_ctx.ports.active();
    // With no speed chosen the port keeps its rate.
    if (m_form.baudGroup->checkedId() >= 0) {
        line.baudIndex = m_form.baudGroup->checkedId();
    }
    line.bytesize = m_form.byteGroup->checkedId() == 1 ? 1 : 0;
    line.parity = m_form.parityGroup->checkedId() == 1 ? 1 : 0;
    line.stopbit = m_form.stopGroup->checkedId() == 1 ? 1 : 0;
}

void CommSettingsDialog::wait(int ms) {
    if (ms <= 0) {
        return;
    }
    // The test holds the user's input back, but the status text keeps painting.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
}

bool CommSettingsDialog::runTest(bool restoring) {
    if (m_busy) {
        return false;
    }
    m_busy = true;
    setControlsEnabled(false);
    if (!restoring) {
        storeRadioIndices();
    }
    PortSettings& p = m_ctx.ports;
    const int unit = p.activeMachine;
    PortBlock block = p.active().block(unit);
    const std::string comName = "COM" + std::to_string(p.activePort + 1);
    std::string problem;
    const std::string name = openNameForTest(problem);

    const LinkApi& api = m_ctx.link.api();
    bool answered = false;
    if (api.close != nullptr && api.open != nullptr && api.getControlDataWait != nullptr) {
        api.close();
        wait(m_ctx.timings.settleMs);
        const bool opened = !name.empty() && api.open(name.c_str(), block.data()) != 0;
        if (!name.empty() && !opened) {
            problem = openFailureText(api, name, m_ctx.settings.path(), comName);
        }
        wait(m_ctx.timings.settleMs);
        std::array<char, kStatusBufferSize> reply{};
        answered =
            opened && api.getControlDataWait(kCodeStatus, reply.data(), kStatusReadTimeoutMs) != 0;
        if (opened && !answered) {
            problem = silentLineText(comName, name, m_ctx.settings.path());
        }
    }
    m_testProblem = answered ? std::string() : problem;
    m_form.error->setText(QString::fromStdString(problem));
    m_form.error->setVisible(!answered && !problem.empty());
    m_ctx.link.setUnitConnected(unit, answered);
    // The worker opens the same port with the same unit when it next has to.
    m_ctx.link.setSettings(makeLinkSettings(p));
    m_busy = false;
    showStatus(answered);
    return answered;
}

bool CommSettingsDialog::askEnd() {
    // What the test found names the port and why, rather than calling a line that may never
    // have answered a cut one.
    const QString text = m_testProblem.empty()
                             ? tr(kAskEndText)
                             : QString::fromStdString(m_testProblem + "\n\n") + tr(kAskEndText);
    const auto answer = QMessageBox::warning(
        this, "Qavix", text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer != QMessageBox::Ok) {
        return false;
    }
    m_ended = true;
    m_blinkTimer.stop();
    QDialog::done(QDialog::Rejected);
    if (m_ctx.endProgram) {
        m_ctx.endProgram();
    }
    return true;
}

void CommSettingsDialog::confirm() {
    m_ctx.state.commSettingsUsed = true;
    if (!runTest(false)) {
        askEnd();
        return;
    }
    saveMappings();
    m_ctx.ports.saveChosenPort(m_ctx.settings, true);
    m_ctx.settings.save();
    m_blinkTimer.stop();
    QDialog::done(QDialog::Accepted);
}

void CommSettingsDialog::cancel() {
    PortSettings& p = m_ctx.ports;
    p.activePort = m_savedPort;
    p.activeMachine = m_savedUnit;
    p.active() = m_savedLine;
    m_mapping = m_savedMapping;
    updateTargets();
    if (!runTest(true)) {
        askEnd();
        return;
    }
    m_blinkTimer.stop();
    QDialog::done(QDialog::Rejected);
}

void CommSettingsDialog::reject() {
    // Escape and the window's close button mean "取消し": the connection must be put back.
    if (!m_busy && !m_ended) {
        cancel();
    }
}

}  // namespace qavix
