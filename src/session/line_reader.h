#pragma once
// Lines of batch input, read from a file descriptor. Any bytes are accepted;
// a line ends at "\n", and a "\r" just before it (a file written on Windows)
// is dropped. A line is kept up to `maxLine` bytes and the rest of it is
// skipped, so no input, however long its lines, can exhaust memory: the
// session refuses such a line anyway, since it is far beyond the line buffer.
#include <cstddef>
#include <string>
#include <vector>

namespace wox::session {

class LineReader {
public:
    static constexpr std::size_t kDefaultMaxLine = std::size_t{1} << 20;

    explicit LineReader(int fd, std::size_t maxLine = kDefaultMaxLine);

    // The next line, or false at the end of input or after a read error. A
    // last line without "\n" still counts.
    bool next(std::string& line);
    // The line last returned was longer than `maxLine` and was cut.
    bool cut() const { return cut_; }
    // errno of a failed read, 0 when input simply ended.
    int error() const { return error_; }
    // True when the next read would wait for input: the moment to flush
    // output, so a program driving us through a pipe sees every answer.
    bool wouldWait() const;

private:
    bool fill();

    int fd_;
    std::size_t maxLine_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    bool cut_ = false;
    int error_ = 0;
};

}  // namespace wox::session
