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
void appendBeamRows(ReportLines& lines, std::string_view labelPrefix,
                    const std::vector<std::string>& values);

// "1" for a flagged beam, "0" otherwise, for the first `beams` entries of a flag table.
std::vector<std::string> beamFlagTexts(const BeamTable& flags, int beams);

// "有効" for a switch that is on (non-zero), "無効" otherwise.
const char* onOffText(int value);

std::string decimalText(int value);

// printf into a string; the report's formats are short, so a line never reaches the limit.
template <typename... Args>
std::string formatText(const char* format, Args... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

}  // namespace qavix::report
