#pragma once

#include <QPixmap>
#include <QString>

namespace Pictures {

// A picture of the resources for a screen of the given density: the "@2x" drawing beside it on a
// high-density screen, so stretched pictures stay crisp, otherwise the picture itself. (QIcon finds
// the "@2x" files by itself; pictures shown by labels come through here.)
inline QPixmap forDensity(const QString &path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0) {
        QString sharp = path;
        sharp.insert(sharp.lastIndexOf(u'.'), QStringLiteral("@2x"));
        QPixmap pixmap(sharp);
        if (!pixmap.isNull()) {
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return QPixmap(path);
}

} // namespace Pictures
