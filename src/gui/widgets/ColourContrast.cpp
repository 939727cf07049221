#include "widgets/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace qavix {

namespace {

double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& background, const QColor& preferred, const QColor& fallback) {
    if (contrastRatio(preferred, background) >= kLargeTextContrast) {
        return preferred;
    }
    return contrastRatio(fallback, background) > contrastRatio(preferred, background) ? fallback
                                                                                      : preferred;
}

}  // namespace qavix
