#include "frame/StatusPanes.h"

#include <QtGlobal>
#include <array>

#include "Translate.h"
#include "state/UiText.h"

#include "NetworkAddress.h"
#include "ShiftJis.h"

namespace qavix {

namespace {

constexpr std::array<const char*, 16> kUnitLabels = {
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "０号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "２号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "３号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "４号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "５号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "６号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "７号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "８号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "９号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１０号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１１号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１２号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１３号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１４号機"),
    QT_TRANSLATE_NOOP("qavix::StatusPanes", "１５号機"),
};
constexpr std::array<const char*, 6> kBaudTexts = {"9600",  "14400", "19200",
                                                   "38400", "57600", "115200"};
constexpr int kPortCount = 6;
constexpr std::size_t kMaxPaneTarget = 40;

// Where the controller is: the port and its rate, or offline the file being edited.
std::string pane3Text(const StatusInputs& in) {
    return in.editedFile.empty() ? portText(in.port, in.baudIndex, in.portTarget) : in.editedFile;
}

}  // namespace

std::string unitLabel(int unit) {
    if (unit < 0 || unit >= static_cast<int>(kUnitLabels.size())) {
        return i18n::fill(uiText("qavix::StatusPanes", "%1号機"), {std::to_string(unit)});
    }
    return uiText("qavix::StatusPanes", kUnitLabels[static_cast<size_t>(unit)]);
}

std::string portText(int port, int baudIndex) {
    const int p = (port >= 0 && port < kPortCount) ? port : 0;
    const int b =
        (baudIndex >= 0 && baudIndex < static_cast<int>(kBaudTexts.size())) ? baudIndex : 0;
    return "COM" + std::to_string(p + 1) + " " + kBaudTexts[static_cast<size_t>(b)] + "bps";
}

std::string portText(int port, int baudIndex, const std::string& target) {
    if (!link::isNetworkValue(target)) {
        return portText(port, baudIndex);
    }
    const std::string com = portText(port, baudIndex);
    const std::string name = com.substr(0, com.find(' '));
    const std::string rate = com.substr(com.find(' '));
    // The pane widens with its text; a long host name is cut, the tooltip has it whole.
    std::string shown = target;
    if (shown.size() > kMaxPaneTarget) {
        shown = shown.substr(0, kMaxPaneTarget - 3) + "...";
    }
    const bool rfc2217 =
        link::parseNetworkAddress(target).value_or(link::NetworkAddress{}).protocol ==
        link::NetProtocol::Rfc2217;
    return name + " " + shown + (rfc2217 ? rate : std::string());
}

std::string notConnectedText() {
    return uiText("qavix::StatusPanes", " 未接続 ");
}

std::string offlineText() {
    return uiText("qavix::StatusPanes", "オフライン編集");
}

std::string fileLabel() {
    return uiText("qavix::StatusPanes", "ファイル");
}

int paneWidth(const std::string& text) {
    return static_cast<int>(sjis::byteWidth(text)) * kPanePixelsPerByte;
}

StatusPanes::StatusPanes() {
    at(1) = {notConnectedText(), paneWidth(notConnectedText()), kPaneStartText, kPaneStartBack};
    at(2) = {" " + unitLabel(1) + " ", 0, kPaneBadText, kPaneBack};
    at(3) = {"COM1  9600bps", paneWidth("COM1  9600bps"), kPaneBadText, kPaneBack};
}

void StatusPanes::setGood(int index, bool good) {
    at(index).textColour = good ? kPaneGoodText : kPaneBadText;
    at(index).back = kPaneBack;
}

void StatusPanes::update(int pane, const StatusInputs& in) {
    switch (pane) {
        case 1:
            if (in.unitConnected) {
                at(1).text = in.editedFile.empty() ? in.statusText : offlineText();
                at(1).width = paneWidth(at(1).text);
                setGood(1, true);
                setGood(2, in.portPresent);
                at(3).text = pane3Text(in);
                setGood(3, in.portPresent);
            } else {
                at(1).text = notConnectedText();
                at(1).width = paneWidth(notConnectedText());
                setGood(1, false);
            }
            break;
        case 2:
            // Offline the unit number is the emulator's, which tells the user nothing.
            at(2).text = in.editedFile.empty() ? unitLabel(in.unit) : fileLabel();
            setGood(2, in.portPresent && in.unitConnected);
            setGood(3, in.portPresent && in.unitConnected);
            break;
        case 3:
            at(3).text = pane3Text(in);
            at(3).width = paneWidth(at(3).text);
            setGood(3, in.portPresent && in.unitConnected);
            break;
        default:
            break;
    }
}

void StatusPanes::updateAll(const StatusInputs& in) {
    update(1, in);
    update(2, in);
    update(3, in);
}

}  // namespace qavix
