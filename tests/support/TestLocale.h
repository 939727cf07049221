#pragma once
// A locale compiled for one test into its folder (the machine may have none but C): the
// definition `source` as localedef reads it, named `name` under LOCPATH=dir. localedef warns
// (and exits 1) about the categories left out, so the locale's own answers tell whether it
// works.

#include <fstream>
#include <string>

#include "ChildProcess.h"
#include "TempDir.h"

namespace qavix::test {

inline ProcessResult compileLocale(const TempDir& dir, const std::string& source,
                                   const std::string& name) {
    const std::string definition = dir.file(name + ".def");
    std::ofstream(definition) << source;
    return runProcess({"localedef", "-c", "-f", "UTF-8", "-i", definition, dir.file(name)});
}

}  // namespace qavix::test
