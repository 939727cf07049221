#pragma once
// Room on the disk set aside for a file that must still be written when the disk is full:
// a backup's manifest is rewritten after every controller, and a disk that fills up with the
// controllers' files would otherwise keep a manifest that disowns the files that filled it.
// The room is a hidden file of allocated blocks, given back just before the write that
// needs it.

#include <cstdint>
#include <string>

namespace qavix::fleet {

// Room for a manifest of `controllers` records, twice over: the new copy is written beside
// the old one and renamed over it.
uint64_t manifestReserveBytes(size_t controllers);

class SpaceReserve {
  public:
    SpaceReserve() = default;
    // Removes the file if it is still there.
    ~SpaceReserve();
    SpaceReserve(const SpaceReserve&) = delete;
    SpaceReserve& operator=(const SpaceReserve&) = delete;

    // Allocates `bytes` in a file `path`; false with the reason when the disk has not the room.
    bool make(const std::string& path, uint64_t bytes, std::string& error);
    // Gives the room back; false when there was none to give (never made, or given already).
    bool release();

  private:
    std::string m_path;
};

}  // namespace qavix::fleet
