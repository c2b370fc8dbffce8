#pragma once
// What the desktop program remembers between runs beside the configuration
// file: the session's font and colours and the recent workspace files, kept
// through QSettings under the organisation "Harnwick".
#include <QColor>
#include <QFont>
#include <QStringList>

namespace wox::gui::ViewSettings {

inline constexpr const char* kOrganisation = "Harnwick";
inline constexpr const char* kApplication = "wox-gui";

// "Courier New" 12 points (or the nearest fixed-pitch font) until changed.
QFont font();
void setFont(const QFont& font);
// Blue text on the system's window colour until changed; an invalid
// background means the system's.
QColor textColour();
QColor background();
void setColours(const QColor& text, const QColor& background);
QStringList recentFiles();
void setRecentFiles(const QStringList& files);

}  // namespace wox::gui::ViewSettings
