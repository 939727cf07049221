#pragma once
// "通信設定": the COM port, its line settings and the unit number, with a connection test
// that calls the link library directly while the worker's polling is held. It edits the
// application's port settings in place and keeps a copy to go back to on "取消し".

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "comm/CCommLink.h"
#include "comm/PortEnumeration.h"
#include "files/PortSettings.h"
#include "files/SettingsFile.h"
#include "state/AppState.h"

namespace qavix {

class CPictureButton;

struct CommDialogTimings {
    int settleMs = 1000;  // after closing and after opening the port, before the status read
    int blinkMs = 500;    // "未接続" alternates its colour
};

struct CommDialogContext {
    PortSettings& ports;
    PresentPorts present;
    CCommLink& link;
    SettingsFile& settings;
    AppState& state;
    // Ends the program at once, skipping the normal close.
    std::function<void()> endProgram;
    CommDialogTimings timings;
};

class CommSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kUnitCount = 16;
    static constexpr int kStatusReadTimeoutMs = 1500;
    static const char* const kAskEndText;
    static const char* const kNoAnswerText;

    explicit CommSettingsDialog(const CommDialogContext& context, QWidget* parent = nullptr);

    QRadioButton* portButton(int port) const { return m_port.at(static_cast<size_t>(port)); }
    QRadioButton* baudButton(int index) const { return m_baud.at(static_cast<size_t>(index)); }
    QRadioButton* byteSizeButton(int index) const { return m_byte.at(static_cast<size_t>(index)); }
    QRadioButton* parityButton(int index) const { return m_parity.at(static_cast<size_t>(index)); }
    QRadioButton* stopButton(int index) const { return m_stop.at(static_cast<size_t>(index)); }
    QComboBox* unitList() const { return m_unit; }
    // The device the chosen port is mapped to, and beside each port where it leads.
    QComboBox* deviceList() const { return m_devices; }
    QLabel* portTarget(int port) const { return m_target.at(static_cast<size_t>(port)); }
    QLabel* errorLabel() const { return m_error; }
    // The [Ports] value each port will be saved with ("" = automatic).
    const std::string& mapping(int port) const { return m_mapping.at(static_cast<size_t>(port)); }
    // Lists the machine's serial devices again (an adapter plugged in meanwhile).
    void rescanDevices();
    // The device server fields, shown while the port's choice is the network.
    QWidget* networkRow() const { return m_networkRow; }
    QLineEdit* hostField() const { return m_host; }
    QLineEdit* networkPortField() const { return m_networkPort; }
    QComboBox* protocolList() const { return m_protocol; }  // 0 TCP, 1 RFC 2217
    QLabel* networkProblemLabel() const { return m_networkProblemLabel; }
    QLabel* statusLabel() const { return m_status; }
    CPictureButton* testButton() const { return m_test; }
    CPictureButton* okButton() const { return m_ok; }
    CPictureButton* cancelButton() const { return m_cancel; }
    bool connected() const { return !m_notConnected; }
    bool endChosen() const { return m_ended; }

    // "通信テスト": close, wait, open, wait, status read. True when the unit answered.
    bool runTest(bool restoring = false);
    // "設定" and "取消し".
    void confirm();
    void cancel();

  public slots:
    void reject() override;

  private:
    void buildControls();
    QGroupBox* buildPortBox(const QStringList& ports);
    void loadFromSettings();
    void setControlsEnabled(bool on);
    void showStatus(bool connected);
    void blink();
    void storeRadioIndices();
    bool askEnd();
    void wait(int ms);
    void onUnitChosen(int unit);
    void onPortChosen(int port);
    void onDeviceChosen(int index);
    QWidget* buildNetworkRow();
    void showNetworkRow(bool shown);
    void onNetworkEdited();
    bool networkChosen() const;
    void fillDeviceList();
    void updateTargets();
    void saveMappings();
    std::string openNameForTest(std::string& problem) const;

    CommDialogContext m_ctx;
    std::array<QRadioButton*, kPortCount> m_port{};
    std::array<QRadioButton*, 6> m_baud{};
    std::array<QRadioButton*, 2> m_byte{};
    std::array<QRadioButton*, 2> m_parity{};
    std::array<QRadioButton*, 2> m_stop{};
    QButtonGroup m_portGroup;
    QButtonGroup m_baudGroup;
    QButtonGroup m_byteGroup;
    QButtonGroup m_parityGroup;
    QButtonGroup m_stopGroup;
    QComboBox* m_unit = nullptr;
    QComboBox* m_devices = nullptr;
    std::array<QLabel*, kPortCount> m_target{};
    QLabel* m_error = nullptr;
    CPictureButton* m_rescan = nullptr;
    QWidget* m_networkRow = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_networkPort = nullptr;
    QComboBox* m_protocol = nullptr;
    QLabel* m_networkProblemLabel = nullptr;
    std::string m_networkProblem;  // what is wrong with the fields; empty when they are fine
    std::vector<std::string> m_deviceFiles;
    std::array<std::string, kPortCount> m_mapping{};
    std::array<std::string, kPortCount> m_savedMapping{};
    QLabel* m_status = nullptr;
    CPictureButton* m_test = nullptr;
    CPictureButton* m_ok = nullptr;
    CPictureButton* m_cancel = nullptr;
    QTimer m_blinkTimer;

    // What the dialog started with, for "取消し".
    int m_savedPort = 0;
    int m_savedUnit = 0;
    PortSetting m_savedLine;
    bool m_notConnected = true;
    bool m_blinkPhase = false;
    bool m_ended = false;
    bool m_busy = false;
};

}  // namespace qavix
