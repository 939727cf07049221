#include "fleet/SpaceReserve.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "files/Descriptor.h"

namespace qavix::fleet {

namespace {

// A controller's record: name, port, identity with three sensors, five files with their
// checksums, and a reason or notes of a few hundred bytes; generously rounded up.
constexpr uint64_t kRecordBytes = 8192;
constexpr uint64_t kHeaderBytes = 8192;

}  // namespace

uint64_t manifestReserveBytes(size_t controllers) {
    return 2 * (kHeaderBytes + kRecordBytes * controllers);
}

SpaceReserve::~SpaceReserve() {
    release();
}

bool SpaceReserve::make(const std::string& path, uint64_t bytes, std::string& error) {
    release();
    fileio::Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // posix_fallocate returns the error instead of setting errno.
    const int failed = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes));
    if (failed != 0) {
        ::unlink(path.c_str());
        error = path + ": " + std::strerror(failed);
        return false;
    }
    m_path = path;
    return true;
}

bool SpaceReserve::release() {
    if (m_path.empty()) {
        return false;
    }
    ::unlink(m_path.c_str());
    m_path.clear();
    return true;
}

}  // namespace qavix::fleet
