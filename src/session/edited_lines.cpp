#include "session/edited_lines.h"

#include <algorithm>

namespace wox::session {

bool EditedLines::contains(int line) const {
    return std::any_of(entries_.begin(), entries_.end(), [line](const Entry& e) { return e.line == line; });
}

bool EditedLines::record(int line, std::string_view text) {
    if (contains(line)) return true;
    if (count() >= kCapacity) {
        overflowed_ = true;
        return false;
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    entries_.push_back(Entry{line, std::string(text)});
    return true;
}

std::vector<EditedLines::Entry> EditedLines::ascending() const {
    std::vector<Entry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
    return sorted;
}

void EditedLines::clear() {
    entries_.clear();
    overflowed_ = false;
}

}  // namespace wox::session
