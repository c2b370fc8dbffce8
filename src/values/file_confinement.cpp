#include "values/file_confinement.h"

#include <filesystem>
#include <system_error>

namespace wox::values {

namespace {

namespace fs = std::filesystem;

// As many links as Linux follows in one path (ELOOP beyond).
constexpr int kMaxLinkHops = 40;

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
    fs::path resolved = fs::absolute(path, ec);
    if (ec) return false;
    // weakly_canonical stops at a link whose target does not exist yet, but
    // opening it for writing would make that target: follow such links by
    // hand, as far as the system itself would.
    for (int hops = 0;; ++hops) {
        resolved = fs::weakly_canonical(resolved, ec);
        if (ec || hops > kMaxLinkHops) return false;
        if (!fs::is_symlink(fs::symlink_status(resolved, ec))) break;
        fs::path target = fs::read_symlink(resolved, ec);
        if (ec) return false;
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    // The folder itself counts as inside (making it again is harmless).
    std::string text = resolved.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text.compare(0, root.size(), root) == 0;
}

}  // namespace wox::values
