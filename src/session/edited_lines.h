#pragma once
// The earlier transcript lines the user has changed since the last Enter,
// each with the text it had before the first keystroke on it. At Enter the
// session runs the changed lines again and puts the saved texts back, so the
// transcript above keeps showing what really ran.
#include <string>
#include <string_view>
#include <vector>

namespace wox::session {

class EditedLines {
public:
    static constexpr int kCapacity = 100;

    struct Entry {
        int line = 0;
        std::string saved;
    };

    bool contains(int line) const;
    // Records a line once, with its text before the change. Beyond the
    // capacity nothing is recorded and false is returned; `overflowed` then
    // stays true until the table is cleared.
    bool record(int line, std::string_view text);

    int count() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    bool overflowed() const { return overflowed_; }
    // The recorded lines in ascending line order.
    std::vector<Entry> ascending() const;
    void clear();

private:
    std::vector<Entry> entries_;  // in the order recorded
    bool overflowed_ = false;
};

}  // namespace wox::session
