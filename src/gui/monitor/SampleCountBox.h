#pragma once
// "表示サンプル数": a spin box that also takes the full-width digits a Japanese input method
// types, and holds what is entered to 10..1000 when the field is left or Enter is pressed.

#include <QSpinBox>

namespace qavix {

class SampleCountBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit SampleCountBox(QWidget* parent = nullptr);

  protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace qavix
