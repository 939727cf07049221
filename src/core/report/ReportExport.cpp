#include "report/ReportExport.h"

#include "files/TextFile.h"

namespace qavix::report {

bool exportReportText(const std::string& path, std::string_view reportText, std::string& error) {
    const fileio::WriteResult result = textfile::writeText(path, reportText);
    if (!result.ok) {
        error = result.error;
    }
    return result.ok;
}

}  // namespace qavix::report
