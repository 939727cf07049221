#pragma once
// Input while the UI thread waits for the worker. While a read or write sequence runs
// (busy), left-button presses, releases and double clicks are dropped and everything else
// is delivered, so the window repaints and keys work but nothing can be clicked. Otherwise
// mouse buttons and the wheel are held back and delivered once the wait is over.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

namespace qavix {

class RequestWaitFilter : public QObject {
    Q_OBJECT
  public:
    explicit RequestWaitFilter(QObject* parent = nullptr);
    ~RequestWaitFilter() override;

    // One slice of the wait: handles the pending events under the rule for `busy`.
    void pump(bool busy);

    // A dialog the wait itself opens (a question from the worker) needs the mouse.
    void pause() { ++m_paused; }
    void resume() { --m_paused; }

    int heldCount() const { return static_cast<int>(m_held.size()); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void replayHeld();

    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> m_held;
    QTimer m_replay;
    bool m_pumping = false;
    bool m_busy = false;
    int m_paused = 0;
    bool m_installed = false;
};

}  // namespace qavix
