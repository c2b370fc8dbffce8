#include "open_name.h"

#include <QDir>
#include <QFileInfo>

namespace wox::gui {

QString commandFileName(const QString& chosenPath, const QString& workspaceFolder) {
    QFileInfo chosen(chosenPath);
    // The title is the file name up to its first ".", as LOAD names the workspace.
    QString title = chosen.fileName().section(u'.', 0, 0);
    QString folder = QDir::cleanPath(workspaceFolder) + u'/';
    if (QDir::cleanPath(chosenPath) == folder + title + QStringLiteral(".wox")) return title;
    return u'\'' + chosenPath + u'\'';
}

}  // namespace wox::gui
