#pragma once
// Small builders the sheet and its calculator share: controls placed in
// twips with the sheet's bold fonts, and the cyan highlight of a focused
// field.

#include "frame/controls.h"

#include <initializer_list>
#include <optional>

namespace vq::sheet {

TextBox* textBox(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width, int height, double points);
Button* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
               int width, int height, double points = 8.25);

// The field turns cyan while it has the focus, its text black where it has
// colours of its own (`unfocusedFore`), and takes `unfocusedBack` (and
// `unfocusedFore`) again when it loses the focus.
void highlightOnFocus(TextBox* box, uint32_t unfocusedBack,
                      std::optional<uint32_t> unfocusedFore = std::nullopt);

// What a screen reader says of a control: its name (null where its caption
// names it) and what it is for.
struct Spoken {
    QWidget* w;
    const char* name;
    const char* help;
};
void nameForScreenReaders(std::initializer_list<Spoken> controls);

} // namespace vq::sheet
