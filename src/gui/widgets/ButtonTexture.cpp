#include "widgets/ButtonTexture.h"

#include <algorithm>
#include <cmath>

namespace qavix {

ButtonTexture textureFromSetting(int value) {
    return value >= 0 && value < kButtonTextureCount ? static_cast<ButtonTexture>(value)
                                                     : ButtonTexture::Normal;
}

namespace texture {

namespace {

constexpr int kMaxChannel = 255;
constexpr int kHardBevel = 2;
constexpr int kSoftBevel = 4;
constexpr double kPillowEdge = 0.28;  // share of the face over which the pillow falls off

int clampChannel(int v) {
    return std::clamp(v, 0, kMaxChannel);
}

// A small integer hash (xorshift-multiply); good enough for grain that must look random
// but stay the same between paints.
uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

int signedUnit(uint32_t h, int amplitude) {
    if (amplitude <= 0) {
        return 0;
    }
    const int span = 2 * amplitude + 1;
    return static_cast<int>(h % static_cast<uint32_t>(span)) - amplitude;
}

double edgeRamp(double t) {
    const double d = std::min(t, 1.0 - t);
    const double x = std::clamp(d / kPillowEdge, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);  // smoothstep
}

}  // namespace

Rgb8 shade(const Rgb8& c, int delta) {
    return Rgb8{clampChannel(c.r + delta), clampChannel(c.g + delta), clampChannel(c.b + delta)};
}

Rgb8 mix(const Rgb8& a, const Rgb8& b, double t) {
    const double u = std::clamp(t, 0.0, 1.0);
    auto one = [u](int x, int y) {
        return clampChannel(static_cast<int>(std::lround(x + (y - x) * u)));
    };
    return Rgb8{one(a.r, b.r), one(a.g, b.g), one(a.b, b.b)};
}

int grainAt(int x, int y, int amplitude) {
    const uint32_t key =
        static_cast<uint32_t>(x) * 73856093U ^ static_cast<uint32_t>(y) * 19349663U;
    return signedUnit(hash(key), amplitude);
}

int brushAt(int row, int rowsPerLogicalPixel, int amplitude) {
    if (amplitude <= 0) {
        return 0;
    }
    const int per = std::max(1, rowsPerLogicalPixel);
    // Slow drift over groups of logical rows, plus a fine streak per device row.
    const int group = row / (3 * per);
    const int drift = signedUnit(hash(static_cast<uint32_t>(group) + 0x9e3779b9U), amplitude / 2);
    const int streak = signedUnit(hash(static_cast<uint32_t>(row) * 2654435761U), amplitude / 2);
    return std::clamp(drift + streak, -amplitude, amplitude);
}

int shadeOffset(int pos, int length, int amplitude) {
    if (length <= 1) {
        return 0;
    }
    const double t = static_cast<double>(std::clamp(pos, 0, length - 1)) / (length - 1);
    return static_cast<int>(std::lround(amplitude * (1.0 - 2.0 * t)));
}

double pillow(double u, double v) {
    return edgeRamp(std::clamp(u, 0.0, 1.0)) * edgeRamp(std::clamp(v, 0.0, 1.0));
}

int bevelWidth(ButtonTexture t, double devicePixelRatio) {
    const double dpr = std::max(1.0, devicePixelRatio);
    switch (t) {
        case ButtonTexture::HardBump:
            return static_cast<int>(std::lround(kHardBevel * dpr));
        case ButtonTexture::SoftBump:
            return static_cast<int>(std::lround(kSoftBevel * dpr));
        case ButtonTexture::Metal:
            return static_cast<int>(std::lround(dpr));
        default:
            return 0;
    }
}

}  // namespace texture
}  // namespace qavix
