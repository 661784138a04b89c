#include "frame/colours.h"

#include <QApplication>
#include <QPalette>

namespace vq::colours {

QColor toQColor(uint32_t bgr) {
    if (isDesktop(bgr)) {
        const QPalette p = QApplication::palette();
        switch (bgr & 0xFF) {
        case 0x05:
            return p.color(QPalette::Active, QPalette::Base);
        case 0x08:
            return p.color(QPalette::Active, QPalette::Text);
        case 0x0F:
            return p.color(QPalette::Active, QPalette::Button);
        default:
            return p.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QColor shown(uint32_t bgr, uint32_t partner) {
    if (!isDesktop(bgr) || isDesktop(partner))
        return toQColor(bgr);
    switch (bgr & 0xFF) {
    case 0x05:
        return toQColor(white);
    case 0x08:
        return toQColor(black);
    default: // the light scheme's button face and window
        return QColor(0xEF, 0xEF, 0xEF);
    }
}

} // namespace vq::colours
