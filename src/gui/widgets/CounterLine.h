#pragma once
// One line of text that changes often (a counter under a live chart). Its height is fixed
// by its font and its width by its layout, so a new text only repaints it: a label would
// ask the window to lay itself out again on every change.

#include <QString>
#include <QWidget>

namespace qavix {

class CounterLine : public QWidget {
    Q_OBJECT
  public:
    explicit CounterLine(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QString m_text;
};

}  // namespace qavix
