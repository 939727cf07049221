#pragma once
// A file system of a few kilobytes on a fresh folder, for tests of a full disk: a write runs
// out of room part-way, as on a real disk that fills up. Mounting needs the right to (root);
// a test skips when it is not given. Unmounted and removed when it goes.

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempDir.h"

namespace qavix::test {

class SmallTmpfs {
  public:
    explicit SmallTmpfs(std::size_t kilobytes) : m_path(m_dir.str()) {
        const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0755";
        m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                            options.c_str()) == 0;
    }
    ~SmallTmpfs() {
        if (m_mounted) {
            ::umount2(m_path.c_str(), MNT_DETACH);
        }
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    // Takes all but about `keep` bytes of the room with a file of its own.
    bool fill(std::size_t keep) const {
        const std::string filler = file(".filler");
        std::ofstream out(filler, std::ios::binary);
        const std::string block(512, 'f');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
        out.close();
        std::error_code ec;
        const auto size = std::filesystem::file_size(filler, ec);
        if (ec) {
            return false;
        }
        std::filesystem::resize_file(filler, size > keep ? size - keep : 0, ec);
        return !ec;
    }

  private:
    TempDir m_dir;  // the mount point, removed once unmounted
    std::string m_path;
    bool m_mounted = false;
};

}  // namespace qavix::test
