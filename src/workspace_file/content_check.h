#pragma once
// The check of a workspace file's content: a trailer after the body holds
// the body's length and its CRC-32, so a file damaged anywhere is refused
// instead of loading wrong values. Files written before the trailer existed
// have none and still load; their body must then end the file exactly.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace wox::workspace_file {

inline constexpr std::string_view kTrailerMark{"WOXCRC32", 8};
// The mark, the body's length (64 bits) and its CRC-32 (32 bits, then 32
// zero bits).
inline constexpr std::size_t kTrailerBytes = 24;

// A running CRC-32 of the bytes passed to it.
class ContentCheck {
public:
    void add(const void* p, std::size_t n);
    std::uint32_t value() const { return crc_; }
    std::uint64_t length() const { return length_; }

private:
    std::uint32_t crc_ = 0;
    std::uint64_t length_ = 0;
};

// The trailer for a body whose check is `check`.
std::array<unsigned char, kTrailerBytes> trailerFor(const ContentCheck& check);

enum class TrailerState : std::uint8_t {
    Absent,   // no trailer: a file of an earlier program
    Sound,    // a trailer whose length and checksum agree with the body
    Damaged,  // a trailer that disagrees with the body
};

// Whether `file` ends in a trailer, and whether it agrees; *body is the part
// before the trailer (the whole file when there is none).
TrailerState checkTrailer(std::span<const unsigned char> file, std::span<const unsigned char>* body);

}  // namespace wox::workspace_file
