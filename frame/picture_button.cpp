#include "frame/picture_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace vq {

namespace {
// Pixels between the picture and the caption.
constexpr int gap = 4;
} // namespace

PictureButton::PictureButton(QWidget* parent, const QString& caption) : Button(parent, caption) {}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    p.drawControl(QStyle::CE_PushButtonBevel, opt);

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
    const QSize pic = icon().isNull() ? QSize(0, 0) : iconSize();
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const int block = pic.height() + (pic.isEmpty() || textHeight == 0 ? 0 : gap) + textHeight;
    int y = area.top() + (area.height() - block) / 2;
    // A pressed button shifts its face like the style's own buttons do.
    const QPoint shift =
        isDown() ? QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this))
                 : QPoint();
    if (!pic.isEmpty()) {
        const QRect picRect(area.left() + (area.width() - pic.width()) / 2, y, pic.width(),
                            pic.height());
        icon().paint(&p, picRect.translated(shift), Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        y += pic.height() + gap;
    }
    if (textHeight > 0) {
        const QRect textRect(area.left(), y, area.width(), textHeight);
        p.drawItemText(textRect.translated(shift), Qt::AlignCenter | Qt::TextShowMnemonic,
                       palette(), isEnabled(), text(), QPalette::ButtonText);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(1, 1, -1, -1);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace vq
