#pragma once
// The program's picture button: a tool button whose face is drawn with one of eight
// textures chosen in the environment settings. Every bar, command bar and dialog button
// that shows a picture is one of these, so a change of texture reaches all of them.

#include <QToolButton>

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

class CPictureButton : public QToolButton {
    Q_OBJECT
public:
    explicit CPictureButton(QWidget* parent = nullptr);

    ButtonTexture texture() const { return m_texture; }
    void setTexture(ButtonTexture texture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ButtonTexture m_texture = ButtonTexture::Normal;
};

// Applies `texture` to every picture button below `root`.
void applyButtonTexture(QWidget* root, ButtonTexture texture);

}  // namespace qavix
