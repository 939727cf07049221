#include "frame/PlantLauncher.h"

#include <QSysInfo>

#include "files/SettingsFile.h"
#include "frame/CBankManager.h"
#include "frame/DesktopNotifier.h"
#include "state/AppState.h"

namespace qavix {

PlantLauncher::PlantLauncher(AppState& state, CBankManager& banks, SettingsFile& settings,
                             QWidget* frame)
    : m_state(state), m_banks(banks), m_settings(settings), m_frame(frame) {}

PlantLauncher::~PlantLauncher() {
    delete m_window;
}

DesktopNotifier& PlantLauncher::notifier() {
    if (!m_notifier) {
        m_notifier = std::make_unique<DesktopNotifier>();
    }
    return *m_notifier;
}

void PlantLauncher::useNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    m_notifier = std::move(notifier);
}

PlantWindow* PlantLauncher::open(const QString& brokerUrl) {
    if (m_window) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }
    PlantWindowServices services;
    services.settings = plant::PlantSettings::load(m_settings);
    if (!brokerUrl.isEmpty()) {
        services.settings.brokerUrl = brokerUrl.toStdString();
    }
    services.thisHost = QSysInfo::machineHostName().toStdString();
    services.notifier = &notifier();
    services.open = [this](const plant::Reach& reach) { return openController(reach); };
    // A window of its own beside the main window, not above it: both stay in use.
    m_window = new PlantWindow(std::move(services));
    m_window->show();
    m_window->start();
    return m_window;
}

PlantOpenOutcome PlantLauncher::openController(const plant::Reach& reach) {
    if (!m_opener) {
        return {false, false, tr("このプログラムからはコントローラを開けません。")};
    }
    // Reading another controller replaces the data shown, which would drop bank edits that
    // were applied but not written: the editing guard offers to write, save or discard them.
    const int selected = m_state.model().selectedSet();
    if ((m_state.model().editState(selected) & kEditAppliedUnwritten) != 0 &&
        !m_banks.editingGuard(selected, CBankManager::kReasonSwitch)) {
        return {false, false, {}};
    }
    PlantOpenOutcome outcome = m_opener(reach);
    if (outcome.opened && m_afterOpen) {
        m_afterOpen();
    }
    return outcome;
}

}  // namespace qavix
