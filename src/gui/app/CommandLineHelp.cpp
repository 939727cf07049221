#include "app/CommandLineHelp.h"

#include "ProgramVersion.h"
#include "app/PrintReportRun.h"

namespace qavix {

namespace {
// The options whose next argument is their value (parseCommandLineSwitches, the report).
constexpr const char* kEditOption = "--edit";
}  // namespace

InfoRequest infoRequest(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == kEditOption || a == kPrintReportOption) {
            ++i;
        } else if (a == "--help" || a == "-h") {
            return InfoRequest::Help;
        } else if (a == "--version") {
            return InfoRequest::Version;
        }
    }
    return InfoRequest::None;
}

std::string helpText() {
    return "Usage: qavix [OPTIONS]\n"
           "       qavix --print-report FILE.pdf [--extended]\n"
           "Configures and monitors an area scanner controller on a serial line: the port\n"
           "and unit of Qavix.ini in the working folder (COM1 to COM6; \"sim\" is the\n"
           "built-in emulator).\n"
           "\n"
           "Options:\n"
           "  --edit FILE.qbk        edit a bank file on the built-in emulator instead of a\n"
           "                         controller; Ctrl+S saves it back\n"
           "  --plant [URL]          start with the plant window (every controller the\n"
           "                         monitors publish to the MQTT broker URL, else the one\n"
           "                         of the environment settings); no port is opened until\n"
           "                         a controller is opened from the window\n"
           "  --user-folder          work in the per-user data folder ($XDG_DATA_HOME/qavix\n"
           "                         or ~/.local/share/qavix), as the desktop entry does\n"
           "  /ad                    extended mode: option pages and per-sensor graph items\n"
           "  /db                    debug mode: a trace pane of every exchange\n"
           "  --print-report FILE.pdf\n"
           "                         print the settings list of the connected controller\n"
           "                         to FILE.pdf without a window, then exit: 0 written,\n"
           "                         2 the file cannot be written, 3 no controller answers,\n"
           "                         64 a wrong command line\n"
           "  --extended             with --print-report: the extended settings list\n"
           "  --lang ja|en|auto      the language of the interface (default: QAVIX_LANG,\n"
           "                         [Environment] Language= of Qavix.ini, the locale)\n"
           "  -h, --help             print this help and exit\n"
           "  --version              print the version and exit\n"
           "\n"
           "Qt's own options (-platform, -style, ...) are taken as well.\n";
}

std::string versionText() {
    return std::string("qavix ") + programVersion() + "\n";
}

}  // namespace qavix
