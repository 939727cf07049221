#include "ErrorLogCommand.h"

#include <iostream>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "model/ErrorLog.h"

namespace qavix::cli {

namespace {

int readHistory(DeviceSession& session) {
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        if (session.link().request(code::kReadErrorLog + k) != kRequestOk) {
            return kRequestFailed;
        }
    }
    return kRequestOk;
}

void printRows(const ErrorLogRows& rows) {
    std::cout << "No.\t日付\tエラーNo.\tエラ－内容\t発生シリアルNo.\n";
    for (const ErrorLogRow& row : rows) {
        std::cout << row.number << '\t' << row.date << '\t' << row.code << '\t' << row.text << '\t'
                  << row.serial << '\n';
    }
}

int saveCsv(const std::string& path, const ErrorLogRows& rows) {
    return writeTextOutput(path, errorLogCsv(rows), kCsvOpenFailed);
}

}  // namespace

int runErrors(const DeviceOptions& options, const std::string& csvPath) {
    // A log that cannot be kept is refused before the controller is asked for it.
    if (!csvPath.empty() && checkOutputTarget(csvPath, kCsvOpenFailed) != kExitOk) {
        return kExitFileError;
    }
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    if (readHistory(session) != kRequestOk) {
        if (session.link().lastRequestCancelled()) {
            return session.failureExit();
        }
        const int code = session.failureExit();
        session.host().showMessage(kErrorLogReadFailed);
        return code;
    }
    // The page's rows: the same dates in the same desktop language.
    const ErrorLogRows rows =
        errorLogRows(session.model().errorHistory, emptyErrorLogRows(), systemWeekdays());
    if (csvPath.empty()) {
        printRows(rows);
        return kExitOk;
    }
    // With "-" standard output carries the CSV alone, so that it can be piped on.
    if (!isStandardOutput(csvPath)) {
        printRows(rows);
    }
    return saveCsv(csvPath, rows);
}

}  // namespace qavix::cli
