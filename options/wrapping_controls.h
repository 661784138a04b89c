#pragma once
// A tick box and a button whose captions wrap onto several lines, as the
// settings window's long captions must inside their designed sizes. They
// behave exactly like TickBox and Button; only the drawing differs.

#include "frame/controls.h"

namespace vq {

class WrappingTickBox : public TickBox {
    Q_OBJECT
public:
    using TickBox::TickBox;

protected:
    void paintEvent(QPaintEvent* e) override;
    // The whole control answers clicks, not only the indicator and one line.
    bool hitButton(const QPoint& pos) const override;
};

class WrappingButton : public Button {
    Q_OBJECT
public:
    using Button::Button;

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace vq
