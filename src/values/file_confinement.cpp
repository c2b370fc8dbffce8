#include "values/file_confinement.h"

#include <filesystem>
#include <system_error>

namespace wox::values {

namespace {

namespace fs = std::filesystem;

// The resolved folder, ending with "/"; empty while no fence is set.
std::string& fence() {
    static std::string folder;
    return folder;
}

}  // namespace

bool confineFileEffects(const std::string& folder) {
    if (folder.empty()) {
        fence().clear();
        return true;
    }
    std::error_code ec;
    fs::path resolved = fs::canonical(folder, ec);
    if (ec || !fs::is_directory(resolved, ec)) return false;
    std::string text = resolved.string();
    if (text.back() != '/') text += '/';
    fence() = std::move(text);
    return true;
}

bool fileEffectAllowed(const std::string& path) {
    const std::string& root = fence();
    if (root.empty()) return true;
    if (path.empty()) return false;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) return false;
    fs::path resolved = fs::weakly_canonical(absolute, ec);
    if (ec) return false;
    // The folder itself counts as inside (making it again is harmless).
    std::string text = resolved.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text.compare(0, root.size(), root) == 0;
}

}  // namespace wox::values
