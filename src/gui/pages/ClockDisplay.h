#pragma once
// A text display of the clock page: black until it is given a value, then the value in
// green on black.

#include <QLabel>

namespace qavix {

class ClockDisplay : public QLabel {
    Q_OBJECT
  public:
    explicit ClockDisplay(QWidget* parent = nullptr);

    void showValue(const QString& text);
    bool hasValue() const { return m_hasValue; }
    QColor textColour() const;

  private:
    bool m_hasValue = false;
};

}  // namespace qavix
