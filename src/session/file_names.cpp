#include "session/file_names.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "vocabulary/char_class.h"
#include "values/messages.h"

namespace wox::session {

namespace {

bool exists(const std::string& path, bool folder) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

bool isValidName(std::string_view name) {
    if (name.empty() || !vocabulary::isLetter(name.front()) || name.back() == '_') return false;
    for (char c : name)
        if (!vocabulary::isNameChar(c)) return false;
    return true;
}

std::string workspaceNameOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(file.substr(0, file.find('.')));
}

ResolvedFile resolveFileName(std::string_view name, std::string_view extension, bool mustExist,
                             std::string_view folder) {
    ResolvedFile r;
    if (name.empty()) {
        r.message = kFileNameRequired;
        return r;
    }
    const bool quoted = name.front() == '\'';
    if (quoted) {
        if (name.size() < 2 || name.back() != '\'') {
            r.message = kBadFilePath;
            return r;
        }
        r.path = std::string(name.substr(1, name.size() - 2));
        for (char& c : r.path)
            if (c == '\\') c = '/';
        std::size_t dot = r.path.rfind('.');
        std::size_t slash = r.path.rfind('/');
        std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                              ? std::string()
                              : r.path.substr(dot + 1);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != extension) {
            r.message = kBadFilePath;
            return r;
        }
        r.workspaceName = workspaceNameOf(r.path);
    } else {
        r.workspaceName = std::string(name);
    }
    if (r.workspaceName.size() > kMaxWorkspaceName) {
        r.message = kWsNameTooLong;
        return r;
    }
    if (!isValidName(r.workspaceName)) {
        r.message = kBadFilePath;
        return r;
    }
    if (quoted) {
        if (mustExist) {
            if (!exists(r.path, false)) r.message = kFileNotFound;
        } else {
            std::size_t slash = r.path.rfind('/');
            std::string dir = slash == std::string::npos ? std::string(".") : r.path.substr(0, slash + 1);
            if (!exists(dir, true)) r.message = kFileNotFound;
        }
        return r;
    }
    std::string base = std::string(folder) + r.workspaceName + ".";
    r.path = base + std::string(extension);
    if (mustExist && !exists(r.path, false)) {
        r.path = base + "txt";
        if (!exists(r.path, false)) r.message = kFileNotFound;
    }
    return r;
}

std::string fileTimeText(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    std::tm local{};
    time_t t = st.st_mtime;
    if (!localtime_r(&t, &local)) return {};
    char text[64];
    std::size_t n = std::strftime(text, sizeof text, "%Y.%m.%d %H:%M:%S", &local);
    long hours = local.tm_gmtoff / 3600;
    char sign = hours > 0 ? '+' : hours < 0 ? '-' : ' ';
    std::snprintf(text + n, sizeof text - n, " (gmt%c%ld)", sign, std::labs(hours));
    return text;
}

bool readWholeFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return false;
    *text = s.str();
    return true;
}

}  // namespace wox::session
