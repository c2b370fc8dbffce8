#pragma once
// The name the Open and Save As menus hand to LOAD and SAVE for a file the
// user chose: its bare title when it lies in the workspace folder with the
// workspace extension, else its full path in single quotes.
#include <QString>

namespace wox::gui {

QString commandFileName(const QString& chosenPath, const QString& workspaceFolder);

}  // namespace wox::gui
