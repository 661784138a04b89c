#pragma once
// The pictures built into the executable.

#include <QIcon>
#include <QPixmap>

namespace vq::pictures {

// Every built-in picture is a PNG. Naming the format spares Qt from loading
// each image-format plugin to guess it, which cost about 200 kB of resident
// memory and a few milliseconds at start-up.
QPixmap load(const QString& resourcePath);
inline QIcon icon(const QString& resourcePath) {
    return QIcon(load(resourcePath));
}

inline const QString padlock = QStringLiteral(":/assets/padlock.png");
inline const QString applicationIcon = QStringLiteral(":/assets/velmora-quorix-48.png");

} // namespace vq::pictures
