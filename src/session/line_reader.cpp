#include "session/line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace wox::session {

LineReader::LineReader(int fd, std::size_t maxLine) : fd_(fd), maxLine_(maxLine), buffer_(65'536) {}

bool LineReader::fill() {
    if (ended_) return false;
    for (;;) {
        ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n > 0) {
            begin_ = 0;
            end_ = static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error_ = errno;
        ended_ = true;
        return false;
    }
}

bool LineReader::next(std::string& line) {
    line.clear();
    cut_ = false;
    bool any = false;
    for (;;) {
        if (begin_ == end_ && !fill()) break;
        any = true;
        const char* from = buffer_.data() + begin_;
        std::size_t available = end_ - begin_;
        const void* nl = std::memchr(from, '\n', available);
        std::size_t take = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - from) : available;
        std::size_t room = maxLine_ - line.size();
        if (take > room) cut_ = true;
        line.append(from, take < room ? take : room);
        begin_ += take;
        if (nl) {
            ++begin_;
            if (!line.empty() && line.back() == '\r' && !cut_) line.pop_back();
            return true;
        }
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r' && !cut_) line.pop_back();
    return true;
}

bool LineReader::wouldWait() const {
    if (begin_ != end_ || ended_) return false;
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) == 0;
}

}  // namespace wox::session
