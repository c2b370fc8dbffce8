#include "values/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

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

// Temporary files are named ".wox-<kind>-<process id>-<six characters>".
constexpr std::string_view kTempMark = ".wox-";
constexpr int kUniqueChars = 6;
// A temporary file of a program older than the process id in the name is
// taken for abandoned only when it has not changed for this long.
constexpr std::time_t kUnnamedStaleSeconds = 60 * 60;

// The process id in a temporary file's name, 0 for a name without one, or
// -1 for a name that is no temporary file of ours.
long tempOwner(std::string_view name) {
    if (!name.starts_with(kTempMark)) return -1;
    name.remove_prefix(kTempMark.size());
    std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0) return -1;
    name.remove_prefix(dash + 1);
    if (name.size() == kUniqueChars) return 0;
    if (name.size() < kUniqueChars + 2 || name[name.size() - kUniqueChars - 1] != '-') return -1;
    std::string_view digits = name.substr(0, name.size() - kUniqueChars - 1);
    long pid = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (ec != std::errc() || end != digits.data() + digits.size() || pid <= 0) return -1;
    return pid;
}

}  // namespace

void removeStaleTemporaries(const std::string& folder) {
    const std::string base = folder.empty() ? std::string("./") : folder.ends_with('/') ? folder : folder + "/";
    DIR* dir = opendir(base.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    const long self = static_cast<long>(getpid());
    const std::time_t now = std::time(nullptr);
    while (const dirent* e = readdir(dir)) {
        const long owner = tempOwner(e->d_name);
        if (owner < 0 || owner == self) continue;
        const std::string path = base + e->d_name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        // A living process may still be writing its file; so may an older
        // program, whose names carry no process id, if it wrote lately.
        if (owner > 0 && !(kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH)) continue;
        if (owner == 0 && now - st.st_mtime < kUnnamedStaleSeconds) continue;
        stale.push_back(path);
    }
    closedir(dir);
    for (const std::string& path : stale)
        if (fileEffectAllowed(path)) unlink(path.c_str());
}

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
    // Saves killed before they could clean up leave their files behind;
    // the next replacement in the folder takes them away.
    removeStaleTemporaries(folder_);
    std::string temp = (slash == std::string::npos ? std::string() : folder_) + tempPrefix +
                       std::to_string(getpid()) + "-XXXXXX";
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
