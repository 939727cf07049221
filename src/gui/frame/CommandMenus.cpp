#include "frame/CommandMenus.h"

#include <QMenuBar>
#include <QShortcut>

namespace qavix {

CommandMenus::CommandMenus(QMainWindow& window, Handlers handlers, std::function<void()> refresh)
    : QObject(&window), m_window(window), m_refresh(std::move(refresh)) {
    for (const MenuSpec& m : frameMenus()) {
        QMenu* popup = window.menuBar()->addMenu(QString::fromUtf8(m.title));
        m_menus[m.id] = popup;
        connect(popup, &QMenu::aboutToShow, this, [this] { m_refresh(); });
    }
    for (const CommandSpec& spec : frameCommands()) {
        if (!spec.offlineOnly) {
            add(menu(spec.menu), spec, std::move(handlers[spec.id]));
        }
    }
}

QAction* CommandMenus::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CommandMenus::menu(MenuId id) const {
    const auto it = m_menus.find(id);
    return it == m_menus.end() ? nullptr : it->second;
}

QAction* CommandMenus::add(QMenu* menu, const CommandSpec& spec, std::function<void()> handler) {
    auto* a = new QAction(QString::fromUtf8(spec.text), &m_window);
    a->setData(spec.id);
    const QKeySequence key(QString::fromLatin1(spec.key));
    if (spec.keyScope == KeyScope::WhileEnabled) {
        // The menu text spells the key; the key itself asks the rule before it acts.
        auto* shortcut = new QShortcut(key, &m_window);
        connect(shortcut, &QShortcut::activated, a, [a] {
            if (a->isEnabled()) {
                a->trigger();
            }
        });
    } else if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    a->setCheckable(spec.checkable);
    if (menu == nullptr) {
        m_window.addAction(a);
    } else {
        if (spec.separatorBefore) {
            menu->addSeparator();
        }
        menu->addAction(a);
    }
    if (handler) {
        connect(a, &QAction::triggered, &m_window, std::move(handler));
    }
    m_actions[spec.id] = a;
    return a;
}

QAction* CommandMenus::addAtTop(int id, std::function<void()> handler) {
    const auto spec = frameCommand(id);
    QMenu* popup = spec ? menu(spec->menu) : nullptr;
    if (popup == nullptr) {
        return nullptr;
    }
    QAction* first = popup->actions().constFirst();
    QAction* a = add(nullptr, *spec, std::move(handler));
    popup->insertAction(first, a);
    popup->insertSeparator(first);
    return a;
}

void CommandMenus::triggerIfEnabled(int id) {
    m_refresh();
    QAction* a = action(id);
    if (a != nullptr && a->isEnabled()) {
        a->trigger();
    }
}

void CommandMenus::applyRules(const CommandContext& c) {
    for (auto& [id, a] : m_actions) {
        a->setEnabled(commandEnabled(id, c));
    }
    for (const BarStates& bar : m_barStates) {
        for (const BarButton& b : bar.buttons) {
            if (b.followsRule) {
                bar.set(b.button, commandEnabled(b.command, c));
            }
        }
    }
}

void CommandMenus::greyPopups(bool grey) {
    for (const auto& [id, popup] : m_menus) {
        popup->menuAction()->setEnabled(!grey);
    }
}

}  // namespace qavix
