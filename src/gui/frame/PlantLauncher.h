#pragma once
// The main window's side of the plant view: "プラント表示" opens the one plant window (or
// brings it to the front) with the broker of the environment settings, and a controller
// opened from a row passes the bank editing guard before the connection's owner opens its
// port and reads it into the main window.

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "frame/PlantWindow.h"

namespace qavix {

class AppState;
class CBankManager;
class DesktopNotifier;
class SettingsFile;

class PlantLauncher {
    Q_DECLARE_TR_FUNCTIONS(qavix::PlantLauncher)

  public:
    using Opener = std::function<PlantOpenOutcome(const plant::Reach&)>;

    PlantLauncher(AppState& state, CBankManager& banks, SettingsFile& settings, QWidget* frame);
    ~PlantLauncher();

    // The connection's owner's way to open a controller; none: rows cannot be opened.
    void setOpener(Opener opener) { m_opener = std::move(opener); }
    // After a controller was opened: the main window shows it.
    void setAfterOpen(std::function<void()> afterOpen) { m_afterOpen = std::move(afterOpen); }
    // Shows the plant window; `brokerUrl` stands in for the setting's (qavix --plant URL).
    PlantWindow* open(const QString& brokerUrl = {});
    PlantWindow* window() const { return m_window; }
    DesktopNotifier& notifier();
    // Notifications go through `notifier` from now on (another bus than the session's).
    void useNotifier(std::unique_ptr<DesktopNotifier> notifier);

  private:
    PlantOpenOutcome openController(const plant::Reach& reach);

    AppState& m_state;
    CBankManager& m_banks;
    SettingsFile& m_settings;
    QWidget* m_frame;
    Opener m_opener;
    std::function<void()> m_afterOpen;
    std::unique_ptr<DesktopNotifier> m_notifier;
    QPointer<PlantWindow> m_window;
};

}  // namespace qavix
