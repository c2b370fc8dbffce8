#pragma once
// The start of a program that runs a session, the terminal's and the
// desktop's alike: the configuration, the standard library in the workspace
// folder, the interpreter, the file named on the command line
// and the first display. Each program shows problems its own way (standard
// error, message boxes) and keeps its terminal or windows to itself.
#include <functional>
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "session/configuration.h"
#include "session/session.h"

namespace wox::session {

// Where a program shows a text: a start-up problem, a diagnostic.
using Report = std::function<void(std::string_view)>;

inline constexpr std::string_view kNoWorkspaceHeap = "cannot reserve the workspace heap";

// Reads the configuration at `places` (writing it on a first start), then
// writes the standard library into its workspace folder when no file of
// that name is there. False with the reason when there is no
// configuration; a library that cannot be written only goes to `warn`,
// since the folder still serves.
bool loadStartConfiguration(const ConfigurationPlaces& places, Configuration& config, std::string* problem,
                            const Report& warn);

// Readies a workspace folder for a session: the standard library written
// when no file of that name is there (a library that cannot be written goes
// to `warn`), and the temporary files of saves that were killed taken away.
void prepareWorkspaceFolder(const std::string& folder, const Report& warn);

// Readies a new interpreter: the numeric library's errors come back as
// values. False when its workspace heap could not be reserved
// (kNoWorkspaceHeap). The interpreter's diagnostics go where the session's
// message box shows them (Session::setMessageBox).
bool readyInterpreter(Interpreter& in);

// The file named on the command line: a workspace file, loaded before the
// first display, or a script file, read after the banner as FLOAD reads one.
struct StartFile {
    std::string path;           // empty: none
    bool script = false;
    std::string workspaceName;  // of a workspace file, once it has loaded
};

// A command-line argument: a script when it ends in ".vsf".
StartFile startFileNamed(std::string path);

// Loads a workspace file into `in`, or checks that a script file can be
// read. False with the reason a workspace file was refused (empty for a
// script).
bool openStartFile(Interpreter& in, StartFile& file, std::string* reason);
// What a program says of a file that did not open: "cannot load PATH:
// REASON" or "cannot read PATH".
std::string startFileProblem(const StartFile& file, std::string_view reason);

// Puts the session in the configured workspace folder and shows the first
// display: the banner, the loaded workspace's name or "CLEAR WS", the
// script read (`announce` as for Session::loadScript), the first prompt.
void startSession(Session& session, const Configuration& config, const StartFile& file, bool announce);

}  // namespace wox::session
