#include "frame/pictures.h"

#include <QImage>
#include <QResource>

#include <cstring>

namespace vq::pictures {

QPixmap load(const Picture& picture) {
    const QByteArray pixels = QResource(QString::fromLatin1(picture.resource)).uncompressedData();
    const qsizetype size = qsizetype(picture.width) * picture.height * 4;
    if (pixels.size() != size)
        return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * picture.width * 4,
                    size_t(picture.width) * 4);
    return QPixmap::fromImage(std::move(image));
}

} // namespace vq::pictures
