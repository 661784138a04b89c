#pragma once
// A button that draws its picture centred above its caption, the way a
// graphical command button looks, while keeping the Button colour API.

#include "frame/controls.h"

namespace vq {

class PictureButton : public Button {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent, const QString& caption = {});

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace vq
