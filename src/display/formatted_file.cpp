#include "display/formatted_file.h"

#include <sys/stat.h>

#include "display/character_form.h"
#include "values/file_replacement.h"
#include "values/messages.h"
#include "values/shape.h"

namespace wox::display {

namespace {

constexpr std::size_t kShortestPath = 2;
constexpr const char* kTempPrefix = ".wox-fm-";

bool isFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

Rc fileTextOf(const values::Context& cx, const ValueDescriptor& d, std::string& text) {
    std::string form;
    std::int64_t rowWidth = 0;
    WOX_TRY(characterForm(cx, d, form, rowWidth));
    if (d.rank < 2 || rowWidth <= 0 || form.empty()) {
        text = std::move(form);
        return kOk;
    }
    const std::size_t width = static_cast<std::size_t>(rowWidth);
    const std::size_t planeRows = static_cast<std::size_t>(values::dimension(cx.ws, d, d.rank - 2));
    const std::size_t rows = form.size() / width;
    text.clear();
    text.reserve(form.size() + 2 * rows);
    for (std::size_t r = 0; r < rows; ++r) {
        if (r > 0) text += planeRows > 0 && r % planeRows == 0 ? "\n\n" : "\n";
        text.append(form, r * width, width);
    }
    return kOk;
}

Rc formatToFile(const values::Context& cx, ValueRef left, ValueRef right, std::int32_t* answer) {
    const ValueDescriptor l = cx.ws.at(left);
    const ValueDescriptor r = cx.ws.at(right);
    if (l.unset() || r.unset()) return kValueError;
    if (l.type != kChar || l.rank != 1 || l.count < static_cast<std::int32_t>(kShortestPath))
        return kFormatFilePath;
    std::string path(cx.ws.elems<char>(l), static_cast<std::size_t>(l.count));
    for (char& c : path)
        if (c == '\\') c = '/';
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || !isFolder(path.substr(0, slash + 1))) {
        *answer = kNotWritten;
        return kOk;
    }
    std::string text;
    WOX_TRY(fileTextOf(cx, r, text));
    // A file that cannot be written is left as it was.
    std::string problem;
    *answer = values::replaceFile(path, text, kTempPrefix, &problem) ? kWritten : kNotWritten;
    return kOk;
}

}  // namespace wox::display
