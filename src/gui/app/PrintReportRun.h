#pragma once
// `qavix --print-report FILE.pdf [--extended]`: the settings list of the connected
// controller printed to a PDF file without opening a window, for service reports. The
// controller is reached as at start-up (port and unit of Qavix.ini in the working folder);
// nothing is asked, messages go to standard error.

#include <QString>
#include <string>
#include <vector>

namespace qavix {

constexpr const char* kPrintReportOption = "--print-report";

// Exit codes, as the command-line client uses them.
constexpr int kPrintReportOk = 0;
constexpr int kPrintReportFileError = 2;  // the PDF cannot be written
constexpr int kPrintReportNoAnswer = 3;   // no link library, no controller, connection lost
constexpr int kPrintReportUsage = 64;     // the command line is wrong

// Whether the arguments (after the program name) ask for a report instead of the window.
bool wantsPrintReport(const std::vector<std::string>& arguments);

// Runs the report. `libraryPath` empty: the link library beside the program.
int runPrintReport(const std::vector<std::string>& arguments, const QString& workingDirectory,
                   const QString& libraryPath = QString());

}  // namespace qavix
