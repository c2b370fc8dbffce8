#pragma once
// The desktop program's start: the session's start-up (session/start_up.h)
// with its problems shown in message boxes, the flags of the command line,
// then the main window with the workspace file it names and its first
// display.
#include <QStringList>
#include <memory>

#include "main_window.h"

namespace wox::gui {

struct DesktopStart {
    std::unique_ptr<MainWindow> window;  // null: the program ends at once
    int status = 0;                      // with this exit status
};

// `arguments` leave out the program's own name. Flags: -t and -v show what
// they stand for, and given last they end the program; any other argument
// is a workspace file to open.
DesktopStart startDesktop(const QStringList& arguments);

}  // namespace wox::gui
