#include "session/query_library.h"

#include "frontend/global_names_mark.h"
#include "session/session.h"
#include "values/messages.h"

namespace wox::session {

Rc Session::loadQueryLibrary(int lineTemp) {
    // A read of the library that reads the library would never end.
    if (libraryLine_) return kLibraryMissing;
    const std::string_view text = queryLibraryText_.empty() ? queryLibraryText() : std::string_view(queryLibraryText_);
    const bool failedBefore = lastLineFailed_;
    const bool anyFailedBefore = anyLineFailed_;
    const frontend::GlobalNamesMark names = frontend::markGlobalNames(in_.frontEnd());
    libraryLine_ = lineTemp;
    ++scriptDepth_;
    const int result = script_file::readScript(in_, script_file::scriptLines(text), scriptOptions());
    --scriptDepth_;
    libraryLine_.reset();
    // A library that did not load leaves no names behind: its do must not
    // hide the keyword, whose next call tries again.
    if (result != 0) frontend::dropGlobalNamesSince(in_.frontEnd(), names);
    // Failures inside count only as the one the line reports.
    lastLineFailed_ = failedBefore;
    anyLineFailed_ = anyFailedBefore;
    return result == 0 ? kOk : kLibraryMissing;
}

}  // namespace wox::session
