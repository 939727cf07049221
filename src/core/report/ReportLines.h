#pragma once
// The report's line layout: item lines whose values start at one byte column in Shift-JIS,
// and per-beam values in rows of ten.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::report {

using ReportLines = std::vector<std::string>;

// Four spaces, the label padded with spaces to 32 Shift-JIS bytes, then the value; a value
// therefore starts at byte column 36.
std::string itemLine(std::string_view label, std::string_view value);

// Rows of ten beams: the label is `labelPrefix` followed by the row's first and last beam
// number (from 1) as "%3d～%3d", the values are joined with ", ".
//
// Every text of the report is in the language of the texts (core/i18n); the layout is the
// same in every language: a translated label fits the 32 bytes of its column.
void appendBeamRows(ReportLines& lines, std::string_view labelPrefix,
                    const std::vector<std::string>& values);

// "1" for a flagged beam, "0" otherwise, for the first `beams` entries of a flag table.
std::vector<std::string> beamFlagTexts(const BeamTable& flags, int beams);

// "有効" for a switch that is on (non-zero), "無効" otherwise; translated.
const char* onOffText(int value);

// `text` followed by spaces up to `bytes` Shift-JIS bytes (nothing added when it is as wide).
std::string paddedText(std::string_view text, std::size_t bytes);

std::string decimalText(int value);

// printf into a string; the report's formats are short, so a line never reaches the limit.
template <typename... Args>
std::string formatText(const char* format, Args... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

}  // namespace qavix::report
