#pragma once
// The pages by page index, so that a command bar reaches the page the tree showed last
// (the application's current page index) without knowing its class.

#include <map>

#include "pages/CommandTarget.h"

namespace qavix {

class PageRegistry {
  public:
    void add(int pageIndex, CommandTarget* page) { m_pages[pageIndex] = page; }
    void remove(CommandTarget* page);
    // Nothing for a page index whose page is not built or takes no commands.
    CommandTarget* find(int pageIndex) const;

    void setCommandBar(CommandBarButtons* bar) { m_bar = bar; }
    CommandBarButtons* commandBar() const { return m_bar; }

  private:
    std::map<int, CommandTarget*> m_pages;
    CommandBarButtons* m_bar = nullptr;
};

}  // namespace qavix
