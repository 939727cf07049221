#include "frame/CommandMenus.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QShortcut>

namespace qavix {

CommandMenus::CommandMenus(QMainWindow& window, Handlers handlers, std::function<void()> refresh)
    : QObject(&window), m_window(window), m_refresh(std::move(refresh)) {
    for (const MenuRow& m : frameMenus()) {
        QMenu* popup =
            window.menuBar()->addMenu(QCoreApplication::translate("qavix::CommandTable", m.title));
        m_menus[m.id] = popup;
        connect(popup, &QMenu::aboutToShow, this, [this] { m_refresh(); });
    }
    for (const CommandRow& entry : frameCommands()) {
        if (!entry.offlineOnly) {
            add(menu(entry.menu), entry, std::move(handlers[entry.id]));
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

QAction* CommandMenus::add(QMenu* menu, const CommandRow& entry, std::function<void()> handler) {
    auto* a =
        new QAction(QCoreApplication::translate("qavix::CommandTable", entry.text), &m_window);
    a->setData(entry.id);
    const QKeySequence key(QString::fromLatin1(entry.key));
    if (entry.keyScope == KeyScope::WhileEnabled) {
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
    a->setCheckable(entry.checkable);
    if (menu == nullptr) {
        m_window.addAction(a);
    } else {
        if (entry.separatorBefore) {
            menu->addSeparator();
        }
        menu->addAction(a);
    }
    if (handler) {
        connect(a, &QAction::triggered, &m_window, std::move(handler));
    }
    m_actions[entry.id] = a;
    return a;
}

QAction* CommandMenus::addAtTop(int id, std::function<void()> handler) {
    const auto entry = frameCommand(id);
    QMenu* popup = entry ? menu(entry->menu) : nullptr;
    if (popup == nullptr) {
        return nullptr;
    }
    QAction* first = popup->actions().constFirst();
    QAction* a = add(nullptr, *entry, std::move(handler));
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
