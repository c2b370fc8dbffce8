#pragma once
// The configuration: the version marker, the program's data folder and the
// workspace folder, kept in an INI file ($XDG_CONFIG_HOME/wox/wox.conf, by
// default ~/.config/wox/wox.conf). The first start writes it; a marker of
// another version makes the start write both folders afresh.
#include <filesystem>
#include <string>
#include <string_view>

namespace wox::session {

// The version is the project's (WOX_VERSION_TEXT, from CMake), so a new
// release writes the folders afresh and every program shows the same one.
inline constexpr std::string_view kVersionMarker = "Version [ " WOX_VERSION_TEXT " win32/64 ]";
// What `wox --version` prints and the banner's first line.
inline constexpr std::string_view kVersionLine = "WOX version " WOX_VERSION_TEXT;
inline constexpr std::string_view kVersionKey = "WOXVersion";
inline constexpr std::string_view kBinaryPathKey = "BinaryPath";
inline constexpr std::string_view kWorkspacePathKey = "WorkspacePath";

struct Configuration {
    std::string version;
    std::string binaryPath;     // ends with "/"
    std::string workspacePath;  // ends with "/"
};

// Where the file lives and what its defaults are, from HOME and
// XDG_CONFIG_HOME as given (either may be empty).
struct ConfigurationPlaces {
    std::filesystem::path file;
    std::string defaultBinaryPath;
    std::string defaultWorkspacePath;
};
ConfigurationPlaces configurationPlaces(std::string_view home, std::string_view xdgConfigHome);
// The same from this process's environment.
ConfigurationPlaces configurationPlaces();

// Reads the file; when it is missing, lacks a folder or holds another
// version marker, writes the marker and both default folders. The
// workspace folder is created when missing. Fails with a readable reason.
bool loadConfiguration(const ConfigurationPlaces& places, Configuration& out, std::string* problem);

// Writes the file (beside it first, then renamed over it, so a half-written
// file is never read). Fails with a readable reason.
bool saveConfiguration(const ConfigurationPlaces& places, const Configuration& c, std::string* problem);

// The values of an INI text; lines other than key=value are ignored.
Configuration parseConfiguration(std::string_view text);
std::string configurationText(const Configuration& c);

}  // namespace wox::session
