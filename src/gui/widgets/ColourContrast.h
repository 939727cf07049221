#pragma once
// How well one colour reads on another: the contrast ratio of their relative luminances
// (1 for equal colours, 21 for black on white). Large text wants at least 3.

#include <QColor>

namespace qavix {

constexpr double kLargeTextContrast = 3.0;

double contrastRatio(const QColor& a, const QColor& b);

// `preferred` when it reads on `background`, otherwise whichever of `preferred` and
// `fallback` reads better.
QColor readableOn(const QColor& background, const QColor& preferred, const QColor& fallback);

}  // namespace qavix
