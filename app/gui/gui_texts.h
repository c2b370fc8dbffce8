#pragma once
// Every text the desktop program shows of its own: captions, questions,
// refusals, status-bar formats and the echoes of menu commands.
#include <QString>
#include <string_view>

namespace wox::gui::text {

inline constexpr std::string_view kCaption = " Wox Interpreter";
inline constexpr std::string_view kAreYouSure = "Are you sure?";
inline constexpr std::string_view kConfigurationMissing = "Regedit Information Missing";
inline constexpr std::string_view kTestFlag = "test";
inline constexpr std::string_view kVersionFlag = "version";

// Status-bar panes.
inline constexpr const char* kCurrentPath = "Current Path: [ %1 ]";
inline constexpr std::string_view kPathNotClear = "Path is not clear";
inline constexpr std::string_view kPositionAtStart = "postion, start";
inline constexpr const char* kPosition = " Ln  %d   Col  %d ";
inline constexpr std::string_view kRunning = "running: Ctrl+Break stops the line";

// Menu commands echo these over the input line ("%1" the prompt).
inline constexpr const char* kClearEcho = "%1)clear";
inline constexpr const char* kSaveEcho = "%1)save";
inline constexpr const char* kLoadEcho = "%1)load %2";
inline constexpr const char* kSaveAsEcho = "%1)save %2";

// File dialogs.
inline constexpr std::string_view kOpenFilter = "Wox WS(*.wox)";
inline constexpr std::string_view kSaveFilter = "Wox WorkSpace (*.wox)";

// The workspace-folder dialog.
inline constexpr std::string_view kPathDialogTitle = "Workspace Path";
inline constexpr std::string_view kPathError = "path error";
inline constexpr std::string_view kBrowseTitle = "Please select your directory.";
inline constexpr std::string_view kCheckPathFirst = "Please check this file first";

// The function editor.
inline constexpr std::string_view kEditorNotStored = "defn error: the function is unchanged";
inline constexpr std::string_view kBusy = "a line is running; try again when it has finished";

// Help.
inline constexpr std::string_view kHelpMissing = "cannot open the help document ";

// A text of this file as a QString.
inline QString qtext(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace wox::gui::text
