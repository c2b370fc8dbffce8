#include "workspace_file/content_check.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace wox::workspace_file {

void ContentCheck::add(const void* p, std::size_t n) {
    const auto* bytes = static_cast<const Bytef*>(p);
    length_ += n;
    // crc32_z takes a size_t, but stays within 32-bit lengths per call on
    // every zlib this builds with.
    constexpr std::size_t kStep = std::size_t{1} << 30;
    while (n > 0) {
        std::size_t step = std::min(n, kStep);
        crc_ = static_cast<std::uint32_t>(crc32_z(crc_, bytes, step));
        bytes += step;
        n -= step;
    }
}

std::array<unsigned char, kTrailerBytes> trailerFor(const ContentCheck& check) {
    std::array<unsigned char, kTrailerBytes> t{};
    std::memcpy(t.data(), kTrailerMark.data(), kTrailerMark.size());
    const std::uint64_t length = check.length();
    const std::uint32_t crc = check.value();
    // Little-endian, as every word of the file.
    for (int i = 0; i < 8; ++i) t[8 + i] = static_cast<unsigned char>(length >> (8 * i));
    for (int i = 0; i < 4; ++i) t[16 + i] = static_cast<unsigned char>(crc >> (8 * i));
    return t;
}

TrailerState checkTrailer(std::span<const unsigned char> file, std::span<const unsigned char>* body) {
    *body = file;
    if (file.size() < kTrailerBytes) return TrailerState::Absent;
    std::span<const unsigned char> t = file.last(kTrailerBytes);
    std::uint64_t length = 0;
    std::uint32_t crc = 0, spare = 0;
    for (int i = 0; i < 8; ++i) length |= std::uint64_t{t[8 + i]} << (8 * i);
    for (int i = 0; i < 4; ++i) crc |= std::uint32_t{t[16 + i]} << (8 * i);
    for (int i = 0; i < 4; ++i) spare |= std::uint32_t{t[20 + i]} << (8 * i);
    const bool lengthAgrees = length == file.size() - kTrailerBytes && spare == 0;
    if (std::memcmp(t.data(), kTrailerMark.data(), kTrailerMark.size()) != 0) {
        // A trailer whose length still agrees is one whose mark was damaged;
        // the end of an earlier program's body does not look like that.
        return lengthAgrees ? TrailerState::Damaged : TrailerState::Absent;
    }
    if (!lengthAgrees) return TrailerState::Damaged;
    ContentCheck check;
    check.add(file.data(), length);
    if (check.value() != crc) return TrailerState::Damaged;
    *body = file.first(length);
    return TrailerState::Sound;
}

}  // namespace wox::workspace_file
