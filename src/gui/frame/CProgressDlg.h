#pragma once
// The modeless wait window shown while a read or write sequence runs; its text blinks.

#include <QDialog>
#include <QLabel>
#include <QTimer>

namespace qavix {

class CProgressDlg : public QDialog {
    Q_OBJECT
  public:
    enum Kind { Reading = 0, Writing = 1 };

    explicit CProgressDlg(QWidget* parent = nullptr, int blinkMs = 300);

    void showKind(Kind kind);
    void closeWindow();
    QString text() const { return m_text->text(); }

  private:
    QLabel* m_text = nullptr;
    QTimer m_blink;
    bool m_bright = true;
};

}  // namespace qavix
