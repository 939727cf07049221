#pragma once
// The controller's error history as the error log page and its CSV file show it.

#include <array>
#include <string>
#include <string_view>

#include "model/DeviceData.h"

namespace qavix {

constexpr int kFirstErrorHistoryCode = 107;  // entry k is read with 107 + k
constexpr const char* kNoValue = "---";

// The text of an error code, "---" for codes the controller does not document.
std::string errorLogText(int code);
// The code of an entry's error code text; -1 when it is not hexadecimal.
int parseErrorCode(std::string_view codeText);

struct ErrorLogRow {
    std::string number;  // "1".."20"
    std::string date;    // "02/12/05 木 13:04:59" or "---"
    std::string code;
    std::string text;
    std::string serial;
};

// The row shown before the history has been read.
ErrorLogRow emptyErrorLogRow(int index);
// The row of entry `index`; an empty entry keeps `previous`, as the page leaves it.
ErrorLogRow errorLogRow(int index, const ErrorHistoryEntry& entry, const ErrorLogRow& previous);

// "%y/%m/%d %a %H:%M:%S" with the year + 2000 and a Japanese weekday abbreviation.
std::string formatErrorDate(const ErrorHistoryEntry& entry);

std::string errorLogCsvHeader();
std::string errorLogCsvLine(const ErrorLogRow& row);

}  // namespace qavix
