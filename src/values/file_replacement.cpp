#include "values/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "values/file_confinement.h"

namespace wox::values {

namespace {

bool fail(std::string* problem, const std::string& what, int error) {
    *problem = what + ": " + std::strerror(error);
    return false;
}

mode_t newFileMode() {
    mode_t m = umask(0);
    umask(m);
    return 0666 & ~m;
}

}  // namespace

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !temp_.empty()) unlink(temp_.c_str());
}

bool FileReplacement::open(const std::string& path, const char* tempPrefix, std::string* problem) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 &&
        (access(path.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        return fail(problem, "cannot replace " + path, EACCES);
    path_ = path;
    std::size_t slash = path.rfind('/');
    folder_ = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    // The temporary file lies in the same folder, so one check covers both.
    if (!fileEffectAllowed(path)) return fail(problem, "cannot write into " + folder_, EACCES);
    std::string temp = (slash == std::string::npos ? std::string() : folder_) + tempPrefix + "XXXXXX";
    fd_ = mkstemp(temp.data());
    if (fd_ < 0) return fail(problem, "cannot write into " + folder_, errno);
    temp_ = temp;
    fchmod(fd_, newFileMode());
    return true;
}

bool FileReplacement::write(std::string_view text, std::string* problem) {
    while (!text.empty()) {
        ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(problem, "cannot write " + temp_, n < 0 ? errno : EIO);
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileReplacement::commit(std::string* problem) {
    int error = 0;
    if (fsync(fd_) != 0) error = errno;
    if (close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    if (error == 0 && std::rename(temp_.c_str(), path_.c_str()) != 0) error = errno;
    if (error != 0) return fail(problem, "cannot save " + path_, error);
    committed_ = true;
    int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        (void)fsync(dir);
        close(dir);
    }
    return true;
}

bool replaceFile(const std::string& path, std::string_view text, const char* tempPrefix, std::string* problem) {
    FileReplacement file;
    return file.open(path, tempPrefix, problem) && file.write(text, problem) && file.commit(problem);
}

}  // namespace wox::values
