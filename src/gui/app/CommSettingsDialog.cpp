#include "app/CommSettingsDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "PortProblem.h"
#include "PortResolver.h"
#include "SerialPorts.h"
#include "comm/CommMessages.h"
#include "comm/LinkSettings.h"
#include "comm/PortChoices.h"
#include "comm/PortFailure.h"
#include "comm/RequestBlock.h"
#include "frame/StatusPanes.h"
#include "pages/FieldColours.h"
#include "widgets/CPictureButton.h"

namespace qavix {

namespace {

constexpr const char* kBaudTexts[] = {"9600 bps",  "14400 bps", "19200 bps",
                                      "38400 bps", "57600 bps", "115200 bps"};
constexpr int kStatusFontPixels = 18;
constexpr int kFaceLift = 30;  // the radio background is the button face, lightened
const QColor kConnectedColour(0, 255, 0);
const QColor kNotConnectedColour(255, 0, 0);
const QColor kNotConnectedBlink(255, 128, 128);
constexpr const char* kConnectedText = "接続";
constexpr const char* kNotConnectedText = "未接続";

QGroupBox* radioGroup(const QString& title, QButtonGroup& group, const QStringList& texts,
                      QRadioButton** out, int columns) {
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(14);
    for (int i = 0; i < texts.size(); ++i) {
        auto* b = new QRadioButton(texts[i], box);
        group.addButton(b, i);
        grid->addWidget(b, i / columns, i % columns);
        out[i] = b;
    }
    return box;
}

constexpr int kTargetMinWidth = 230;
constexpr int kNetworkPortDigits = 5;
constexpr int kProtocolRfc2217 = 1;

// A label whose mnemonic moves the focus to `field`, which carries the label's words as
// its name for screen readers.
QLabel* fieldLabel(const QString& text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    QString name = text;
    name.remove(QRegularExpression("\\(&.\\)|&|:$"));
    field->setAccessibleName(name);
    return label;
}

CPictureButton* pictureButton(const QString& text, const QString& name, int style) {
    auto* b = new CPictureButton();
    b->setText(text);
    b->setObjectName(name);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(96, 30);
    b->setTexture(textureFromSetting(style));
    return b;
}

}  // namespace

const char* const CommSettingsDialog::kNoAnswerText =
    "ポートは開けましたが、エリアスキャナが応答しません。\n"
    "通信速度などの設定、号機番号とケーブルを確認してください。";

const char* const CommSettingsDialog::kAskEndText =
    "エリアスキャナとの通信が断絶しました。\n終了しますか？\n（ＯＫでQavixを終了します）\n";

CommSettingsDialog::CommSettingsDialog(const CommDialogContext& context, QWidget* parent)
    : QDialog(parent), m_ctx(context) {
    setObjectName("CommSettingsDialog");
    setWindowTitle("通信設定");
    setModal(true);
    buildControls();
    loadFromSettings();
    m_blinkTimer.setInterval(m_ctx.timings.blinkMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CommSettingsDialog::blink);
    showStatus(m_ctx.link.unitConnected(m_ctx.ports.activeMachine));
}

QGroupBox* CommSettingsDialog::buildPortBox(const QStringList& ports) {
    auto* box = new QGroupBox("通信ポート");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(10);
    constexpr int kColumns = 2;
    for (int i = 0; i < ports.size(); ++i) {
        auto* b = new QRadioButton(ports[i], box);
        m_portGroup.addButton(b, i);
        auto* target = new QLabel(box);
        target->setObjectName(QString("portTarget%1").arg(i + 1));
        target->setMinimumWidth(kTargetMinWidth);
        target->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPalette dim = target->palette();
        dim.setColor(QPalette::WindowText, dim.color(QPalette::PlaceholderText));
        target->setPalette(dim);
        const int row = i / kColumns;
        const int column = (i % kColumns) * 2;
        grid->addWidget(b, row, column);
        grid->addWidget(target, row, column + 1);
        m_port[static_cast<size_t>(i)] = b;
        m_target[static_cast<size_t>(i)] = target;
    }
    auto* deviceLabel = new QLabel("接続先デバイス(&D):", box);
    m_devices = new QComboBox(box);
    m_devices->setObjectName("deviceList");
    m_devices->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_devices->setMinimumContentsLength(36);
    m_devices->setToolTip("選んだポートが開くシリアルデバイス（Qavix.ini の [Ports] に保存）");
    deviceLabel->setBuddy(m_devices);
    m_rescan = pictureButton("再検索", "rescanButton", m_ctx.state.user.button);
    m_rescan->setMinimumSize(72, 26);
    m_rescan->setToolTip("USB アダプタなどを接続した後、デバイスを探し直します");
    const int row = (static_cast<int>(ports.size()) + kColumns - 1) / kColumns;
    auto* deviceRow = new QHBoxLayout();
    deviceRow->addWidget(deviceLabel);
    deviceRow->addWidget(m_devices, 1);
    deviceRow->addWidget(m_rescan);
    grid->addLayout(deviceRow, row, 0, 1, kColumns * 2);
    grid->addWidget(buildNetworkRow(), row + 1, 0, 1, kColumns * 2);
    connect(m_devices, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onDeviceChosen);
    connect(m_rescan, &QToolButton::clicked, this, &CommSettingsDialog::rescanDevices);
    return box;
}

QWidget* CommSettingsDialog::buildNetworkRow() {
    m_networkRow = new QWidget();
    m_networkRow->setObjectName("networkRow");
    m_host = new QLineEdit(m_networkRow);
    m_host->setObjectName("hostField");
    m_host->setPlaceholderText("plc-line3 / 192.168.0.20 / [fe80::1]");
    m_host->setToolTip("デバイスサーバーのホスト名または IP アドレス（IPv6 は [ ] で囲む）");
    m_networkPort = new QLineEdit(m_networkRow);
    m_networkPort->setObjectName("networkPortField");
    m_networkPort->setMaxLength(kNetworkPortDigits);
    m_networkPort->setPlaceholderText("4001");
    m_networkPort->setMaximumWidth(m_networkPort->fontMetrics().horizontalAdvance("000000") + 16);
    m_networkPort->setToolTip("デバイスサーバーの TCP ポート番号（1〜65535）");
    m_protocol = new QComboBox(m_networkRow);
    m_protocol->setObjectName("protocolList");
    m_protocol->addItem("TCP（そのまま）");
    m_protocol->addItem("RFC 2217");
    m_protocol->setToolTip(
        "TCP: 通信条件はデバイスサーバー側の設定のまま\n"
        "RFC 2217: 通信速度などをこのポートの設定でデバイスサーバーに設定します");
    m_networkProblemLabel = new QLabel(m_networkRow);
    m_networkProblemLabel->setObjectName("networkProblem");
    QPalette problemPalette = m_networkProblemLabel->palette();
    problemPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_networkProblemLabel->setPalette(problemPalette);
    m_networkProblemLabel->hide();

    auto* fields = new QHBoxLayout();
    fields->setContentsMargins(0, 0, 0, 0);
    fields->addWidget(fieldLabel("ホスト(&H):", m_host, m_networkRow));
    fields->addWidget(m_host, 1);
    fields->addWidget(fieldLabel("ポート(&N):", m_networkPort, m_networkRow));
    fields->addWidget(m_networkPort);
    fields->addWidget(fieldLabel("プロトコル(&R):", m_protocol, m_networkRow));
    fields->addWidget(m_protocol);
    auto* column = new QVBoxLayout(m_networkRow);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(fields);
    column->addWidget(m_networkProblemLabel);
    m_networkRow->hide();

    connect(m_host, &QLineEdit::textEdited, this, &CommSettingsDialog::onNetworkEdited);
    connect(m_networkPort, &QLineEdit::textEdited, this, &CommSettingsDialog::onNetworkEdited);
    connect(m_protocol, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onNetworkEdited);
    return m_networkRow;
}

void CommSettingsDialog::buildControls() {
    const QColor face = palette().color(QPalette::Button);
    QPalette lifted = palette();
    lifted.setColor(QPalette::Window, QColor(std::min(face.red() + kFaceLift, 255),
                                             std::min(face.green() + kFaceLift, 255),
                                             std::min(face.blue() + kFaceLift, 255)));

    QStringList ports;
    for (int p = 1; p <= kPortCount; ++p) {
        ports << QString("COM%1").arg(p);
    }
    QStringList bauds;
    for (const char* b : kBaudTexts) {
        bauds << b;
    }
    QGroupBox* portBox = buildPortBox(ports);
    QGroupBox* baudBox = radioGroup("通信速度", m_baudGroup, bauds, m_baud.data(), 3);
    QGroupBox* byteBox =
        radioGroup("データビット長", m_byteGroup, {"8 bits", "7 bits"}, m_byte.data(), 2);
    QGroupBox* parityBox =
        radioGroup("パリティ", m_parityGroup, {"無し", "偶数"}, m_parity.data(), 2);
    QGroupBox* stopBox =
        radioGroup("ストップビット", m_stopGroup, {"1 bits", "2 bits"}, m_stop.data(), 2);
    for (QGroupBox* box : {portBox, baudBox, byteBox, parityBox, stopBox}) {
        box->setAutoFillBackground(true);
        box->setPalette(lifted);
    }

    auto* unitBox = new QGroupBox("号機番号");
    unitBox->setAutoFillBackground(true);
    unitBox->setPalette(lifted);
    m_unit = new QComboBox(unitBox);
    m_unit->setObjectName("unitList");
    for (int u = 0; u < kUnitCount; ++u) {
        m_unit->addItem(QString::fromStdString(unitLabel(u)));
    }
    auto* unitLayout = new QHBoxLayout(unitBox);
    unitLayout->setContentsMargins(10, 6, 10, 6);
    unitLayout->addWidget(m_unit);
    unitLayout->addStretch(1);

    m_status = new QLabel(kNotConnectedText);
    m_status->setObjectName("connectionStatus");
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setMinimumWidth(120);
    m_status->setFrameShape(QFrame::Panel);
    m_status->setFrameShadow(QFrame::Sunken);
    m_status->setAutoFillBackground(true);
    QPalette statusPalette = m_status->palette();
    statusPalette.setColor(QPalette::Window, Qt::black);
    m_status->setPalette(statusPalette);
    QFont statusFont("Noto Sans Mono CJK JP");
    statusFont.setPixelSize(kStatusFontPixels);
    statusFont.setWeight(QFont::Light);
    m_status->setFont(statusFont);

    const int style = m_ctx.state.user.button;
    m_test = pictureButton("通信テスト", "testButton", style);
    m_ok = pictureButton("設定", "okButton", style);
    m_cancel = pictureButton("取消し", "cancelButton", style);
    connect(m_test, &QToolButton::clicked, this, [this] { runTest(false); });
    connect(m_ok, &QToolButton::clicked, this, &CommSettingsDialog::confirm);
    connect(m_cancel, &QToolButton::clicked, this, &CommSettingsDialog::cancel);

    auto* lineRow = new QHBoxLayout();
    lineRow->addWidget(byteBox);
    lineRow->addWidget(parityBox);
    lineRow->addWidget(stopBox);
    auto* statusRow = new QHBoxLayout();
    statusRow->addWidget(unitBox, 1);
    statusRow->addWidget(m_status);
    statusRow->addWidget(m_test);
    m_error = new QLabel();
    m_error->setObjectName("portError");
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette errorPalette = m_error->palette();
    errorPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_error->setPalette(errorPalette);
    m_error->hide();
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(portBox);
    layout->addWidget(baudBox);
    layout->addLayout(lineRow);
    layout->addLayout(statusRow);
    layout->addWidget(m_error);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    // The state, not the click: a screen reader picks a port without a mouse click.
    connect(&m_portGroup, &QButtonGroup::idToggled, this, [this](int port, bool on) {
        if (on) {
            onPortChosen(port);
        }
    });
    connect(&m_baudGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().baudIndex = i; });
    connect(&m_byteGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().bytesize = i; });
    connect(&m_parityGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().parity = i; });
    connect(&m_stopGroup, &QButtonGroup::idClicked, this,
            [this](int i) { m_ctx.ports.active().stopbit = i; });
    connect(m_unit, QOverload<int>::of(&QComboBox::activated), this,
            &CommSettingsDialog::onUnitChosen);
}

void CommSettingsDialog::loadFromSettings() {
    PortSettings& p = m_ctx.ports;
    if (p.activeMachine >= 0 && p.activeMachine < kUnitCount) {
        m_unit->setCurrentIndex(p.activeMachine);
    } else {
        m_unit->setCurrentIndex(-1);
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
    m_port[static_cast<size_t>(p.activePort)]->setChecked(true);
    updateTargets();
    fillDeviceList();
    const PortSetting& line = p.active();
    m_baud[static_cast<size_t>(line.baudIndex)]->setChecked(true);
    m_byte[line.bytesize == 1 ? 1 : 0]->setChecked(true);
    m_parity[line.parity == 1 ? 1 : 0]->setChecked(true);
    m_stop[line.stopbit == 1 ? 1 : 0]->setChecked(true);
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
    m_devices->clear();
    if (const auto env = environmentMapping(port + 1)) {
        // The environment wins over Qavix.ini; a choice here would not be the one used.
        m_devices->addItem(
            QString("環境変数 QAVLINK_COM%1: %2").arg(port + 1).arg(QString::fromStdString(*env)));
        m_devices->setEnabled(false);
        showNetworkRow(false);
        return;
    }
    const std::string& current = m_mapping[static_cast<size_t>(port)];
    int selected = 0;
    const auto choices = portChoices(m_deviceFiles, current);
    for (size_t i = 0; i < choices.size(); ++i) {
        m_devices->addItem(QString::fromStdString(choices[i].label),
                           QString::fromStdString(choices[i].value));
        if (choices[i].value == current) {
            selected = static_cast<int>(i);
        }
    }
    m_devices->setCurrentIndex(selected);
    m_devices->setEnabled(!m_busy);
    // The fields show the port's own device server, or nothing for another kind of port.
    const NetworkFields fields = networkFields(current);
    m_host->setText(QString::fromStdString(fields.host));
    m_networkPort->setText(QString::fromStdString(fields.port));
    m_protocol->setCurrentIndex(fields.rfc2217 ? kProtocolRfc2217 : 0);
    m_networkProblem.clear();
    paintField(m_host, FieldState::Unchanged);
    paintField(m_networkPort, FieldState::Unchanged);
    m_networkProblemLabel->hide();
    showNetworkRow(link::isNetworkValue(current));
}

bool CommSettingsDialog::networkChosen() const {
    const std::string value = m_devices->currentData().toString().toStdString();
    return value == kNetworkChoiceValue || link::isNetworkValue(value);
}

void CommSettingsDialog::showNetworkRow(bool shown) {
    m_networkRow->setVisible(shown);
}

void CommSettingsDialog::onNetworkEdited() {
    const NetworkFields fields{m_host->text().trimmed().toStdString(),
                               m_networkPort->text().trimmed().toStdString(),
                               m_protocol->currentIndex() == kProtocolRfc2217};
    std::string problem;
    const std::string value = networkValue(fields, problem);
    m_networkProblem = problem;
    // Mark the field at fault as the pages mark an invalid entry; the value is taken only
    // when both fields pass, so a half-typed address is never saved or tried.
    std::string hostProblem;
    networkValue({fields.host, "1", false}, hostProblem);
    paintField(m_host, hostProblem.empty() ? FieldState::Unchanged : FieldState::Invalid);
    paintField(m_networkPort, !problem.empty() && hostProblem.empty() ? FieldState::Invalid
                                                                      : FieldState::Unchanged);
    m_networkProblemLabel->setText(QString::fromStdString(problem));
    m_networkProblemLabel->setVisible(!problem.empty());
    if (!value.empty()) {
        m_mapping[static_cast<size_t>(m_ctx.ports.activePort)] = value;
        m_devices->setItemData(m_devices->currentIndex(), QString::fromStdString(value));
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
        m_host->setFocus();
        return;
    }
    showNetworkRow(false);
    m_networkProblem.clear();
    m_mapping[static_cast<size_t>(m_ctx.ports.activePort)] =
        m_devices->itemData(index).toString().toStdString();
    updateTargets();
}

void CommSettingsDialog::updateTargets() {
    for (int port = 0; port < kPortCount; ++port) {
        std::string text;
        if (const auto env = environmentMapping(port + 1)) {
            const auto target = link::parsePortValue(*env);
            text = target && target->emulator ? kEmulatorLabel : deviceLabel(*env);
        } else {
            text = targetLabel(port + 1, m_mapping[static_cast<size_t>(port)], m_deviceFiles);
        }
        if (port == m_ctx.ports.activePort && !m_networkProblem.empty() && networkChosen()) {
            // The fields are being typed: what they hold now is no target yet.
            text = "ネットワーク（" + m_networkProblem + "）";
        }
        QLabel* label = m_target[static_cast<size_t>(port)];
        const QString full =
            text.empty() ? QString("（デバイスなし）") : QString::fromStdString(text);
        label->setToolTip(full);
        label->setText(label->fontMetrics().elidedText(full, Qt::ElideMiddle, kTargetMinWidth));
        m_port[static_cast<size_t>(port)]->setToolTip(full);
    }
}

std::string CommSettingsDialog::openNameForTest(std::string& problem) const {
    const int port = m_ctx.ports.activePort + 1;
    const std::string comName = "COM" + std::to_string(port);
    if (environmentMapping(port)) {
        return comName;
    }
    if (networkChosen() && !m_networkProblem.empty()) {
        problem = "通信ポート " + comName + " の接続先: " + m_networkProblem;
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
    for (QRadioButton* b : m_port) {
        b->setEnabled(on);
    }
    m_devices->setEnabled(on && !environmentMapping(m_ctx.ports.activePort + 1));
    m_rescan->setEnabled(on);
    for (QWidget* field : {static_cast<QWidget*>(m_host), static_cast<QWidget*>(m_networkPort),
                           static_cast<QWidget*>(m_protocol)}) {
        field->setEnabled(on);
    }
    for (QButtonGroup* g : {&m_baudGroup, &m_byteGroup, &m_parityGroup, &m_stopGroup}) {
        for (QAbstractButton* b : g->buttons()) {
            b->setEnabled(on);
        }
    }
    m_unit->setEnabled(on);
    m_test->setEnabled(on);
    m_ok->setEnabled(on);
    m_cancel->setEnabled(on);
}

void CommSettingsDialog::showStatus(bool connected) {
    m_notConnected = !connected;
    m_status->setText(connected ? kConnectedText : kNotConnectedText);
    QPalette pal = m_status->palette();
    pal.setColor(QPalette::WindowText, connected ? kConnectedColour : kNotConnectedColour);
    m_status->setPalette(pal);
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
    QPalette pal = m_status->palette();
    pal.setColor(QPalette::WindowText, m_blinkPhase ? kNotConnectedBlink : kNotConnectedColour);
    m_status->setPalette(pal);
}

void CommSettingsDialog::storeRadioIndices() {
    PortSetting& line = m_ctx.ports.active();
    // With no speed chosen the port keeps its rate.
    if (m_baudGroup.checkedId() >= 0) {
        line.baudIndex = m_baudGroup.checkedId();
    }
    line.bytesize = m_byteGroup.checkedId() == 1 ? 1 : 0;
    line.parity = m_parityGroup.checkedId() == 1 ? 1 : 0;
    line.stopbit = m_stopGroup.checkedId() == 1 ? 1 : 0;
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
            problem = kNoAnswerText;
        }
    }
    m_error->setText(QString::fromStdString(problem));
    m_error->setVisible(!answered && !problem.empty());
    m_ctx.link.setUnitConnected(unit, answered);
    // The worker opens the same port with the same unit when it next has to.
    m_ctx.link.setSettings(makeLinkSettings(p));
    m_busy = false;
    showStatus(answered);
    return answered;
}

bool CommSettingsDialog::askEnd() {
    const auto answer = QMessageBox::warning(
        this, "Qavix", kAskEndText, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
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
