// The export commands: CPP writes a character matrix to a text file in the
// workspace folder, one line per row; CSV writes a table, keyed table or
// dictionary to a CSV file there.
#include <string>
#include <string_view>

#include "engine/csv_functions.h"
#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "session/line_text.h"
#include "session/session.h"
#include "values/file_replacement.h"
#include "values/keyed_value.h"
#include "values/messages.h"

namespace wox::session {

namespace {

constexpr std::string_view kVarNotFound = "var not found";
constexpr std::string_view kCppNotValid = "cpp not valid";
constexpr std::string_view kCheckPath = "check path";
constexpr std::string_view kCppExtension = ".cpp";
constexpr std::string_view kCsvExtension = ".csv";
constexpr const char* kCppTempPrefix = ".wox-cpp-";

struct ExportArgument {
    std::string_view file;
    std::string_view variable;
};

// The first two words of the argument.
ExportArgument exportWords(std::string_view argument) {
    ExportArgument a;
    std::size_t blank = argument.find(' ');
    a.file = argument.substr(0, blank);
    if (blank != std::string_view::npos) {
        std::string_view rest = trimBlanks(argument.substr(blank + 1));
        a.variable = rest.substr(0, rest.find(' '));
    }
    return a;
}

// The value of a global variable, or nothing.
const ValueDescriptor* variableValue(const Interpreter& in, std::string_view name) {
    if (name.empty()) return nullptr;
    int g = frontend::findGlobal(in.front, name);
    if (g < 0) return nullptr;
    const frontend::NameEntry& e = in.front.globals[static_cast<std::size_t>(g)];
    if (e.kind != frontend::kVariableName) return nullptr;
    const ValueDescriptor& d = in.ws.vars[static_cast<std::size_t>(e.slot)];
    return d.unset() ? nullptr : &d;
}

}  // namespace

int Session::exportFailure(std::string_view text) {
    write(Piece::Output, "\r\n" + std::string(text));
    return 1;
}

int Session::commandCpp(std::string_view argument) {
    ExportArgument a = exportWords(argument);
    std::string path = workspaceFolder_ + std::string(a.file) + std::string(kCppExtension);
    const ValueDescriptor* d = variableValue(in_, a.variable);
    if (!d) return exportFailure(kVarNotFound);
    if (d->type != kChar || d->rank != 2) return exportFailure(kCppNotValid);
    const std::size_t rows = static_cast<std::size_t>(d->shape0), width = static_cast<std::size_t>(d->shape1);
    const char* c = d->count > 0 ? in_.ws.base() + d->data : nullptr;
    std::string text;
    for (std::size_t r = 0; r < rows; ++r) {
        std::string_view row(c + r * width, width);
        while (!row.empty() && row.back() == ' ') row.remove_suffix(1);
        // A blank row writes nothing, not even its line end.
        if (row.empty()) continue;
        text += row;
        text += '\n';
    }
    // Replaced as a whole, so a failure part way keeps the old file.
    std::string problem;
    return values::replaceFile(path, text, kCppTempPrefix, &problem) ? 0 : exportFailure(kCheckPath);
}

int Session::commandCsv(std::string_view argument) {
    ExportArgument a = exportWords(argument);
    const ValueDescriptor* d = variableValue(in_, a.variable);
    if (!d) return exportFailure(kVarNotFound);
    if (!isTable(*d) && !isDictionary(*d)) return exportFailure(kCppNotValid);
    std::string path = workspaceFolder_ + std::string(a.file) + std::string(kCsvExtension);
    const Rc rc = engine::writeCsvFile(in_, *d, path);
    if (rc.code == kCsvNotWritten) return exportFailure(kCheckPath);
    return rc.failed() ? exportFailure(messageText(rc.code)) : 0;
}

}  // namespace wox::session
