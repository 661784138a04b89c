#include "lock/fit_caption.h"

#include <QWidget>

namespace vq {

void fitCaption(QWidget* w) {
    QFont f = w->font();
    if (f.pointSizeF() <= 0)
        return; // pixel-sized fonts are left alone
    while (w->sizeHint().width() > w->width() && f.pointSizeF() > 6.0) {
        f.setPointSizeF(f.pointSizeF() - 0.5);
        w->setFont(f);
    }
}

} // namespace vq
