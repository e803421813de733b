#include "skin/Glyphs.h"

#include "platform/Colour.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace vistorel {

QIcon GlyphIcon(Glyph glyph) {
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ToQColor(clAccent), 1.2));
    if (glyph == Glyph::Folder) {
        QPainterPath folder;
        folder.moveTo(1.5, 10.5);
        folder.lineTo(1.5, 1.5);
        folder.lineTo(6, 1.5);
        folder.lineTo(7.5, 3.5);
        folder.lineTo(14.5, 3.5);
        folder.lineTo(14.5, 10.5);
        folder.closeSubpath();
        p.drawPath(folder);
        p.drawLine(QPointF(1.5, 5.5), QPointF(14.5, 5.5));
    } else {
        p.drawRect(QRectF(1.5, 0.5, 13, 11));
        p.setBrush(ToQColor(clAccent));
        p.drawEllipse(QPointF(10.5, 4), 1.4, 1.4);
        QPainterPath hills;
        hills.moveTo(2, 11);
        hills.lineTo(6, 5.5);
        hills.lineTo(9, 9);
        hills.lineTo(11, 7.5);
        hills.lineTo(14, 11);
        hills.closeSubpath();
        p.drawPath(hills);
    }
    return QIcon(pixmap);
}

void SetUpGlyphButton(QToolButton& button, const QString& tip) {
    button.setAutoRaise(true);
    button.setCursor(Qt::PointingHandCursor);
    button.setFocusPolicy(Qt::TabFocus);
    button.setToolTip(tip);
    button.setAccessibleName(tip);
    button.setIconSize(QSize(16, 12));
}

}  // namespace vistorel
