#include "sheet/sheet_controls.h"

#include "frame/colours.h"

namespace vq::sheet {

TextBox* textBox(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width, int height, double points) {
    auto* t = new TextBox(parent, text);
    place(t, name, left, top, width, height);
    t->setFont(boldFont(points));
    return t;
}

Button* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
               int width, int height, double points) {
    auto* b = new Button(parent, caption);
    place(b, name, left, top, width, height);
    b->setFont(boldFont(points));
    return b;
}

void highlightOnFocus(TextBox* box, uint32_t unfocusedBack, std::optional<uint32_t> unfocusedFore) {
    QObject::connect(box, &TextBox::gotFocus, box, [box, unfocusedFore] {
        box->setBackColor(colours::cyan);
        if (unfocusedFore)
            box->setForeColor(colours::black);
    });
    QObject::connect(box, &TextBox::lostFocus, box, [box, unfocusedBack, unfocusedFore] {
        box->setBackColor(unfocusedBack);
        if (unfocusedFore)
            box->setForeColor(*unfocusedFore);
    });
}

} // namespace vq::sheet
