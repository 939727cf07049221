#pragma once
// The modal wait window of the initial read: it shows a blinking text, waits for the splash
// when that is still up, then runs the read of everything and of the four banks and closes.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <functional>

namespace qavix {

class CInitialReadDlg : public QDialog {
    Q_OBJECT
  public:
    // `read` runs the whole read and returns whether it succeeded. `startDelayMs` is the
    // time before the read starts (the splash wait plus the dialog's own second).
    CInitialReadDlg(std::function<bool()> read, int startDelayMs, int blinkMs,
                    QWidget* parent = nullptr);

    bool succeeded() const { return m_succeeded; }
    // Requests done of requests planned, while the read runs.
    void setProgress(int done, int total);
    QProgressBar* progressBar() const { return m_bar; }
    // The delay before reading: 2600 ms more while the splash is on and the communication
    // settings have not been used yet.
    static int startDelay(bool splashOn, bool commSettingsUsed, int splashWaitMs, int readDelayMs);

    // The read cannot be interrupted from the window (Escape, the close button); the
    // program ending closes it with done().
    void reject() override {}

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void runRead();
    void toggleBlink();

    std::function<bool()> m_read;
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
    QTimer m_readTimer;   // timer 20
    QTimer m_blinkTimer;  // timer 21
    bool m_bright = true;
    bool m_started = false;
    bool m_succeeded = false;
};

}  // namespace qavix
