#pragma once
// qavixctl errors: the controller's error history as the error log page shows and saves it.

#include <string>

#include "DeviceOptions.h"

namespace qavix::cli {

// `csvPath` empty: no CSV file.
int runErrors(const DeviceOptions& options, const std::string& csvPath);

}  // namespace qavix::cli
