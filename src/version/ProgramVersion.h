#pragma once
// The version every program reports: the project's version and, when built from a git
// checkout, the commit ("1.0.0+g1eb370f"). Made at build time (cmake/Version.cmake), so
// only this small library is rebuilt when the commit changes.

namespace qavix {

const char* programVersion();

}  // namespace qavix
