#include "view_settings.h"

#include <QSettings>

namespace wox::gui::ViewSettings {

namespace {

constexpr const char* kFontKey = "view/font";
constexpr const char* kTextKey = "view/textColour";
constexpr const char* kBackgroundKey = "view/background";
constexpr const char* kRecentKey = "files/recent";
constexpr int kDefaultPoints = 12;

QSettings store() { return QSettings(kOrganisation, kApplication); }

}  // namespace

QFont font() {
    QFont f(QStringLiteral("Courier New"), kDefaultPoints);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    QString saved = store().value(kFontKey).toString();
    if (!saved.isEmpty()) f.fromString(saved);
    return f;
}

void setFont(const QFont& f) { store().setValue(kFontKey, f.toString()); }

QColor textColour() {
    QColor c(store().value(kTextKey).toString());
    return c.isValid() ? c : QColor(0, 0, 255);
}

QColor background() { return QColor(store().value(kBackgroundKey).toString()); }

void setColours(const QColor& text, const QColor& background) {
    QSettings s = store();
    s.setValue(kTextKey, text.name());
    s.setValue(kBackgroundKey, background.name());
}

QStringList recentFiles() { return store().value(kRecentKey).toStringList(); }

void setRecentFiles(const QStringList& files) { store().setValue(kRecentKey, files); }

}  // namespace wox::gui::ViewSettings
