#pragma once
// The splash: a small frameless window over the screen's centre that plays our own
// animation while the first connection is made, closes itself after `SplashTime` and can
// be dragged with the left button. It runs on the UI thread; the request wait keeps
// events flowing, so it stays animated while the connection is opened.

#include <QLabel>
#include <QMovie>
#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace qavix {

class CSplashDlg : public QWidget {
    Q_OBJECT
  public:
    explicit CSplashDlg(int splashTimeMs, QWidget* parent = nullptr);

    // Shows it centred on the primary screen and starts the animation and the timer.
    void start();

    QMovie& movie() { return m_movie; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QMovie m_movie;
    QLabel* m_picture = nullptr;
    QTimer m_timer;  // timer 10: SplashTime
    int m_timeMs;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

}  // namespace qavix
