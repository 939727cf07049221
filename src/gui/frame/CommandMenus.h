#pragma once
// Menu 128 of the main window built from the command table (CommandTable): the pop-ups,
// one action per command with its text, key and handler, and the enable rules
// (CommandRules) applied to every action at once.

#include <QAction>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <map>
#include <vector>

#include "frame/CommandRules.h"
#include "frame/CommandTable.h"

namespace qavix {

// A bar's button standing for a command.
struct BarButton {
    int button;
    int command;
    // The button greys with the command's rule; otherwise its owner shows it.
    bool followsRule;
};

class CommandMenus : public QObject {
    Q_OBJECT
  public:
    using Handlers = std::map<int, std::function<void()>>;

    // The actions belong to `window`, their keys are its shortcuts; `refresh` runs whenever
    // a pop-up opens. A command without a handler only takes its key.
    CommandMenus(QMainWindow& window, Handlers handlers, std::function<void()> refresh);

    QAction* action(int id) const;
    QMenu* menu(MenuId id) const;
    // A command of the table added later (offlineOnly) at the top of its pop-up, followed by
    // a separator.
    QAction* addAtTop(int id, std::function<void()> handler);
    // A click on one of `buttons` triggers its command when the rule allows it at that
    // moment; the buttons that follow the rule are set with the menu items.
    template <class Bar>
    void bindBar(Bar* bar, std::vector<BarButton> buttons) {
        connect(bar, &Bar::buttonClicked, this, [this, buttons](int b) {
            for (const BarButton& c : buttons) {
                if (c.button == b) {
                    triggerIfEnabled(c.command);
                }
            }
        });
        m_barStates.push_back({std::move(buttons), [bar](int b, bool on) {
                                   bar->setButtonState(static_cast<typename Bar::Button>(b), on);
                               }});
    }
    // The rule is evaluated now (refresh first): a button may still show the last refresh.
    void triggerIfEnabled(int id);
    // Enables each action and bound button by its command's rule.
    void applyRules(const CommandContext& c);
    // Greys the pop-ups themselves (a transfer runs).
    void greyPopups(bool grey);

  private:
    QAction* add(QMenu* menu, const CommandRow& entry, std::function<void()> handler);

    struct BarStates {
        std::vector<BarButton> buttons;
        std::function<void(int button, bool on)> set;
    };

    QMainWindow& m_window;
    std::function<void()> m_refresh;
    std::vector<BarStates> m_barStates;
    std::map<MenuId, QMenu*> m_menus;
    std::map<int, QAction*> m_actions;
};

}  // namespace qavix
