#pragma once
// Help (Ctrl+H), the user's manual (Ctrl+U) and the version box. Help and the manual are
// one installed HTML manual shown in the desktop's browser; a message names the places
// looked at when it is missing.

#include <QUrl>
#include <QWidget>
#include <functional>

namespace qavix {

class HelpLauncher {
  public:
    // Opens the manual's address; by default the desktop's browser. Tests look instead.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit HelpLauncher(QWidget* parent) : m_parent(parent) {}
    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }

    // Nothing while a help window of ours is already open.
    void openHelp();
    void openManual();
    void showAbout();

  private:
    QWidget* m_parent;
    UrlOpener m_urlOpener;
};

}  // namespace qavix
