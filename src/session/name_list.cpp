#include "session/name_list.h"

#include <algorithm>
#include <array>

namespace wox::session {

namespace {
constexpr std::size_t kPerRow = 8;
}

std::string nameListText(std::vector<std::string> names) {
    std::string text;
    if (names.empty()) return text;
    std::sort(names.begin(), names.end());
    if (names.size() <= kPerRow) {
        text += "\r\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0) text += "  ";
            text += names[i];
        }
        return text;
    }
    std::array<std::size_t, kPerRow> width{};
    for (std::size_t i = 0; i < names.size(); ++i) width[i % kPerRow] = std::max(width[i % kPerRow], names[i].size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t c = i % kPerRow;
        text += c == 0 ? "\r\n" : "  ";
        text += names[i];
        text.append(width[c] - names[i].size(), ' ');
    }
    return text;
}

}  // namespace wox::session
