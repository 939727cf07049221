#include "report/ReportLines.h"

#include <algorithm>

#include "ShiftJis.h"
#include "Translate.h"

namespace qavix::report {

namespace {

constexpr std::size_t kLabelBytes = 32;
constexpr std::string_view kItemIndent = "    ";
constexpr std::size_t kBeamsPerRow = 10;

}  // namespace

std::string itemLine(std::string_view label, std::string_view value) {
    const std::size_t width = sjis::byteWidth(label);
    std::string line(kItemIndent);
    line += label;
    line.append(width < kLabelBytes ? kLabelBytes - width : 0, ' ');
    line += value;
    return line;
}

void appendBeamRows(ReportLines& lines, std::string_view labelPrefix,
                    const std::vector<std::string>& values) {
    for (std::size_t first = 0; first < values.size(); first += kBeamsPerRow) {
        const std::size_t last = std::min(first + kBeamsPerRow, values.size());
        const std::string range =
            i18n::fill(QX_("%1～%2"), {formatText("%3d", static_cast<int>(first + 1)),
                                       formatText("%3d", static_cast<int>(last))});
        std::string row;
        for (std::size_t i = first; i < last; ++i) {
            row += values[i];
            if (i + 1 < last) {
                row += ", ";
            }
        }
        lines.push_back(itemLine(std::string(labelPrefix) + range, row));
    }
}

std::vector<std::string> beamFlagTexts(const BeamTable& flags, int beams) {
    std::vector<std::string> texts;
    for (int b = 0; b < beams; ++b) {
        texts.emplace_back(flags.at(static_cast<size_t>(b)) != 0 ? "1" : "0");
    }
    return texts;
}

const char* onOffText(int value) {
    return value != 0 ? QX_("有効") : QX_("無効");
}

std::string paddedText(std::string_view text, std::size_t bytes) {
    std::string padded(text);
    const std::size_t width = sjis::byteWidth(text);
    padded.append(width < bytes ? bytes - width : 0, ' ');
    return padded;
}

std::string decimalText(int value) {
    return std::to_string(value);
}

}  // namespace qavix::report
