#pragma once
// Damage done on purpose to a saved workspace. A file is resealed after a
// change to its body, so that the reader's checks of the body itself are
// what the test reaches, not the checksum's refusal.
#include <cstring>
#include <string>

#include "workspace_file/content_check.h"

namespace wox::workspace_file {

inline void reseal(std::string& f) {
    if (f.size() < kTrailerBytes || f.compare(f.size() - kTrailerBytes, kTrailerMark.size(), kTrailerMark) != 0)
        return;
    ContentCheck check;
    check.add(f.data(), f.size() - kTrailerBytes);
    const auto trailer = trailerFor(check);
    std::memcpy(f.data() + f.size() - kTrailerBytes, trailer.data(), trailer.size());
}

}  // namespace wox::workspace_file
