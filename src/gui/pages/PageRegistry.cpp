#include "pages/PageRegistry.h"

namespace qavix {

void PageRegistry::remove(CommandTarget* page) {
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        it = it->second == page ? m_pages.erase(it) : std::next(it);
    }
}

CommandTarget* PageRegistry::find(int pageIndex) const {
    const auto it = m_pages.find(pageIndex);
    return it == m_pages.end() ? nullptr : it->second;
}

}  // namespace qavix
