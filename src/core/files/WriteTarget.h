#pragma once
// Where a save of a path lands: the folder, held open, and the name the new file takes in
// it. The path is followed one part at a time as the kernel would open it, except that a
// symbolic link is refused where the kernel's protected_symlinks rule would refuse it, on
// every system whether or not the rule is switched on there: a save as root must not follow
// a link that another user put into /tmp onto a file of the system.

#include <string>

#include "files/Descriptor.h"
#include "files/FileIo.h"

namespace qavix::fileio {

// More links than this on one path is a loop, as the kernel counts them.
constexpr int kMaxSymbolicLinks = 40;

class WriteTarget {
  public:
    static WriteTarget open(const std::string& path);

    // ok when a new file may take the name: the checks checkWriteTarget promises.
    WriteResult check() const;

    // The folder (an O_PATH descriptor) and the name in it; valid when check() is ok.
    int folder() const { return m_folder.get(); }
    const std::string& name() const { return m_name; }
    // The target as messages name it: the path as given, or where its links led.
    const std::string& shown() const { return m_shown; }

  private:
    explicit WriteTarget(std::string path);
    void resolve();
    bool fail(const std::string& message, int error = 0);

    Descriptor m_folder;
    std::string m_name;
    std::string m_shown;
    std::string m_folderShown;  // the folder's path as messages name it
    WriteResult m_problem;      // why the path leads nowhere a file can be saved, if it does
};

}  // namespace qavix::fileio
