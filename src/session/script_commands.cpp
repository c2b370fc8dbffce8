// The script-file commands: FLOAD clears the workspace and reads a script,
// FCOPY reads one into the workspace as it is, P is FLOAD with line timing,
// OUT writes functions and variables into one. Every read checks the
// script's blocks first, so one that does not read changes nothing.
#include <string>
#include <vector>

#include "engine/workspace_clear.h"
#include "frontend/source_text.h"
#include "script_file/script_reader.h"
#include "script_file/script_writer.h"
#include "session/file_names.h"
#include "session/session.h"
#include "values/file_replacement.h"
#include "values/messages.h"

namespace wox::session {
namespace {

constexpr std::string_view kScriptExtension = "vsf";
// How many scripts may be read one inside another (a script that reads
// itself would otherwise never end).
constexpr int kMaxScriptDepth = 17;
// How many names OUT writes, besides the file's own: a longer list is
// refused whole rather than written in part.
constexpr std::size_t kMaxOutNames = 50;

// The names of OUT's argument, separated by blanks and tabs; false for a
// character that cannot start a name.
bool outNames(std::string_view argument, std::vector<std::string>* names) {
    using frontend::text::isBlank;
    for (std::size_t i = 0; i < argument.size();) {
        if (isBlank(argument[i])) {
            ++i;
            continue;
        }
        if (!frontend::text::isLetter(argument[i])) return false;
        std::size_t end = frontend::text::nameEnd(argument, i);
        names->emplace_back(argument.substr(i, end - i));
        i = end;
    }
    return true;
}

}  // namespace

int Session::commandReadScript(std::string_view argument, bool clear, bool timing) {
    ResolvedFile file = resolveFileName(argument, kScriptExtension, true, workspaceFolder_);
    if (file.message != 0) {
        showMessage(file.message);
        return 1;
    }
    return readScriptFile(file.path, clear, timing, true);
}

int Session::loadScript(const std::string& path, bool announce) { return readScriptFile(path, true, false, announce); }

int Session::readScriptFile(const std::string& path, bool clear, bool timing, bool announce) {
    std::string text;
    if (!readWholeFile(path, &text)) {
        showMessage(kBadFilePath);
        return 1;
    }
    if (scriptDepth_ >= kMaxScriptDepth) {
        showMessage(kScriptsTooDeep);
        return 1;
    }
    const std::vector<std::string> lines = script_file::scriptLines(text);
    if (timing) in_.errors.lineTiming = true;
    // A script whose blocks or definitions do not read is refused before
    // the workspace is reset or any of its lines runs.
    if (script_file::checkScript(in_, lines, scriptOptions()) != 0) {
        noteFailure();
        return 1;
    }
    if (clear) {
        // The timing flag outlives the reset: only a P that succeeds lowers it.
        const bool timed = in_.errors.lineTiming;
        workspaceName_.clear();
        (void)engine::clearWorkspace(in_);
        in_.errors.lineTiming = timed;
    }
    ++scriptDepth_;
    int result = script_file::readScript(in_, lines, scriptOptions());
    --scriptDepth_;
    if (result != 0) {
        noteFailure();
        return 1;
    }
    // Only a read that succeeded lowers the timing flag.
    if (timing) in_.errors.lineTiming = false;
    if (announce) write(Piece::Output, "\r\nsaved " + fileTimeText(path));
    return 0;
}

script_file::ScriptOptions Session::scriptOptions() const {
    script_file::ScriptOptions options;
    if (libraryLine_) options.insideLine = libraryLine_;
    else options.numbered = testMode_.on;
    return options;
}

int Session::scriptCommand(std::string_view commandLine) {
    int result = dispatchCommand(commandLine);
    if (result != 0) noteFailure();
    return result;
}

int Session::commandOut(std::string_view argument) {
    std::vector<std::string> names;
    if (!outNames(argument, &names) || names.size() > kMaxOutNames + 1) {
        showMessage(kIncorrectCommand);
        return 1;
    }
    std::string fileName = names.empty() ? workspaceName_ : names.front();
    if (fileName.empty()) {
        showMessage(kFileNameRequired);
        return 1;
    }
    ResolvedFile file = resolveFileName(fileName, kScriptExtension, false, workspaceFolder_);
    if (file.message != 0) {
        showMessage(file.message);
        return 1;
    }
    if (names.size() < 2) names.clear();
    std::string text;
    std::string problem;
    if (!script_file::scriptText(in_, names, &text, &problem)) {
        showMessage(kSaveFailed);
        write(Piece::Output, "\r\n" + problem);
        return 1;
    }
    if (!values::replaceFile(file.path, text, ".wox-out-", &problem)) {
        showMessage(kSaveFailed);
        write(Piece::Output, "\r\n" + problem);
        return 1;
    }
    return 0;
}

}  // namespace wox::session
