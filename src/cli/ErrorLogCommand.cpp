#include "ErrorLogCommand.h"

#include <iostream>

#include "DeviceSession.h"
#include "ExitCodes.h"
#include "files/TextFile.h"
#include "model/ErrorLog.h"

namespace qavix::cli {

namespace {

int readHistory(DeviceSession& session) {
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        if (session.link().request(kFirstErrorHistoryCode + k) != kRequestOk) {
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
    const fileio::WriteResult written = textfile::writeText(path, errorLogCsv(rows));
    if (!written.ok) {
        std::cerr << kCsvOpenFailed << '\n' << path << ": " << written.error << '\n';
        return kExitFileError;
    }
    return kExitOk;
}

}  // namespace

int runErrors(const DeviceOptions& options, const std::string& csvPath) {
    DeviceSession session(options);
    const int connected = session.connect();
    if (connected != kExitOk) {
        return connected;
    }
    if (readHistory(session) != kRequestOk) {
        const int code = session.failureExit();
        session.host().showMessage(kErrorLogReadFailed);
        return code;
    }
    // The page's rows: the same dates in the same desktop language.
    const ErrorLogRows rows =
        errorLogRows(session.model().errorHistory, emptyErrorLogRows(), systemWeekdays());
    printRows(rows);
    return csvPath.empty() ? kExitOk : saveCsv(csvPath, rows);
}

}  // namespace qavix::cli
