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
    const int rowsPerPixel = std::max(1, static_cast<int>(dpr + 0.5));
    const int onePixel = rowsPerPixel;
    switch (m_texture) {
        case ButtonTexture::Normal:
        case ButtonTexture::Flat: {
            const Rgb8 face = down ? texture::shade(base, kPressedDark) : base;
            img.fill(qrgbOf(face));
            drawBorder(img, texture::shade(base, kBorderSoft), onePixel);
            break;
        }
        case ButtonTexture::HardBump: {
            const Rgb8 face = down ? texture::shade(base, kPressedDark / 2) : base;
            img.fill(qrgbOf(face));
            drawBorder(img, texture::shade(base, kBorderDark), onePixel);
            QImage inner = img.copy(onePixel, onePixel, w - 2 * onePixel, h - 2 * onePixel);
            drawBevel(inner, texture::bevelWidth(m_texture, dpr), base, down);
            QPainter(&img).drawImage(onePixel, onePixel, inner);
            break;
        }
        case ButtonTexture::SoftBump: {
            // Pressed, the whole pillow sinks: darker, and no light from above.
            const Rgb8 low = texture::shade(base, down ? kPillowLow + kPressedDark : kPillowLow);
            const Rgb8 high = texture::shade(base, down ? kPressedDark / 2 : kPillowHigh);
            fillFace(img, [&](int x, int y) {
                // Light falls from above: the upper half of the pillow is a little brighter.
                const double u = (x + 0.5) / w;
                const double v = (y + 0.5) / h;
                const double lift = down ? 0.0 : 0.12 * (1.0 - v);
                return texture::mix(low, high, texture::pillow(u, v) + lift);
            });
            roundCorners(img, 4 * onePixel);
            break;
        }
        case ButtonTexture::VShade:
        case ButtonTexture::HShade: {
            const bool vertical = m_texture == ButtonTexture::VShade;
            const int amplitude = down ? -kShadeAmplitude : kShadeAmplitude;
            fillFace(img, [&](int x, int y) {
                // Centred a little below the face colour so the light end does not burn out.
                const int offset = vertical ? texture::shadeOffset(y, h, amplitude)
                                            : texture::shadeOffset(x, w, amplitude);
                return texture::shade(base, offset + kShadeCentre);
            });
            drawBorder(img, texture::shade(base, kBorderSoft - 10), onePixel);
            break;
        }
        case ButtonTexture::Noise: {
            const Rgb8 face = down ? texture::shade(base, kPressedDark) : base;
            fillFace(img, [&](int x, int y) {
                return texture::shade(
                    face, texture::grainAt(x / rowsPerPixel, y / rowsPerPixel, kGrainAmplitude));
            });
            drawBorder(img, texture::shade(base, kBorderSoft), onePixel);
            break;
        }
        case ButtonTexture::Metal: {
            const Rgb8 metal = texture::mix(base, kSilver, kMetalTint);
            const int amplitude = down ? -kMetalShade : kMetalShade;
            fillFace(img, [&](int /*x*/, int y) {
                return texture::shade(metal,
                                      texture::shadeOffset(y, h, amplitude) +
                                          texture::brushAt(y, rowsPerPixel, kBrushAmplitude));
            });
            drawBorder(img, texture::shade(metal, kBorderDark), onePixel);
            QImage inner = img.copy(onePixel, onePixel, w - 2 * onePixel, h - 2 * onePixel);
            drawBevel(inner, texture::bevelWidth(m_texture, dpr), metal, down);
            QPainter(&img).drawImage(onePixel, onePixel, inner);
            break;
        }
    }
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
