#pragma once
// SHA-256 (FIPS 180-4), for the checksums a backup manifest records of its files.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qavix {

class Sha256 {
  public:
    static constexpr size_t kDigestSize = 32;
    using Digest = std::array<uint8_t, kDigestSize>;

    Sha256();
    void update(std::string_view bytes);
    // The digest of everything given so far; the object starts over afterwards.
    Digest finish();

  private:
    static constexpr size_t kBlockSize = 64;
    void compress(const uint8_t* block);

    std::array<uint32_t, 8> m_state{};
    std::array<uint8_t, kBlockSize> m_buffer{};
    size_t m_buffered = 0;
    uint64_t m_length = 0;  // bytes given so far
};

// The digest of `bytes` as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string sha256Hex(std::string_view bytes);

}  // namespace qavix
