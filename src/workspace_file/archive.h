#pragma once
// Byte streams of workspace files: 32-bit little-endian words, raw blocks
// and archive strings (a length prefix of one byte, or 0xFF and 16 bits, or
// 0xFF, 0xFFFF and 32 bits; the 0xFF 0xFFFE prefix marks 16-bit
// characters). The output goes to a file descriptor or to memory; the input
// is a span of bytes whose every read is bounds-checked.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "workspace_file/content_check.h"

namespace wox::workspace_file {

class OutputArchive {
public:
    // Into memory.
    OutputArchive() = default;
    // Into an open file; large blocks go straight from their memory.
    explicit OutputArchive(int fd) : fd_(fd) {}
    ~OutputArchive() = default;
    OutputArchive(const OutputArchive&) = delete;
    OutputArchive& operator=(const OutputArchive&) = delete;

    void bytes(const void* p, std::size_t n);
    void word(std::int32_t v) { bytes(&v, 4); }
    void text(std::string_view s) { bytes(s.data(), s.size()); }
    void string(std::string_view s);
    // Sends what is buffered to the file; false when any write failed.
    bool flush();

    bool ok() const { return ok_; }
    int error() const { return error_; }
    // The bytes written into memory.
    const std::string& memory() const { return buffer_; }
    // The check of every byte passed so far.
    const ContentCheck& check() const { return check_; }

private:
    void writeOut(const char* p, std::size_t n);

    int fd_ = -1;
    std::string buffer_;
    ContentCheck check_;
    bool ok_ = true;
    int error_ = 0;
};

class InputArchive {
public:
    explicit InputArchive(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    // Each read fails (returns false, and every later read fails too) when
    // the bytes run out.
    bool bytes(void* p, std::size_t n);
    bool word(std::int32_t* v) { return bytes(v, 4); }
    bool skip(std::size_t n);
    // A line up to "\n" (included); false at the end of the bytes.
    bool line(std::string_view* text);
    // An archive string; wide characters are narrowed to their low byte.
    bool string(std::string* s);

    bool ok() const { return ok_; }
    std::size_t remaining() const { return bytes_.size() - at_; }
    std::size_t position() const { return at_; }

private:
    std::span<const unsigned char> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace wox::workspace_file
