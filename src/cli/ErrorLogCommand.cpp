#include "ErrorLogCommand.h"

#include <iostream>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "OutputFile.h"
#include "Translate.h"
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
    // The page's columns in the language of the texts; the CSV file keeps its own header.
    std::cout << "No.\t" << QX_("日付") << '\t' << QX_("エラーNo.") << '\t' << QX_("エラ－内容")
              << '\t' << QX_("発生シリアルNo.") << '\n';
    for (const ErrorLogRow& row : rows) {
        std::cout << row.number << '\t' << row.date << '\t' << row.code << '\t'
                  << i18n::translate(row.text.c_str()) << '\t' << row.serial << '\n';
    }
}

int saveCsv(const std::string& path, const ErrorLogRows& rows) {
    return writeTextOutput(path, errorLogCsv(rows), i18n::translate(kCsvOpenFailed));
}

}  // namespace

int runErrors(const DeviceOptions& options, const std::string& csvPath) {
    // A log that cannot be kept is refused before the controller is asked for it.
    if (!csvPath.empty() &&
        checkOutputTarget(csvPath, i18n::translate(kCsvOpenFailed)) != kExitOk) {
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
        session.host().showMessage(i18n::translate(kErrorLogReadFailed));
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
