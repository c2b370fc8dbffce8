#include "workspace_file/archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace wox::workspace_file {

namespace {
constexpr std::size_t kBufferLimit = std::size_t{1} << 20;
constexpr unsigned char kLongLength = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kHugeMarker = 0xFFFF;
}  // namespace

void OutputArchive::writeOut(const char* p, std::size_t n) {
    while (ok_ && n > 0) {
        ssize_t w = ::write(fd_, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            ok_ = false;
            error_ = errno;
            return;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

void OutputArchive::bytes(const void* p, std::size_t n) {
    if (!ok_ || n == 0) return;
    check_.add(p, n);
    if (fd_ < 0) {
        buffer_.append(static_cast<const char*>(p), n);
        return;
    }
    if (buffer_.size() + n > kBufferLimit) {
        writeOut(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    if (n >= kBufferLimit) writeOut(static_cast<const char*>(p), n);
    else buffer_.append(static_cast<const char*>(p), n);
}

void OutputArchive::string(std::string_view s) {
    std::size_t n = s.size();
    if (n < kLongLength) {
        unsigned char b = static_cast<unsigned char>(n);
        bytes(&b, 1);
    } else if (n < kWideMarker) {
        unsigned char b = kLongLength;
        std::uint16_t w = static_cast<std::uint16_t>(n);
        bytes(&b, 1);
        bytes(&w, 2);
    } else {
        unsigned char b = kLongLength;
        std::uint16_t w = kHugeMarker;
        std::uint32_t l = static_cast<std::uint32_t>(n);
        bytes(&b, 1);
        bytes(&w, 2);
        bytes(&l, 4);
    }
    bytes(s.data(), n);
}

bool OutputArchive::flush() {
    if (fd_ >= 0 && !buffer_.empty()) {
        writeOut(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    return ok_;
}

bool InputArchive::bytes(void* p, std::size_t n) {
    if (!ok_ || n > remaining()) {
        ok_ = false;
        return false;
    }
    if (n > 0) std::memcpy(p, bytes_.data() + at_, n);
    at_ += n;
    return true;
}

bool InputArchive::skip(std::size_t n) {
    if (!ok_ || n > remaining()) {
        ok_ = false;
        return false;
    }
    at_ += n;
    return true;
}

bool InputArchive::line(std::string_view* text) {
    if (!ok_ || remaining() == 0) {
        ok_ = false;
        return false;
    }
    const unsigned char* start = bytes_.data() + at_;
    const void* nl = std::memchr(start, '\n', remaining());
    std::size_t n = nl ? static_cast<std::size_t>(static_cast<const unsigned char*>(nl) - start) + 1 : remaining();
    *text = std::string_view(reinterpret_cast<const char*>(start), n);
    at_ += n;
    return true;
}

bool InputArchive::string(std::string* s) {
    unsigned char b = 0;
    if (!bytes(&b, 1)) return false;
    std::size_t n = b;
    bool wide = false;
    if (b == kLongLength) {
        std::uint16_t w = 0;
        if (!bytes(&w, 2)) return false;
        n = w;
        if (w == kWideMarker) {
            wide = true;
            unsigned char b2 = 0;
            if (!bytes(&b2, 1)) return false;
            n = b2;
            if (b2 == kLongLength) {
                if (!bytes(&w, 2)) return false;
                n = w;
                if (w == kHugeMarker) {
                    std::uint32_t l = 0;
                    if (!bytes(&l, 4)) return false;
                    n = l;
                }
            }
        } else if (w == kHugeMarker) {
            std::uint32_t l = 0;
            if (!bytes(&l, 4)) return false;
            n = l;
        }
    }
    std::size_t width = wide ? 2 : 1;
    if (n > remaining() / width) {
        ok_ = false;
        return false;
    }
    s->resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        (*s)[i] = static_cast<char>(bytes_[at_]);  // a wide character keeps its low byte
        at_ += width;
    }
    return true;
}

}  // namespace wox::workspace_file
