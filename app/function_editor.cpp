#include "function_editor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "session/function_requests.h"
#include "session/line_text.h"
#include "state_folder.h"
#include "values/messages.h"

namespace wox::app {

namespace {

// The answers for refused text.
constexpr char kEditAgain = 'e';
constexpr char kKeepText = 'k';
constexpr char kDiscardText = 'd';

// Why nothing was defined: the editor failed, or the text was refused.
std::string unchanged(bool editorRan) {
    std::string text = editorRan ? std::string(messageText(kDefinitionError)) + ": " : "the editor failed; ";
    return text + "the function is unchanged";
}

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string p(path);
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find(':', start);
        if (end == std::string::npos) end = p.size();
        std::string candidate = p.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Single quotes make the file name one word for the shell.
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A file made with a name of its own from `pattern` (ending in "XXXXXX"),
// taken away again unless it is kept.
class OwnFile {
public:
    explicit OwnFile(std::string pattern) : path_(std::move(pattern)) {
        int fd = mkstemp(path_.data());
        if (fd < 0) path_.clear();
        else close(fd);
    }
    OwnFile(const OwnFile&) = delete;
    OwnFile& operator=(const OwnFile&) = delete;
    ~OwnFile() {
        if (!path_.empty() && !kept_) std::remove(path_.c_str());
    }
    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

    bool write(const std::vector<std::string>& lines) const {
        std::ofstream f(path_, std::ios::trunc);
        for (const std::string& l : lines) f << l << '\n';
        f.close();
        return !f.fail();
    }
    std::vector<std::string> read() const {
        std::vector<std::string> lines;
        std::ifstream f(path_);
        std::string l;
        while (std::getline(f, l)) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            lines.push_back(l);
        }
        return lines;
    }

private:
    std::string path_;
    bool kept_ = false;
};

// True when the editor ended well.
bool runEditor(const std::string& path) {
    std::string command = editorCommand() + " " + quoted(path);
    int status = std::system(command.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What to do with refused text. No answer keeps it: nothing is lost when
// no one can say otherwise.
char choose(const EditorDialog& dialog, const std::string& keptIn) {
    dialog.say(std::string(1, kEditAgain) + " to edit again, " + kKeepText + " to keep the text in " + keptIn + ", " +
               kDiscardText + " to discard");
    const std::string question = std::string(1, kEditAgain) + ", " + kKeepText + " or " + kDiscardText + "? ";
    for (;;) {
        std::optional<std::string> answer = dialog.ask ? dialog.ask(question) : std::nullopt;
        if (!answer) return kKeepText;
        std::string_view a = session::trimBlanks(*answer);
        if (a.empty()) continue;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(a.front())));
        if (c == kEditAgain || c == kKeepText || c == kDiscardText) return c;
    }
}

}  // namespace

std::string editorCommand() {
    for (const char* var : {"VISUAL", "EDITOR"}) {
        const char* v = std::getenv(var);
        if (v && *v) return v;
    }
    for (const char* program : {"editor", "nano", "vi"})
        if (onPath(program)) return program;
    return "vi";
}

void editFunction(Interpreter& in, std::string_view name, const EditorDialog& dialog) {
    std::vector<std::string> lines = session::functionSource(in, name);
    std::string_view newName;
    if (lines.empty()) {
        lines = session::newFunctionSource(in, name);
        newName = name;
    }
    if (lines.empty()) {
        dialog.say(messageText(kDefinitionError));
        return;
    }
    OwnFile scratch("/tmp/wox-edit-XXXXXX");
    if (!scratch.made() || !scratch.write(lines)) {
        dialog.say("cannot make a file for the editor");
        return;
    }
    // Refused text goes to a file of the state folder, named once it is
    // first refused; without that folder it stays in the scratch file.
    std::optional<OwnFile> keeping;
    for (;;) {
        const bool ran = runEditor(scratch.path());
        std::vector<std::string> edited = scratch.read();
        if (edited == lines) {
            if (!ran) dialog.say(unchanged(false));
            return;
        }
        if (ran && session::defineEdited(in, edited, newName)) return;
        dialog.say(unchanged(ran));
        if (!keeping) {
            std::string problem;
            std::string folder = stateFolder(&problem);
            if (!folder.empty()) keeping.emplace(folder + "/" + std::string(name) + "-XXXXXX");
        }
        const bool ownPlace = keeping && keeping->made();
        const std::string& keptIn = ownPlace ? keeping->path() : scratch.path();
        switch (choose(dialog, keptIn)) {
            case kEditAgain:
                continue;
            case kKeepText:
                if (ownPlace && keeping->write(edited)) {
                    keeping->keep();
                    dialog.say("the text is kept in " + keptIn);
                } else {
                    scratch.keep();
                    dialog.say("the text is kept in " + scratch.path());
                }
                return;
            default:  // discarded
                return;
        }
    }
}

}  // namespace wox::app
