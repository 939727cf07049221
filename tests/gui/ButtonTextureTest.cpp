// The picture button's eight textures: the colour maths value by value, and the faces they
// draw being distinct from each other at normal and high resolution.

#include <gtest/gtest.h>

#include <set>

#include "widgets/ButtonTexture.h"
#include "widgets/CPictureButton.h"

namespace qavix::test {
namespace {

using texture::Rgb8;

TEST(ButtonTextureMath, ShadeAndMixStayInRange) {
    EXPECT_EQ(texture::shade(Rgb8{250, 5, 128}, 10), (Rgb8{255, 15, 138}));
    EXPECT_EQ(texture::shade(Rgb8{250, 5, 128}, -10), (Rgb8{240, 0, 118}));
    EXPECT_EQ(texture::mix(Rgb8{0, 0, 0}, Rgb8{200, 100, 50}, 0.5), (Rgb8{100, 50, 25}));
    EXPECT_EQ(texture::mix(Rgb8{0, 0, 0}, Rgb8{200, 100, 50}, 2.0), (Rgb8{200, 100, 50}));
    EXPECT_EQ(texture::mix(Rgb8{9, 9, 9}, Rgb8{200, 100, 50}, -1.0), (Rgb8{9, 9, 9}));
}

TEST(ButtonTextureMath, ShadeRunsFromLightToDark) {
    EXPECT_EQ(texture::shadeOffset(0, 11, 30), 30);
    EXPECT_EQ(texture::shadeOffset(5, 11, 30), 0);
    EXPECT_EQ(texture::shadeOffset(10, 11, 30), -30);
    EXPECT_EQ(texture::shadeOffset(0, 1, 30), 0);
    int previous = 31;
    for (int pos = 0; pos < 40; ++pos) {
        const int v = texture::shadeOffset(pos, 40, 30);
        EXPECT_LE(v, previous);
        previous = v;
    }
}

TEST(ButtonTextureMath, GrainIsStableBoundedAndNotFlat) {
    std::set<int> seen;
    long sum = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int g = texture::grainAt(x, y, 16);
            ASSERT_GE(g, -16);
            ASSERT_LE(g, 16);
            // Asked again, the same: a grain drawn anew at every paint would flicker.
            EXPECT_EQ(g, texture::grainAt(x, y, 16));
            seen.insert(g);
            sum += g;
        }
    }
    EXPECT_GT(seen.size(), 25u);             // uses most of its range
    EXPECT_LT(std::abs(sum) / 1600.0, 2.0);  // centred: the face keeps its brightness
    EXPECT_EQ(texture::grainAt(3, 4, 0), 0);
}

TEST(ButtonTextureMath, BrushingIsBoundedAndVariesByRow) {
    for (int row = 0; row < 60; ++row) {
        const int b = texture::brushAt(row, 1, 18);
        EXPECT_GE(b, -18);
        EXPECT_LE(b, 18);
    }
    std::set<int> values;
    for (int row = 0; row < 60; ++row) {
        values.insert(texture::brushAt(row, 2, 18));
    }
    EXPECT_GT(values.size(), 6u);
    EXPECT_EQ(texture::brushAt(5, 1, 0), 0);
}

TEST(ButtonTextureMath, PillowIsHighInTheMiddleAndZeroAtTheEdges) {
    EXPECT_DOUBLE_EQ(texture::pillow(0.5, 0.5), 1.0);
    EXPECT_DOUBLE_EQ(texture::pillow(0.0, 0.5), 0.0);
    EXPECT_DOUBLE_EQ(texture::pillow(0.5, 1.0), 0.0);
    EXPECT_LT(texture::pillow(0.1, 0.5), texture::pillow(0.25, 0.5));
    EXPECT_EQ(texture::bevelWidth(ButtonTexture::HardBump, 1.0), 2);
    EXPECT_EQ(texture::bevelWidth(ButtonTexture::HardBump, 2.0), 4);
    EXPECT_EQ(texture::bevelWidth(ButtonTexture::Flat, 2.0), 0);
    EXPECT_EQ(textureFromSetting(7), ButtonTexture::Metal);
    EXPECT_EQ(textureFromSetting(8), ButtonTexture::Normal);
    EXPECT_EQ(textureFromSetting(-1), ButtonTexture::Normal);
}

QImage faceOf(CPictureButton& b, ButtonTexture t, double dpr, bool down = false) {
    b.setTexture(t);
    return b.renderFace(QSize(80, 32), dpr, down, false).convertToFormat(QImage::Format_RGB32);
}

TEST(PictureButton, EveryTextureDrawsItsOwnFace) {
    for (double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        CPictureButton b;
        std::vector<QImage> faces;
        for (int t = 1; t < kButtonTextureCount; ++t) {
            const QImage face = faceOf(b, static_cast<ButtonTexture>(t), dpr);
            EXPECT_EQ(face.width(), static_cast<int>(80 * dpr));
            EXPECT_EQ(face.height(), static_cast<int>(32 * dpr));
            for (const QImage& other : faces) {
                EXPECT_NE(face, other) << "texture " << t;
            }
            faces.push_back(face);
            // Pressed looks different from released.
            EXPECT_NE(faceOf(b, static_cast<ButtonTexture>(t), dpr, true), face) << t;
        }
    }
}

TEST(PictureButton, ShadesRunAlongTheirAxis) {
    CPictureButton b;
    const QImage v = faceOf(b, ButtonTexture::VShade, 1.0);
    EXPECT_GT(qGray(v.pixel(40, 3)), qGray(v.pixel(40, 28)));
    EXPECT_EQ(v.pixel(10, 16), v.pixel(70, 16));
    const QImage h = faceOf(b, ButtonTexture::HShade, 1.0);
    EXPECT_GT(qGray(h.pixel(3, 16)), qGray(h.pixel(76, 16)));
    EXPECT_EQ(h.pixel(40, 4), h.pixel(40, 27));
    // Brushed metal: constant along a row, varying between rows.
    const QImage m = faceOf(b, ButtonTexture::Metal, 1.0);
    EXPECT_EQ(m.pixel(10, 15), m.pixel(60, 15));
    std::set<QRgb> rows;
    for (int y = 3; y < 29; ++y) {
        rows.insert(m.pixel(40, y));
    }
    EXPECT_GT(rows.size(), 8u);
}

TEST(PictureButton, ApplyingATextureReachesEveryButtonBelow) {
    QWidget root;
    auto* a = new CPictureButton(&root);
    auto* inner = new QWidget(&root);
    auto* b = new CPictureButton(inner);
    applyButtonTexture(&root, ButtonTexture::Noise);
    EXPECT_EQ(a->texture(), ButtonTexture::Noise);
    EXPECT_EQ(b->texture(), ButtonTexture::Noise);
    // A painted button shows its face, not the platform's.
    b->resize(80, 32);
    b->setText("OK");
    const QImage shot = b->grab().toImage();
    b->setTexture(ButtonTexture::Metal);
    EXPECT_NE(b->grab().toImage(), shot);
}

}  // namespace
}  // namespace qavix::test
