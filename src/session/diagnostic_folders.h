#pragma once
// Where the diagnostic commands keep their files: one folder "diag/" inside
// the workspace folder, with the sub-folders and file names the developers'
// folders always had.
//
//   diag/etest/dolist.txt         the test list of SU
//   diag/etest/ts03/              the test scripts of SU
//   diag/loadf/NAME.log           transcripts saved by ST (and SU: suite01)
//   diag/loadf/open.txt           the transcript saved by OPEN
//   diag/loadf/testbox/det.vsf    the script IF translates
//   diag/cando/dolist.txt         the list of test sources MF merges
//   diag/cando_list/              their result listings, and MF's result_res.txt
#include <string>
#include <string_view>

namespace wox::session {

class DiagnosticFolders {
public:
    // `workspaceFolder` ends with "/".
    explicit DiagnosticFolders(std::string_view workspaceFolder) : root_(std::string(workspaceFolder) + "diag/") {}

    std::string testList() const { return root_ + "etest/dolist.txt"; }
    std::string testScripts() const { return root_ + "etest/ts03/"; }
    std::string transcripts() const { return root_ + "loadf/"; }
    std::string transcriptFile(std::string_view name) const { return transcripts() + std::string(name) + ".log"; }
    std::string openFile() const { return transcripts() + "open.txt"; }
    std::string translationScript() const { return transcripts() + "testbox/det.vsf"; }
    std::string mergeSources() const { return root_ + "cando/"; }
    std::string mergeList() const { return mergeSources() + "dolist.txt"; }
    std::string mergeResults() const { return root_ + "cando_list/"; }
    std::string mergeOutput() const { return mergeResults() + "result_res.txt"; }

private:
    std::string root_;
};

}  // namespace wox::session
