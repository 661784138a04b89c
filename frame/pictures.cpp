#include "frame/pictures.h"

namespace vq::pictures {

QPixmap load(const QString& resourcePath) {
    QPixmap picture;
    picture.load(resourcePath, "PNG");
    return picture;
}

} // namespace vq::pictures
