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

#include "app/CommSettingsForm.h"
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
    // Asked after a test that found no controller, below what the test found.
    static const char* const kAskEndText;

    explicit CommSettingsDialog(const CommDialogContext& context, QWidget* parent = nullptr);

    QRadioButton* portButton(int port) const { return m_form.port.at(static_cast<size_t>(port)); }
    QRadioButton* baudButton(int index) const { return m_form.baud.at(static_cast<size_t>(index)); }
    QRadioButton* byteSizeButton(int index) const {
        return m_form.byte.at(static_cast<size_t>(index));
    }
    QRadioButton* parityButton(int index) const {
        return m_form.parity.at(static_cast<size_t>(index));
    }
    QRadioButton* stopButton(int index) const { return m_form.stop.at(static_cast<size_t>(index)); }
    QComboBox* unitList() const { return m_form.unit; }
    // The device the chosen port is mapped to, and beside each port where it leads.
    QComboBox* deviceList() const { return m_form.devices; }
    QLabel* portTarget(int port) const { return m_form.target.at(static_cast<size_t>(port)); }
    QLabel* errorLabel() const { return m_form.error; }
    // The [Ports] value each port will be saved with ("" = automatic).
    const std::string& mapping(int port) const { return m_mapping.at(static_cast<size_t>(port)); }
    // Lists the machine's serial devices again (an adapter plugged in meanwhile).
    void rescanDevices();
    // The device server fields, shown while the port's choice is the network.
    QWidget* networkRow() const { return m_form.networkRow; }
    QLineEdit* hostField() const { return m_form.host; }
    QLineEdit* networkPortField() const { return m_form.networkPort; }
    QComboBox* protocolList() const { return m_form.protocol; }  // 0 TCP, 1 RFC 2217
    QLabel* networkProblemLabel() const { return m_form.networkProblemLabel; }
    QLabel* statusLabel() const { return m_form.status; }
    CPictureButton* testButton() const { return m_form.test; }
    CPictureButton* okButton() const { return m_form.ok; }
    CPictureButton* cancelButton() const { return m_form.cancel; }
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
    void connectControls();
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
    void showNetworkRow(bool shown);
    void onNetworkEdited();
    bool networkChosen() const;
    void fillDeviceList();
    void updateTargets();
    void saveMappings();
    std::string openNameForTest(std::string& problem) const;

    CommDialogContext m_ctx;
    CommSettingsForm m_form;
    std::string m_networkProblem;  // what is wrong with the fields; empty when they are fine
    std::string m_testProblem;     // what the last test found wrong; empty when it answered
    std::vector<std::string> m_deviceFiles;
    std::array<std::string, kPortCount> m_mapping{};
    std::array<std::string, kPortCount> m_savedMapping{};
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
