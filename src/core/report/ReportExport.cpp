#include "report/ReportExport.h"

#include <optional>

#include "report/ShiftJisText.h"

namespace qavix::report {

bool exportReportText(const std::string& path, std::string_view reportText, std::string& error) {
    const std::optional<std::string> bytes = toCp932(reportText);
    if (!bytes) {
        error = path + ": the report holds a character that Shift-JIS cannot represent";
        return false;
    }
    return writeFileAtomically(path, *bytes, error);
}

}  // namespace qavix::report
