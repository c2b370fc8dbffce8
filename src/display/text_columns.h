#pragma once
// How many columns a text takes on the screen: a UTF-8 sequence shows as one
// character, so its continuation bytes take none. Cells are padded and lines
// wrapped by this count, so that texts with accents line up.
#include <string_view>

namespace wox::display {

inline int textColumns(std::string_view s) {
    int n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace wox::display
