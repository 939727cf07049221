#pragma once
// The connection's host in the desktop program. The worker's messages and questions are
// shown as modal message boxes on the UI thread while the worker waits for the answer; the
// UI thread's own wait for a request pumps events under the input rule of
// RequestWaitFilter; exchanges go to the trace pane.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

#include "app/RequestWaitFilter.h"
#include "comm/CommHost.h"

namespace qavix {

class QtCommHost : public QObject, public CommHost {
    Q_OBJECT
  public:
    using TraceSink = std::function<void(const std::string& sent, const std::string& received)>;

    explicit QtCommHost(QObject* parent = nullptr);
    ~QtCommHost() override;

    void showMessage(const std::string& text) override;
    void beep() override;
    // Offers "再接続" beside OK; choosing it asks for a restart once the program has ended.
    void showLostMessage(const std::string& text) override;
    bool restartRequested() const { return m_restart; }
    static constexpr const char* kReconnectText = QT_TRANSLATE_NOOP("qavix::QtCommHost", "再接続");
    bool ask(Question question, const std::string& text) override;
    void runCommSettings() override;
    void endProgram() override;
    void runOnUiThread(const std::function<void()>& fn) override;
    void pumpEvents(bool busy) override;
    void recordTrace(const std::string& sent, const std::string& received) override;

    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }
    // Receives exchanges on the UI thread; without a sink nothing is recorded.
    void setTraceSink(TraceSink sink);
    void setCommSettingsRunner(std::function<void()> runner) { m_commSettings = std::move(runner); }

    // From now on nothing more is shown: the worker's questions get Cancel at once. Called
    // when the program ends, before the worker is stopped, so it can never wait on a
    // window that will not answer.
    void beginShutdown() { m_closing = true; }
    bool closing() const { return m_closing; }

    RequestWaitFilter& waitFilter() { return m_filter; }

  signals:
    // The program must end (emitted once, on the UI thread).
    void endRequested();

  private:
    bool onUiThread() const;
    // Runs `fn` on the UI thread and waits for it; `fallback` when the program is ending.
    bool callOnUi(const std::function<bool()>& fn, bool fallback);
    void showBox(const std::string& text);
    bool askBox(const std::string& text);

    QPointer<QWidget> m_dialogParent;
    TraceSink m_traceSink;
    std::function<void()> m_commSettings;
    RequestWaitFilter m_filter;
    std::atomic<bool> m_closing{false};
    // Exchanges made before the trace pane exists are not recorded.
    std::atomic<bool> m_tracing{false};
    std::atomic<bool> m_endPosted{false};
    std::atomic<bool> m_restart{false};
};

}  // namespace qavix
