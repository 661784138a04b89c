#include "sheet/sheet_controls.h"

#include "frame/colours.h"

namespace vq::sheet {

namespace {
template <class C>
C* placed(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
          int height, double points) {
    auto* c = new C(parent, text);
    place(c, name, left, top, width, height);
    c->setFont(boldFont(points));
    return c;
}
} // namespace

TextBox* textBox(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width, int height, double points) {
    return placed<TextBox>(parent, name, text, left, top, width, height, points);
}

Button* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
               int width, int height, double points) {
    return placed<Button>(parent, name, caption, left, top, width, height, points);
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

void nameForScreenReaders(std::initializer_list<Spoken> controls) {
    for (const Spoken& s : controls) {
        if (s.name)
            s.w->setAccessibleName(QLatin1String(s.name));
        s.w->setAccessibleDescription(QLatin1String(s.help));
    }
}

} // namespace vq::sheet
