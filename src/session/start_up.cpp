#include "session/start_up.h"

#include <gsl/gsl_errno.h>

#include <fstream>

#include "session/file_names.h"
#include "session/standard_library.h"
#include "values/file_replacement.h"
#include "values/messages.h"
#include "workspace_file/workspace_reader.h"

namespace wox::session {

namespace {

constexpr std::string_view kScriptExtension = ".vsf";

}  // namespace

bool loadStartConfiguration(const ConfigurationPlaces& places, Configuration& config, std::string* problem,
                            const Report& warn) {
    if (!loadConfiguration(places, config, problem)) return false;
    prepareWorkspaceFolder(config.workspacePath, warn);
    return true;
}

void prepareWorkspaceFolder(const std::string& folder, const Report& warn) {
    // A fresh folder needs the library before the first `do` can load the
    // query library, which copies it in.
    std::string libraryProblem;
    if (!installStandardLibrary(folder, &libraryProblem) && warn) warn(libraryProblem);
    values::removeStaleTemporaries(folder);
}

bool readyInterpreter(Interpreter& in) {
    // The library's default handler would end the process.
    gsl_set_error_handler_off();
    return in.ws.region.ok();
}

StartFile startFileNamed(std::string path) {
    StartFile file;
    file.script = std::string_view(path).ends_with(kScriptExtension);
    file.path = std::move(path);
    return file;
}

bool openStartFile(Interpreter& in, StartFile& file, std::string* reason) {
    reason->clear();
    if (file.script) return static_cast<bool>(std::ifstream(file.path));
    workspace_file::LoadResult r = workspace_file::loadWorkspaceFile(in, file.path);
    if (!r.loaded) {
        *reason = r.message.empty() ? messageText(kFileNotFound) : r.message;
        return false;
    }
    file.workspaceName = workspaceNameOf(file.path);
    return true;
}

std::string startFileProblem(const StartFile& file, std::string_view reason) {
    if (file.script) return "cannot read " + file.path;
    return "cannot load " + file.path + ": " + std::string(reason);
}

void startSession(Session& session, const Configuration& config, const StartFile& file, bool announce) {
    session.setWorkspaceFolder(config.workspacePath);
    if (file.script) session.startWithScript(file.path, announce);
    else session.start(file.workspaceName);
}

}  // namespace wox::session
