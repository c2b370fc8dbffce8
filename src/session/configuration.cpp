#include "session/configuration.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include "session/line_text.h"
#include "values/file_confinement.h"

#ifndef WOX_DATA_DIR
#define WOX_DATA_DIR "/usr/local/share/wox/"
#endif

namespace wox::session {

namespace fs = std::filesystem;

namespace {

inline constexpr std::string_view kSection = "[Wox]";

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string_view envOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string_view(v) : std::string_view();
}

}  // namespace

ConfigurationPlaces configurationPlaces(std::string_view home, std::string_view xdgConfigHome) {
    ConfigurationPlaces p;
    std::string homeDir = home.empty() ? std::string("/") : std::string(home);
    fs::path configDir = xdgConfigHome.empty() ? fs::path(homeDir) / ".config" : fs::path(xdgConfigHome);
    p.file = configDir / "wox" / "wox.conf";
    p.defaultBinaryPath = withSlash(WOX_DATA_DIR);
    p.defaultWorkspacePath = withSlash((fs::path(homeDir) / "wox" / "ws").string());
    return p;
}

ConfigurationPlaces configurationPlaces() {
    return configurationPlaces(envOrEmpty("HOME"), envOrEmpty("XDG_CONFIG_HOME"));
}

Configuration parseConfiguration(std::string_view text) {
    Configuration c;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view key = trimBlanks(line.substr(0, eq));
        std::string value(trimBlanks(line.substr(eq + 1)));
        if (key == kVersionKey) c.version = value;
        else if (key == kBinaryPathKey) c.binaryPath = value;
        else if (key == kWorkspacePathKey) c.workspacePath = value;
    }
    return c;
}

std::string configurationText(const Configuration& c) {
    std::string t(kSection);
    t += '\n';
    t += std::string(kVersionKey) + "=" + c.version + "\n";
    t += std::string(kBinaryPathKey) + "=" + c.binaryPath + "\n";
    t += std::string(kWorkspacePathKey) + "=" + c.workspacePath + "\n";
    return t;
}

bool saveConfiguration(const ConfigurationPlaces& places, const Configuration& c, std::string* problem) {
    std::error_code ec;
    if (!values::fileEffectAllowed(places.file.string())) ec = std::make_error_code(std::errc::permission_denied);
    else fs::create_directories(places.file.parent_path(), ec);
    if (ec) {
        *problem = "cannot make " + places.file.parent_path().string() + ": " + ec.message();
        return false;
    }
    fs::path temp = places.file;
    temp += ".new";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f << configurationText(c);
        f.flush();
        if (!f) {
            *problem = "cannot write " + temp.string();
            return false;
        }
    }
    fs::rename(temp, places.file, ec);
    if (ec) {
        *problem = "cannot write " + places.file.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool loadConfiguration(const ConfigurationPlaces& places, Configuration& out, std::string* problem) {
    Configuration c;
    {
        std::ifstream in(places.file, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            c = parseConfiguration(text.str());
        }
    }
    bool missing = c.workspacePath.empty() || c.binaryPath.empty() || c.version != kVersionMarker;
    std::error_code ec;
    if (missing) {
        c.version = std::string(kVersionMarker);
        c.binaryPath = places.defaultBinaryPath;
        c.workspacePath = places.defaultWorkspacePath;
        if (!saveConfiguration(places, c, problem)) return false;
    }
    c.workspacePath = withSlash(c.workspacePath);
    c.binaryPath = withSlash(c.binaryPath);
    if (!values::fileEffectAllowed(c.workspacePath)) ec = std::make_error_code(std::errc::permission_denied);
    else fs::create_directories(c.workspacePath, ec);
    if (ec) {
        *problem = "cannot make the workspace folder " + c.workspacePath + ": " + ec.message();
        return false;
    }
    out = std::move(c);
    return true;
}

}  // namespace wox::session
