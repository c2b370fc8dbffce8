#include "app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace wox::gui {

namespace {

QPixmap drawn(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(size / 64.0, size / 64.0);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x1d, 0x3f, 0x8f));
    g.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    g.setBrush(Qt::white);
    g.drawRoundedRect(QRectF(8, 8, 48, 48), 6, 6);
    QFont f(QStringLiteral("monospace"));
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    f.setPixelSize(16);
    g.setFont(f);
    g.setPen(QColor(0, 0, 255));
    g.drawText(QRectF(8, 14, 48, 20), Qt::AlignCenter, QStringLiteral("+/"));
    g.setPen(QColor(0x1d, 0x3f, 0x8f));
    g.drawText(QRectF(8, 34, 48, 20), Qt::AlignCenter, QStringLiteral("<-"));
    return p;
}

}  // namespace

QIcon appIcon() {
    QIcon icon = QIcon::fromTheme(QStringLiteral("wox-gui"));
    if (!icon.isNull()) return icon;
    for (int size : {16, 32, 64}) icon.addPixmap(drawn(size));
    return icon;
}

}  // namespace wox::gui
