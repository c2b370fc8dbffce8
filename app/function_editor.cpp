#include "function_editor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "session/function_requests.h"

namespace wox::app {

namespace {

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

std::string editFunction(Interpreter& in, std::string_view name) {
    std::vector<std::string> lines = session::functionSource(in, name);
    if (lines.empty()) return "defn error";
    char path[] = "/tmp/wox-edit-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "cannot make a file for the editor";
    close(fd);
    {
        std::ofstream f(path);
        for (const std::string& l : lines) f << l << '\n';
    }
    std::string command = editorCommand() + " " + quoted(path);
    int status = std::system(command.c_str());
    std::vector<std::string> edited;
    {
        std::ifstream f(path);
        std::string l;
        while (std::getline(f, l)) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            edited.push_back(l);
        }
    }
    std::remove(path);
    if (status != 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        return "the editor failed; the function is unchanged";
    if (edited == lines) return "";
    if (!session::defineEdited(in, edited)) return "defn error: the function is unchanged";
    return "";
}

}  // namespace wox::app
