// The regression suite. SU reads every test script of the test list as
// FLOAD does, in test mode: the script reader echoes nothing and records a
// failing system command line in the test's failure flag instead of
// stopping. A test fails when that flag is set, or when its script could
// not be read at all; the report names the failed tests and ends with the
// totals, and the session transcript is saved as suite01.log. MF merges the
// test sources with their result listings into one file.
#include <cstdio>
#include <string>
#include <vector>

#include "script_file/script_reader.h"
#include "session/diagnostic_folders.h"
#include "session/file_names.h"
#include "session/line_text.h"
#include "session/session.h"
#include "values/file_replacement.h"
#include "values/messages.h"

namespace wox::session {

namespace {

constexpr std::string_view kSuiteTranscript = "suite01";
// A test list line is "number: script"; the name begins two characters
// after the colon and the line ends where ";" was put after it.
constexpr char kNameMark = ':';
constexpr char kEntryEnd = ';';
constexpr std::size_t kNameOffset = 2;
// MF takes the line that starts so, and the lines after it.
constexpr std::string_view kMergeMark = "//&";
constexpr std::size_t kMergeLines = 3;
constexpr std::string_view kMergeFinished = "mixfile is finished";
constexpr std::string_view kMergeFailed = "save failed";
constexpr const char* kMergeTempPrefix = ".wox-mf-";

// The lines of a file; none when it cannot be read.
std::vector<std::string> fileLines(const std::string& path) {
    std::string text;
    if (!readWholeFile(path, &text)) return {};
    return script_file::scriptLines(text);
}

std::string upToFirstDot(std::string_view name) { return std::string(name.substr(0, name.find('.'))); }

}  // namespace

int Session::commandSu() {
    // A test script cannot run the suite again from inside it.
    if (testMode_.on) return fail(kIncorrectCommand);
    const DiagnosticFolders folders(workspaceFolder_);
    testMode_ = TestMode{};
    testMode_.on = true;
    std::string list;
    for (const std::string& line : fileLines(folders.testList())) list += line + kEntryEnd;
    std::string report;
    int failures = 0;
    char buffer[512];
    std::string_view rest = list;
    while (!rest.empty() && !switchedOff_) {
        const std::size_t colon = rest.find(kNameMark);
        const std::size_t end = rest.find(kEntryEnd);
        // A list line without a colon ends the run.
        if (colon == std::string_view::npos || end == std::string_view::npos || end < colon) break;
        ++testMode_.number;
        const std::size_t from = colon + kNameOffset;
        const std::string name(from <= end ? trimBlanks(rest.substr(from, end - from)) : std::string_view());
        rest.remove_prefix(end + 1);
        testMode_.failed = false;
        write(Piece::Output, "\r\n[ " + upToFirstDot(name) + " ]");
        std::string quoted(1, '\'');
        quoted += folders.testScripts();
        quoted += name;
        quoted += '\'';
        if (commandReadScript(quoted, true, false) != 0) testMode_.failed = true;
        if (testMode_.failed) {
            std::snprintf(buffer, sizeof buffer, "[%2d] %s\r\n", testMode_.number, name.c_str());
            report += buffer;
            ++failures;
        }
    }
    const int total = testMode_.number;
    std::snprintf(buffer, sizeof buffer, "total:[%2d]:\n right:[%2d]\t wrong[%2d]", total, total - failures,
                  failures);
    report += buffer;
    write(Piece::Output, "\r\n" + report);
    const bool saved = commandSt(kSuiteTranscript) == 0;
    testMode_ = TestMode{};
    if (!saved) return 1;
    write(Piece::Output, "\r\nfile " + std::string(kSuiteTranscript) + ".log is saved in dir: " + folders.transcripts());
    return failures > 0 ? 1 : 0;
}

int Session::commandMf() {
    const DiagnosticFolders folders(workspaceFolder_);
    std::string merged;
    for (const std::string& entry : fileLines(folders.mergeList())) {
        const std::size_t colon = entry.find(kNameMark);
        if (colon == std::string::npos) continue;
        const std::string name(trimBlanks(std::string_view(entry).substr(colon + 1)));
        std::string text;
        if (name.empty() || !readWholeFile(folders.mergeSources() + name, &text)) continue;
        const std::vector<std::string> source = script_file::scriptLines(text);
        for (std::size_t i = 0; i < source.size(); ++i) {
            if (!source[i].starts_with(kMergeMark)) continue;
            for (std::size_t j = i; j < source.size() && j < i + kMergeLines; ++j) merged += source[j] + "\n";
            break;
        }
        for (const std::string& line : fileLines(folders.mergeResults() + upToFirstDot(name) + ".txt"))
            merged += line + "\n";
        merged += "\n";
    }
    std::string problem;
    if (!values::replaceFile(folders.mergeOutput(), merged, kMergeTempPrefix, &problem)) {
        write(Piece::Output, "\r\n" + std::string(kMergeFailed));
        return 1;
    }
    write(Piece::Output, "\r\n" + std::string(kMergeFinished));
    return 0;
}

}  // namespace wox::session
