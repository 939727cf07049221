#pragma once
// The program's picture button: a tool button whose face is drawn with one of eight
// textures chosen in the environment settings. Every bar, command bar and dialog button
// that shows a picture is one of these, so a change of texture reaches all of them.

#include <QImage>
#include <QToolButton>

#include "widgets/ButtonTexture.h"

namespace qavix {

class CPictureButton : public QToolButton {
    Q_OBJECT
  public:
    explicit CPictureButton(QWidget* parent = nullptr);

    ButtonTexture texture() const { return m_texture; }
    void setTexture(ButtonTexture texture);

    // The face without its label, at a device-pixel ratio; what paintEvent draws first.
    QImage renderFace(const QSize& size, double devicePixelRatio, bool down, bool hover) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    ButtonTexture m_texture = ButtonTexture::Normal;
    // The last face drawn, reused while size, state and colour stay the same.
    mutable QImage m_face;
    mutable quint64 m_faceKey = 0;
};

// Applies `texture` to every picture button below `root`.
void applyButtonTexture(QWidget* root, ButtonTexture texture);

}  // namespace qavix
