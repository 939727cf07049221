#pragma once
// The modeless wait window shown while a read or write sequence runs; its text blinks.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace qavix {

class CProgressDlg : public QDialog {
    Q_OBJECT
  public:
    enum Kind { Reading = 0, Writing = 1 };
    // The wait texts; the initial read's window shows the reading one too.
    static constexpr const char* kReadingText =
        QT_TRANSLATE_NOOP("qavix::CProgressDlg", "データ読込み中\n\nしばらくお待ちください");
    static constexpr const char* kWritingText =
        QT_TRANSLATE_NOOP("qavix::CProgressDlg", "データ書込み中\n\nしばらくお待ちください");

    explicit CProgressDlg(QWidget* parent = nullptr, int blinkMs = 300);

    void showKind(Kind kind);
    // Requests done of requests planned; the bar runs busy until the first report.
    void setProgress(int done, int total);
    QProgressBar* progressBar() const { return m_bar; }
    void closeWindow();
    QString text() const { return m_text->text(); }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void returnActivation();

    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
    QTimer m_blink;
    bool m_bright = true;
};

}  // namespace qavix
