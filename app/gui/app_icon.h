#pragma once
// The program's icon, drawn here as wox-gui.svg draws it, so windows have it
// without an image plugin or an installed theme.
#include <QIcon>

namespace wox::gui {

QIcon appIcon();

}  // namespace wox::gui
