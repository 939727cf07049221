#include "widgets/CPictureButton.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <functional>

namespace qavix {

namespace {

using texture::Rgb8;

constexpr int kHoverLift = 10;
constexpr int kShadeAmplitude = 30;
constexpr int kShadeCentre = -12;
constexpr int kGrainAmplitude = 16;
constexpr int kBrushAmplitude = 18;
constexpr int kMetalShade = 26;
constexpr int kBorderDark = -100;
constexpr int kBorderSoft = -70;
constexpr int kBevelLight = 70;
constexpr int kBevelDark = -75;
constexpr int kPressedDark = -22;
constexpr int kPillowLow = -36;
constexpr int kPillowHigh = 10;
constexpr int kFaceDarken = -14;  // textured faces sit a little below the window's button face
constexpr double kDisabledFade = 0.55;
constexpr Rgb8 kSilver{200, 205, 212};
constexpr double kMetalTint = 0.7;  // how much of the silver covers the face colour

Rgb8 rgbOf(const QColor& c) {
    return Rgb8{c.red(), c.green(), c.blue()};
}

QRgb qrgbOf(const Rgb8& c) {
    return qRgb(c.r, c.g, c.b);
}

// Colour of the face at device pixel (x, y) of a w x h face.
using FaceFn = std::function<Rgb8(int x, int y)>;

void fillFace(QImage& img, const FaceFn& fn) {
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            line[x] = qrgbOf(fn(x, y));
        }
    }
}

// Light top and left edges, dark bottom and right ones; swapped when pressed.
void drawBevel(QImage& img, int width, const Rgb8& base, bool down) {
    const int w = img.width();
    const int h = img.height();
    const Rgb8 light = texture::shade(base, down ? kBevelDark : kBevelLight);
    const Rgb8 dark = texture::shade(base, down ? kBevelLight / 2 : kBevelDark);
    for (int i = 0; i < width; ++i) {
        for (int x = i; x < w - i; ++x) {
            img.setPixel(x, i, qrgbOf(light));
            img.setPixel(x, h - 1 - i, qrgbOf(dark));
        }
        for (int y = i; y < h - i; ++y) {
            img.setPixel(i, y, qrgbOf(light));
            img.setPixel(w - 1 - i, y, qrgbOf(dark));
        }
    }
}

void drawBorder(QImage& img, const Rgb8& colour, int width) {
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(colour.r, colour.g, colour.b));
    const int w = img.width();
    const int h = img.height();
    p.drawRect(0, 0, w, width);
    p.drawRect(0, h - width, w, width);
    p.drawRect(0, 0, width, h);
    p.drawRect(w - width, 0, width, h);
}

// Rounds the corners off by making them transparent, for the soft face.
void roundCorners(QImage& img, int radius) {
    QImage mask(img.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter mp(&mask);
    mp.setRenderHint(QPainter::Antialiasing);
    mp.setPen(Qt::NoPen);
    mp.setBrush(Qt::black);
    mp.drawRoundedRect(QRectF(0, 0, img.width(), img.height()), radius, radius);
    mp.end();
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(0, 0, mask);
}

// What one face is painted with: the base colour (hover included), the press, and the size
// of a device pixel in image pixels.
struct FaceParams {
    Rgb8 base;
    bool down;
    int onePixel;
    int bevel;  // width of the bevel, where the texture has one
};

void paintFlat(QImage& img, const FaceParams& f) {
    const Rgb8 face = f.down ? texture::shade(f.base, kPressedDark) : f.base;
    img.fill(qrgbOf(face));
    drawBorder(img, texture::shade(f.base, kBorderSoft), f.onePixel);
}

// A dark border, and inside it a bevel raised or pressed.
void bevelInside(QImage& img, const FaceParams& f, const Rgb8& colour) {
    drawBorder(img, texture::shade(colour, kBorderDark), f.onePixel);
    const int px = f.onePixel;
    QImage inner = img.copy(px, px, img.width() - 2 * px, img.height() - 2 * px);
    drawBevel(inner, f.bevel, colour, f.down);
    QPainter(&img).drawImage(px, px, inner);
}

void paintHardBump(QImage& img, const FaceParams& f) {
    const Rgb8 face = f.down ? texture::shade(f.base, kPressedDark / 2) : f.base;
    img.fill(qrgbOf(face));
    bevelInside(img, f, f.base);
}

void paintPillow(QImage& img, const FaceParams& f) {
    // Pressed, the whole pillow sinks: darker, and no light from above.
    const Rgb8 low = texture::shade(f.base, f.down ? kPillowLow + kPressedDark : kPillowLow);
    const Rgb8 high = texture::shade(f.base, f.down ? kPressedDark / 2 : kPillowHigh);
    const int w = img.width();
    const int h = img.height();
    fillFace(img, [&](int x, int y) {
        // Light falls from above: the upper half of the pillow is a little brighter.
        const double u = (x + 0.5) / w;
        const double v = (y + 0.5) / h;
        const double lift = f.down ? 0.0 : 0.12 * (1.0 - v);
        return texture::mix(low, high, texture::pillow(u, v) + lift);
    });
    roundCorners(img, 4 * f.onePixel);
}

void paintShade(QImage& img, const FaceParams& f, bool vertical) {
    const int amplitude = f.down ? -kShadeAmplitude : kShadeAmplitude;
    const int w = img.width();
    const int h = img.height();
    fillFace(img, [&](int x, int y) {
        // Centred a little below the face colour so the light end does not burn out.
        const int offset = vertical ? texture::shadeOffset(y, h, amplitude)
                                    : texture::shadeOffset(x, w, amplitude);
        return texture::shade(f.base, offset + kShadeCentre);
    });
    drawBorder(img, texture::shade(f.base, kBorderSoft - 10), f.onePixel);
}

void paintNoise(QImage& img, const FaceParams& f) {
    const Rgb8 face = f.down ? texture::shade(f.base, kPressedDark) : f.base;
    const int rows = f.onePixel;
    fillFace(img, [&](int x, int y) {
        return texture::shade(face, texture::grainAt(x / rows, y / rows, kGrainAmplitude));
    });
    drawBorder(img, texture::shade(f.base, kBorderSoft), f.onePixel);
}

void paintMetal(QImage& img, const FaceParams& f) {
    const Rgb8 metal = texture::mix(f.base, kSilver, kMetalTint);
    const int amplitude = f.down ? -kMetalShade : kMetalShade;
    const int h = img.height();
    fillFace(img, [&](int /*x*/, int y) {
        return texture::shade(metal, texture::shadeOffset(y, h, amplitude) +
                                         texture::brushAt(y, f.onePixel, kBrushAmplitude));
    });
    bevelInside(img, f, metal);
}

void paintFace(QImage& img, ButtonTexture texture, const FaceParams& f) {
    switch (texture) {
        case ButtonTexture::Normal:
        case ButtonTexture::Flat:
            return paintFlat(img, f);
        case ButtonTexture::HardBump:
            return paintHardBump(img, f);
        case ButtonTexture::SoftBump:
            return paintPillow(img, f);
        case ButtonTexture::VShade:
        case ButtonTexture::HShade:
            return paintShade(img, f, texture == ButtonTexture::VShade);
        case ButtonTexture::Noise:
            return paintNoise(img, f);
        case ButtonTexture::Metal:
            return paintMetal(img, f);
    }
}

}  // namespace

CPictureButton::CPictureButton(QWidget* parent) : QToolButton(parent) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(false);
    setAttribute(Qt::WA_Hover);
}

void CPictureButton::setTexture(ButtonTexture texture) {
    if (m_texture != texture) {
        m_texture = texture;
        m_faceKey = 0;
        update();
    }
}

bool CPictureButton::event(QEvent* e) {
    if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave) {
        update();
    }
    return QToolButton::event(e);
}

QImage CPictureButton::renderFace(const QSize& size, double dpr, bool down, bool hover) const {
    const int w = std::max(1, static_cast<int>(size.width() * dpr + 0.5));
    const int h = std::max(1, static_cast<int>(size.height() * dpr + 0.5));
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    Rgb8 base = rgbOf(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Button));
    if (hover && isEnabled()) {
        base = texture::shade(base, kHoverLift);
    }
    // The size of a device pixel in image pixels: borders and grain keep their look.
    const int onePixel = std::max(1, static_cast<int>(dpr + 0.5));
    paintFace(img, m_texture, {base, down, onePixel, texture::bevelWidth(m_texture, dpr)});
    if (!isEnabled()) {
        // A greyed button keeps its texture, faintly, so the greyed label stays readable.
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.setOpacity(kDisabledFade);
        const Rgb8 light = texture::shade(base, -kFaceDarken);
        p.fillRect(QRectF(0, 0, size.width(), size.height()), QColor(light.r, light.g, light.b));
    }
    return img;
}

void CPictureButton::paintEvent(QPaintEvent* event) {
    if (m_texture == ButtonTexture::Normal) {
        QToolButton::paintEvent(event);
        return;
    }
    const bool down = isDown() || isChecked();
    const bool hover = underMouse();
    const double dpr = devicePixelRatioF();
    const quint64 key =
        (static_cast<quint64>(width()) << 40) ^ (static_cast<quint64>(height()) << 24) ^
        (static_cast<quint64>(dpr * 16) << 16) ^ (static_cast<quint64>(m_texture) << 4) ^
        (down ? 1U : 0U) ^ (hover ? 2U : 0U) ^ (isEnabled() ? 8U : 0U) ^
        (static_cast<quint64>(palette().color(QPalette::Button).rgb()) << 44);
    if (key != m_faceKey || m_face.isNull()) {
        m_face = renderFace(size(), dpr, down, hover);
        m_faceKey = key;
    }
    QStylePainter p(this);
    p.drawImage(QPoint(0, 0), m_face);

    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    if (down) {
        opt.rect.translate(1, 1);
    }
    style()->drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void applyButtonTexture(QWidget* root, ButtonTexture texture) {
    if (root == nullptr) {
        return;
    }
    if (auto* self = qobject_cast<CPictureButton*>(root)) {
        self->setTexture(texture);
    }
    for (CPictureButton* button : root->findChildren<CPictureButton*>()) {
        button->setTexture(texture);
    }
}

}  // namespace qavix
