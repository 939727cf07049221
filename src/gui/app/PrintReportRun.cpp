#include "app/PrintReportRun.h"

#include <QDir>
#include <atomic>
#include <ctime>
#include <iostream>
#include <mutex>

#include "IniText.h"
#include "Translate.h"
#include "comm/CCommLink.h"
#include "comm/LinkLibrary.h"
#include "comm/LinkSettings.h"
#include "comm/Transactions.h"
#include "files/FileIo.h"
#include "files/PortSettings.h"
#include "files/SettingsFile.h"
#include "report/ReportPrinter.h"
#include "report/ReportReads.h"
#include "report/SettingsReport.h"

namespace qavix {

namespace {

constexpr const char* kUsage = "usage: qavix --print-report FILE.pdf [--extended]";
constexpr const char* kSettingsFileName = "Qavix.ini";

// Nobody sits at a dialog: messages are printed, every question is answered Cancel.
class StderrHost : public CommHost {
  public:
    void showMessage(const std::string& text) override { print(text); }
    bool ask(Question, const std::string& text) override {
        print(text);
        return false;
    }
    void runCommSettings() override {}
    void endProgram() override { m_ended = true; }
    bool ended() const { return m_ended; }

  private:
    void print(const std::string& text) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::cerr << text << (text.empty() || text.back() != '\n' ? "\n" : "") << std::flush;
    }
    std::mutex m_mutex;
    std::atomic<bool> m_ended{false};
};

struct ReportRequest {
    QString pdfPath;
    bool extended = false;
};

bool parse(const std::vector<std::string>& arguments, ReportRequest& request) {
    bool seenOption = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == kPrintReportOption) {
            if (seenOption || i + 1 >= arguments.size() || arguments[i + 1].empty() ||
                arguments[i + 1].rfind("--", 0) == 0) {
                return false;
            }
            seenOption = true;
            request.pdfPath = QString::fromStdString(arguments[++i]);
        } else if (a == "--extended" || a == "/ad") {
            request.extended = true;
        } else {
            return false;
        }
    }
    return seenOption;
}

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string portName(const PortSettings& ports) {
    return "COM" + std::to_string(ports.activePort + 1);
}

}  // namespace

bool wantsPrintReport(const std::vector<std::string>& arguments) {
    for (const std::string& a : arguments) {
        if (a == kPrintReportOption) {
            return true;
        }
    }
    return false;
}

namespace {

// Reads everything the report shows from the controller on the saved port; kPrintReportOk,
// else the exit status, the reason said on the standard error.
int readController(const PortSettings& ports, const QString& libraryPath, DeviceModel& model) {
    StderrHost host;
    CCommLink link(host, model);
    if (!link.start(libraryPath.toStdString())) {
        host.showMessage(i18n::translate(kLinkLoadFailedMessage));
        std::cerr << "(" << link.libraryError() << ")\n";
        return kPrintReportNoAnswer;
    }
    link.setSettings(makeLinkSettings(ports));
    link.setConnecting(true);
    link.open();
    link.setConnecting(false);
    if (link.checkStatus() != kRequestOk || host.ended()) {
        std::cerr << "qavix: no controller answered on " << portName(ports) << " (unit "
                  << ports.activeMachine << "); no report printed\n";
        link.end();
        return kPrintReportNoAnswer;
    }
    Transactions transactions(link, model);
    bool read = transactions.readAll() == kRequestOk;
    for (const PageRead& r : report::settingsReportReads(model.working())) {
        read = read && link.request(r.code, r.arg1, r.start, r.count, r.timeoutMs) == kRequestOk;
    }
    if (!read) {
        std::cerr << "qavix: the controller's settings could not be read on " << portName(ports)
                  << "; no report printed\n";
        link.end();
        return kPrintReportNoAnswer;
    }
    link.end();
    return kPrintReportOk;
}

int writeReport(const DeviceModel& model, const ReportRequest& request, const std::string& target) {
    const report::ReportLines lines = report::buildSettingsReport(
        model.working(), report::defaultReportSelection(model.working().general.jointNum),
        request.extended, localNow());
    // Made whole in memory, then written beside the target and renamed over it: a full disk
    // or a failing write leaves the previous file as it was.
    const QByteArray pdf = ReportPrinter(reportLineList(lines)).pdf();
    fileio::WriteResult written;
    written.error = target + ": the PDF could not be made";
    if (!pdf.isEmpty()) {
        written = fileio::writeFileAtomic(
            target, std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
    }
    if (!written.ok) {
        std::cerr << "qavix: cannot write " << written.error << '\n';
        return kPrintReportFileError;
    }
    return kPrintReportOk;
}

}  // namespace

int runPrintReport(const std::vector<std::string>& arguments, const QString& workingDirectory,
                   const QString& libraryPath) {
    ReportRequest request;
    if (!parse(arguments, request)) {
        std::cerr << kUsage << '\n';
        return kPrintReportUsage;
    }
    // A file that could not take the report is refused before the controller is read, as
    // qavixctl's outputs are: a device, a FIFO, a read-only file, a missing folder.
    const std::string target = request.pdfPath.toStdString();
    if (const fileio::WriteResult checked = fileio::checkWriteTarget(target); !checked.ok) {
        std::cerr << "qavix: cannot write " << checked.error << "; no report printed\n";
        return kPrintReportFileError;
    }
    SettingsFile settings;
    if (!settings.loadFrom(QDir(workingDirectory).filePath(kSettingsFileName).toStdString())) {
        std::cerr << "qavix: " << ini::printable(settings.problem())
                  << "; the default settings are used\n";
    }
    DeviceModel model;
    if (const int read = readController(PortSettings::load(settings), libraryPath, model);
        read != kPrintReportOk) {
        return read;
    }
    return writeReport(model, request, target);
}

}  // namespace qavix
