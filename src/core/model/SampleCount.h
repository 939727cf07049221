#pragma once
// The scan monitor's "表示サンプル数" box: how many samples the chart shows as columns.

#include <string>
#include <string_view>

namespace qavix::scan {

constexpr int kMinSamplesShown = 10;
constexpr int kMaxSamplesShown = 1000;
constexpr int kDefaultSamplesShown = 60;

// Full-width digits (U+FF10..U+FF19, as a Japanese input method types them) become ASCII
// digits; every other character is kept.
std::string halfWidthDigits(std::string_view utf8);

struct SampleCount {
    int value = kDefaultSamplesShown;
    std::string text;  // what the box shows afterwards
};

// The box's text as entered: digits made half-width, the leading number read (none reads as
// 0) and held to 10..1000. A number too long to represent counts as above the limit.
SampleCount parseSampleCount(std::string_view utf8);

}  // namespace qavix::scan
