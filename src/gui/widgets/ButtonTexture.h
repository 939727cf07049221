#pragma once
// The eight button textures and the colour maths that draws them. No Qt: the picture
// button turns these values into pixels, tests check them value by value.

#include <cstdint>

namespace qavix {

// Values as the settings file stores them (Option/Button).
enum class ButtonTexture : int {
    Normal = 0,
    HardBump = 1,
    SoftBump = 2,
    Flat = 3,
    VShade = 4,
    HShade = 5,
    Noise = 6,
    Metal = 7,
};
constexpr int kButtonTextureCount = 8;

// A stored style outside 0..7 draws as Normal.
ButtonTexture textureFromSetting(int value);

namespace texture {

struct Rgb8 {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Each channel moved by `delta` and kept within 0..255.
Rgb8 shade(const Rgb8& c, int delta);
// `t` = 0 gives a, 1 gives b.
Rgb8 mix(const Rgb8& a, const Rgb8& b, double t);

// Grain of the noise texture: a fixed value in -amplitude..amplitude for each device pixel,
// the same on every repaint so the face does not shimmer.
int grainAt(int x, int y, int amplitude);
// Brightness offset of one row of brushed metal: rows drift slowly with fine streaks over
// them, so the brushing reads as horizontal lines at any resolution.
int brushAt(int row, int rowsPerLogicalPixel, int amplitude);

// Offset of the shade textures along their axis: +amplitude at the start, -amplitude at the
// end, linear between; `pos` in 0..length-1.
int shadeOffset(int pos, int length, int amplitude);
// Pillow profile of the soft bump, 1 in the middle falling to 0 at the edges; u and v are
// the position across the face, 0..1.
double pillow(double u, double v);
// Bevel width in device pixels of the bump textures at a device-pixel ratio.
int bevelWidth(ButtonTexture t, double devicePixelRatio);

}  // namespace texture
}  // namespace qavix
