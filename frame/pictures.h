#pragma once
// The pictures built into the executable.

#include <QIcon>
#include <QPixmap>

namespace vq::pictures {

// A picture kept as raw 8-bit BGRA pixels (straight alpha), the layout of
// QImage::Format_ARGB32 in memory. Decoding a PNG at start-up went through
// Qt's image-format plugin scan and libpng: about 1 ms and 300 kB resident
// for a 48-pixel icon. The PNGs beside them in assets/ are their sources.
struct Picture {
    const char* resource;
    int width;
    int height;
};

inline constexpr Picture padlock{":/assets/padlock.bgra", 52, 52};
inline constexpr Picture applicationIcon{":/assets/velmora-quorix-48.bgra", 48, 48};

// A null pixmap when the resource is missing or not width x height pixels.
QPixmap load(const Picture& picture);
inline QIcon icon(const Picture& picture) {
    return QIcon(load(picture));
}

} // namespace vq::pictures
