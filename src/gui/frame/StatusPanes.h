#pragma once
// Texts, widths and colours of the status bar's connection panes, recomputed pane by pane
// as the main frame's update does it. No Qt: colours are plain RGB.

#include <array>
#include <string>

namespace qavix {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

constexpr Rgb kPaneStartText{0, 255, 255};
constexpr Rgb kPaneStartBack{128, 0, 0};
constexpr Rgb kPaneGoodText{0, 255, 0};
constexpr Rgb kPaneBadText{255, 0, 0};
constexpr Rgb kPaneBack{0, 0, 0};
constexpr int kPanePixelsPerByte = 12;

// What the panes show, from the connection and the port settings.
struct StatusInputs {
    bool unitConnected = false;
    bool portPresent = false;
    std::string statusText;  // "接続" once a status check has succeeded
    int unit = 0;            // 0..15
    int port = 0;            // 0..5: COM1..COM6
    int baudIndex = 0;       // 0..5
    std::string portTarget;  // the device, emulator or network value the active port leads to
    // Offline editing: the name of the bank file, which takes the place of port and unit.
    std::string editedFile;
    // The configuration fingerprint of the controller's current values ("3F2A-91C0"); empty
    // until they are read.
    std::string fingerprint;
};

struct PaneLook {
    std::string text;
    int width = 0;  // pixels; 0 keeps the pane's width
    Rgb textColour;
    Rgb back;
};

std::string unitLabel(int unit);                // "１号機"
std::string portText(int port, int baudIndex);  // "COM3 38400bps"
// With a device server: "COM1 rfc2217:plc-line3:4001 115200bps"; a raw "tcp:" port's rate
// is set on the server, so none is shown. Other targets: portText(port, baudIndex).
std::string portText(int port, int baudIndex, const std::string& target);
std::string notConnectedText();          // " 未接続 "
std::string offlineText();               // "オフライン編集", pane 1 while editing a file
std::string fileLabel();                 // "ファイル", pane 2 while editing a file
int paneWidth(const std::string& text);  // Shift-JIS bytes x 12

class StatusPanes {
  public:
    StatusPanes();

    // Recomputes pane 1, 2 or 3 (and the colours the update also sets on the others).
    void update(int pane, const StatusInputs& in);
    void updateAll(const StatusInputs& in);

    const PaneLook& pane(int index) const { return m_panes.at(static_cast<size_t>(index)); }

  private:
    PaneLook& at(int index) { return m_panes.at(static_cast<size_t>(index)); }
    void setGood(int index, bool good);

    std::array<PaneLook, 4> m_panes;
};

}  // namespace qavix
