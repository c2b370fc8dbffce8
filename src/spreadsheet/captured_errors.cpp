#include "spreadsheet/captured_errors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace wox::spreadsheet {

namespace {
// Enough to say what went wrong; a library that writes more is cut short.
constexpr std::size_t kMostKept = 4096;
}  // namespace

CapturedErrors::CapturedErrors() {
    char name[] = "/tmp/.wox-stderr-XXXXXX";
    file_ = mkstemp(name);
    if (file_ < 0) return;
    unlink(name);
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    if (saved_ < 0 || dup2(file_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) close(saved_);
        close(file_);
        saved_ = file_ = -1;
    }
}

CapturedErrors::~CapturedErrors() { (void)text(); }

std::string CapturedErrors::text() {
    if (saved_ < 0) return {};
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
    std::string out(kMostKept, '\0');
    const ssize_t n = pread(file_, out.data(), out.size(), 0);
    close(file_);
    file_ = -1;
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace wox::spreadsheet
