#pragma once
// The controller's error history as the error log page and its CSV file show it.

#include <array>
#include <string>
#include <string_view>

#include "Translate.h"
#include "model/ControllerCodes.h"
#include "model/DeviceData.h"

namespace qavix {

constexpr const char* kNoValue = "---";

// A request of the history failed (shown through i18n::translate).
constexpr const char* kErrorLogReadFailed = N_("コントローラ読込みできません");
// The CSV file (or any file a page saves) cannot be written (shown through i18n::translate).
constexpr const char* kCsvOpenFailed = N_("ファイル,オープンできません");

// Weekday abbreviations, Sunday first.
using WeekdayNames = std::array<std::string, 7>;
// 日 月 火 水 木 金 土: the interface's own language.
const WeekdayNames& japaneseWeekdays();
// The abbreviations of the time locale the environment names (LC_ALL, LC_TIME, LANG), as
// the desktop shows dates. A locale without a language of its own ("C", "POSIX"), one that
// is not installed or not UTF-8 gives the Japanese ones.
WeekdayNames systemWeekdays();
// The same for the locale `name`.
WeekdayNames weekdaysOfLocale(const char* name);

// The text of an error code, "---" for codes the controller does not document; as written
// (Japanese), for the CSV file and the monitor's payloads: a screen shows it through
// i18n::translate.
std::string errorLogText(int code);
// The code of an entry's error code text; -1 when it is not hexadecimal.
int parseErrorCode(std::string_view codeText);

struct ErrorLogRow {
    std::string number;  // "1".."20"
    std::string date;    // "02/12/05 木 13:04:59" or "---"
    std::string code;
    std::string text;  // errorLogText: as written, translated where it is shown
    std::string serial;
};

// The row shown before the history has been read.
ErrorLogRow emptyErrorLogRow(int index);
// The row of entry `index`; an empty entry keeps `previous`, as the page leaves it.
ErrorLogRow errorLogRow(int index, const ErrorHistoryEntry& entry, const ErrorLogRow& previous,
                        const WeekdayNames& weekdays = japaneseWeekdays());

// "%y/%m/%d %a %H:%M:%S" with the year + 2000 and the weekday abbreviation of `weekdays`.
std::string formatErrorDate(const ErrorHistoryEntry& entry,
                            const WeekdayNames& weekdays = japaneseWeekdays());

using ErrorLogRows = std::array<ErrorLogRow, kErrorHistoryCount>;
// Rows 1..20 with "---" everywhere: the page before its first read.
ErrorLogRows emptyErrorLogRows();
// The rows after a read of the whole history, each empty entry keeping its row of `previous`.
ErrorLogRows errorLogRows(const std::array<ErrorHistoryEntry, kErrorHistoryCount>& history,
                          const ErrorLogRows& previous, const WeekdayNames& weekdays);

std::string errorLogCsvHeader();
std::string errorLogCsvLine(const ErrorLogRow& row);
// The whole file: the header and the twenty lines.
std::string errorLogCsv(const ErrorLogRows& rows);

}  // namespace qavix
