#include "app/CommSettingsForm.h"

#include <QCoreApplication>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "frame/StatusPanes.h"
#include "widgets/CPictureButton.h"

namespace qavix {

namespace {

constexpr const char* kBaudTexts[] = {"9600 bps",  "14400 bps", "19200 bps",
                                      "38400 bps", "57600 bps", "115200 bps"};
constexpr int kStatusFontPixels = 18;
constexpr int kFaceLift = 30;  // the radio background is the button face, lightened
constexpr int kPortColumns = 2;
constexpr int kNetworkPortDigits = 5;

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

CPictureButton* pictureButton(const QString& text, const QString& name, int style) {
    auto* b = new CPictureButton();
    b->setText(text);
    b->setObjectName(name);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumSize(96, 30);
    b->setTexture(textureFromSetting(style));
    return b;
}

QLabel* portTargetLabel(int port, QWidget* parent) {
    auto* target = new QLabel(parent);
    target->setObjectName(QString("portTarget%1").arg(port + 1));
    target->setMinimumWidth(kPortTargetMinWidth);
    target->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette dim = target->palette();
    dim.setColor(QPalette::WindowText, dim.color(QPalette::PlaceholderText));
    target->setPalette(dim);
    return target;
}

// The device row under the ports: the list of serial devices and "再検索".
QHBoxLayout* deviceRow(CommSettingsForm& f, QWidget* box, int buttonStyle) {
    auto* deviceLabel = new QLabel(
        QCoreApplication::translate("qavix::CommSettingsForm", "接続先デバイス(&D):"), box);
    f.devices = new QComboBox(box);
    f.devices->setObjectName("deviceList");
    f.devices->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    f.devices->setMinimumContentsLength(36);
    f.devices->setToolTip(QCoreApplication::translate(
        "qavix::CommSettingsForm",
        "選んだポートが開くシリアルデバイス（Qavix.ini の [Ports] に保存）"));
    deviceLabel->setBuddy(f.devices);
    f.rescan = pictureButton(QCoreApplication::translate("qavix::CommSettingsForm", "再検索"),
                             "rescanButton", buttonStyle);
    f.rescan->setMinimumSize(72, 26);
    f.rescan->setToolTip(QCoreApplication::translate(
        "qavix::CommSettingsForm", "USB アダプタなどを接続した後、デバイスを探し直します"));
    auto* row = new QHBoxLayout();
    row->addWidget(deviceLabel);
    row->addWidget(f.devices, 1);
    row->addWidget(f.rescan);
    return row;
}

// The device server's host, TCP port and protocol, shown while the port's choice is the
// network.
QWidget* networkRow(CommSettingsForm& f) {
    f.networkRow = new QWidget();
    QWidget* row = f.networkRow;
    row->setObjectName("networkRow");
    f.host = new QLineEdit(row);
    f.host->setObjectName("hostField");
    f.host->setPlaceholderText("plc-line3 / 192.168.0.20 / [fe80::1]");
    f.host->setToolTip(QCoreApplication::translate(
        "qavix::CommSettingsForm",
        "デバイスサーバーのホスト名または IP アドレス（IPv6 は [ ] で囲む）"));
    f.networkPort = new QLineEdit(row);
    f.networkPort->setObjectName("networkPortField");
    f.networkPort->setMaxLength(kNetworkPortDigits);
    f.networkPort->setPlaceholderText("4001");
    f.networkPort->setMaximumWidth(f.networkPort->fontMetrics().horizontalAdvance("000000") + 16);
    f.networkPort->setToolTip(QCoreApplication::translate(
        "qavix::CommSettingsForm", "デバイスサーバーの TCP ポート番号（1〜65535）"));
    f.protocol = new QComboBox(row);
    f.protocol->setObjectName("protocolList");
    f.protocol->addItem(QCoreApplication::translate("qavix::CommSettingsForm", "TCP（そのまま）"));
    f.protocol->addItem("RFC 2217");
    f.protocol->setToolTip(QCoreApplication::translate(
        "qavix::CommSettingsForm",
        "TCP: 通信条件はデバイスサーバー側の設定のまま\n"
        "RFC 2217: 通信速度などをこのポートの設定でデバイスサーバーに設定します"));
    f.networkProblemLabel = new QLabel(row);
    f.networkProblemLabel->setObjectName("networkProblem");
    QPalette problemPalette = f.networkProblemLabel->palette();
    problemPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    f.networkProblemLabel->setPalette(problemPalette);
    f.networkProblemLabel->hide();

    auto* fields = new QHBoxLayout();
    fields->setContentsMargins(0, 0, 0, 0);
    fields->addWidget(fieldLabel(
        QCoreApplication::translate("qavix::CommSettingsForm", "ホスト(&H):"), f.host, row));
    fields->addWidget(f.host, 1);
    fields->addWidget(fieldLabel(
        QCoreApplication::translate("qavix::CommSettingsForm", "ポート(&N):"), f.networkPort, row));
    fields->addWidget(f.networkPort);
    fields->addWidget(
        fieldLabel(QCoreApplication::translate("qavix::CommSettingsForm", "プロトコル(&R):"),
                   f.protocol, row));
    fields->addWidget(f.protocol);
    auto* column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(fields);
    column->addWidget(f.networkProblemLabel);
    row->hide();
    return row;
}

QGroupBox* portBox(CommSettingsForm& f, int buttonStyle) {
    auto* box = new QGroupBox(QCoreApplication::translate("qavix::CommSettingsForm", "通信ポート"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(10);
    for (int i = 0; i < kPortCount; ++i) {
        auto* b = new QRadioButton(QString("COM%1").arg(i + 1), box);
        f.portGroup->addButton(b, i);
        QLabel* target = portTargetLabel(i, box);
        const int row = i / kPortColumns;
        const int column = (i % kPortColumns) * 2;
        grid->addWidget(b, row, column);
        grid->addWidget(target, row, column + 1);
        f.port[static_cast<size_t>(i)] = b;
        f.target[static_cast<size_t>(i)] = target;
    }
    const int row = (kPortCount + kPortColumns - 1) / kPortColumns;
    grid->addLayout(deviceRow(f, box, buttonStyle), row, 0, 1, kPortColumns * 2);
    grid->addWidget(networkRow(f), row + 1, 0, 1, kPortColumns * 2);
    return box;
}

QGroupBox* unitBox(CommSettingsForm& f, int unitCount) {
    auto* box = new QGroupBox(QCoreApplication::translate("qavix::CommSettingsForm", "号機番号"));
    f.unit = new QComboBox(box);
    f.unit->setObjectName("unitList");
    // The box's title is the list's only label.
    f.unit->setAccessibleName(box->title());
    for (int u = 0; u < unitCount; ++u) {
        f.unit->addItem(QString::fromStdString(unitLabel(u)));
    }
    auto* unitLayout = new QHBoxLayout(box);
    unitLayout->setContentsMargins(10, 6, 10, 6);
    unitLayout->addWidget(f.unit);
    unitLayout->addStretch(1);
    return box;
}

QLabel* statusLabel(const QString& text) {
    auto* status = new QLabel(text);
    status->setObjectName("connectionStatus");
    status->setAlignment(Qt::AlignCenter);
    status->setMinimumWidth(120);
    status->setFrameShape(QFrame::Panel);
    status->setFrameShadow(QFrame::Sunken);
    status->setAutoFillBackground(true);
    QPalette statusPalette = status->palette();
    statusPalette.setColor(QPalette::Window, Qt::black);
    status->setPalette(statusPalette);
    QFont statusFont("Noto Sans Mono CJK JP");
    statusFont.setPixelSize(kStatusFontPixels);
    statusFont.setWeight(QFont::Light);
    status->setFont(statusFont);
    return status;
}

QLabel* errorLabel() {
    auto* error = new QLabel();
    error->setObjectName("portError");
    error->setWordWrap(true);
    error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette errorPalette = error->palette();
    errorPalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    error->setPalette(errorPalette);
    error->hide();
    return error;
}

QPalette lifted(const QPalette& palette) {
    const QColor face = palette.color(QPalette::Button);
    QPalette p = palette;
    p.setColor(QPalette::Window, QColor(std::min(face.red() + kFaceLift, 255),
                                        std::min(face.green() + kFaceLift, 255),
                                        std::min(face.blue() + kFaceLift, 255)));
    return p;
}

}  // namespace

CommSettingsForm buildCommSettingsForm(QDialog& dialog, int buttonStyle, int unitCount,
                                       const QString& notConnectedText) {
    CommSettingsForm f;
    for (QButtonGroup** g :
         {&f.portGroup, &f.baudGroup, &f.byteGroup, &f.parityGroup, &f.stopGroup}) {
        *g = new QButtonGroup(&dialog);
    }
    QStringList bauds;
    for (const char* b : kBaudTexts) {
        bauds << b;
    }
    QGroupBox* ports = portBox(f, buttonStyle);
    QGroupBox* baud = radioGroup(QCoreApplication::translate("qavix::CommSettingsForm", "通信速度"),
                                 *f.baudGroup, bauds, f.baud.data(), 3);
    QGroupBox* byte =
        radioGroup(QCoreApplication::translate("qavix::CommSettingsForm", "データビット長"),
                   *f.byteGroup, {"8 bits", "7 bits"}, f.byte.data(), 2);
    QGroupBox* parity = radioGroup(
        QCoreApplication::translate("qavix::CommSettingsForm", "パリティ"), *f.parityGroup,
        {QCoreApplication::translate("qavix::CommSettingsForm", "無し"),
         QCoreApplication::translate("qavix::CommSettingsForm", "偶数")},
        f.parity.data(), 2);
    QGroupBox* stop =
        radioGroup(QCoreApplication::translate("qavix::CommSettingsForm", "ストップビット"),
                   *f.stopGroup, {"1 bits", "2 bits"}, f.stop.data(), 2);
    QGroupBox* unit = unitBox(f, unitCount);
    const QPalette boxes = lifted(dialog.palette());
    for (QGroupBox* box : {ports, baud, byte, parity, stop, unit}) {
        box->setAutoFillBackground(true);
        box->setPalette(boxes);
    }
    f.status = statusLabel(notConnectedText);
    f.test = pictureButton(QCoreApplication::translate("qavix::CommSettingsForm", "通信テスト"),
                           "testButton", buttonStyle);
    f.ok = pictureButton(QCoreApplication::translate("qavix::CommSettingsForm", "設定"), "okButton",
                         buttonStyle);
    f.cancel = pictureButton(QCoreApplication::translate("qavix::CommSettingsForm", "取消し"),
                             "cancelButton", buttonStyle);
    f.error = errorLabel();

    auto* lineRow = new QHBoxLayout();
    lineRow->addWidget(byte);
    lineRow->addWidget(parity);
    lineRow->addWidget(stop);
    auto* statusRow = new QHBoxLayout();
    statusRow->addWidget(unit, 1);
    statusRow->addWidget(f.status);
    statusRow->addWidget(f.test);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(f.ok);
    buttons->addWidget(f.cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(ports);
    layout->addWidget(baud);
    layout->addLayout(lineRow);
    layout->addLayout(statusRow);
    layout->addWidget(f.error);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    return f;
}

}  // namespace qavix
