#include "options/wrapping_controls.h"

#include "frame/fonts.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vq {

namespace {
constexpr int textFlags = Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

// The designed sizes assume a narrower face than many desktops have: the
// wrapped caption must not be taller than its room.
void fitFont(QPainter& p, const QWidget* w, const QRect& room, int flags, const QString& text) {
    p.setFont(fonts::shrunkToFit(w->font(), [&](const QFont& f) {
        return QFontMetrics(f).boundingRect(room, flags, text).height() <= room.height();
    }));
}
} // namespace

void WrappingTickBox::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    p.drawControl(QStyle::CE_CheckBox, opt);

    // The caption goes right of the indicator, wrapped to the space left.
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, this);
    const int gap = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    QRect textRect = rect();
    textRect.setLeft(indicator.right() + 1 + gap);
    fitFont(p, this, textRect, Qt::AlignLeft | textFlags, caption);
    style()->drawItemText(&p, textRect, Qt::AlignLeft | textFlags, palette(), isEnabled(), caption,
                          QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->itemTextRect(p.fontMetrics(), textRect, Qt::AlignLeft | textFlags,
                                           isEnabled(), caption);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrappingTickBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    p.drawControl(QStyle::CE_PushButton, opt);

    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, this) / 2 + 1;
    const QRect textRect = rect().adjusted(margin, margin, -margin, -margin);
    fitFont(p, this, textRect, Qt::AlignHCenter | textFlags, caption);
    style()->drawItemText(&p, textRect, Qt::AlignHCenter | textFlags, palette(), isEnabled(),
                          caption, QPalette::ButtonText);
}

} // namespace vq
