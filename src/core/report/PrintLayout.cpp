#include "report/PrintLayout.h"

#include <cstddef>

namespace qavix::report {

std::vector<PrintPage> layoutPrintPages(const std::vector<int>& lineHeights, int leading,
                                        int firstLineY, int usableHeight) {
    std::vector<PrintPage> pages;
    const int count = static_cast<int>(lineHeights.size());
    int line = 0;
    do {
        PrintPage page;
        page.firstLine = line;
        int y = firstLineY;
        while (line < count && (page.lineCount == 0 || y < usableHeight)) {
            page.lineTops.push_back(y);
            y += lineHeights[static_cast<std::size_t>(line)] + leading;
            ++page.lineCount;
            ++line;
        }
        pages.push_back(std::move(page));
    } while (line < count);
    return pages;
}

}  // namespace qavix::report
