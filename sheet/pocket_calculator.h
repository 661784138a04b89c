#pragma once
// The sheet's pocket calculator: operands A and B, the four operations, the
// result and CLEAR. Nothing of it is saved. Its buttons are usable only
// while neither operand is empty or "0", which a guard checks once a second
// while it runs.

#include "frame/controls.h"
#include "numbers/numbers.h"

#include <QButtonGroup>
#include <QWidget>

namespace vq {

class PocketCalculator : public QWidget {
    Q_OBJECT
public:
    // Stands on the sheet at its designed place.
    explicit PocketCalculator(QWidget* sheet);

    // The controls in the order Tab visits them.
    QList<QWidget*> tabStops() const;
    // The once-a-second guard of the buttons.
    void setGuardRunning(bool running);

private:
    // ADD_BUTTON_Click, SUBTRACT_BUTTON_Click, MULTIPLY_BUTTON_Click and
    // DIVIDE_BUTTON_Click: one handler for the four.
    void OPERATION_BUTTON_Click(numbers::Operation op);
    void CLEAR_BUTTON_Click();
    void DISABLE_BUTTONS_TIMER_Timer();

    TextBox* INPUT_A_TEXTBOX;
    TextBox* INPUT_B_TEXTBOX;
    TextBox* OUTPUT_TEXTBOX;
    TextBox* MATHS_SIGN_TEXTBOX;
    Button* ADD_BUTTON;
    Button* SUBTRACT_BUTTON;
    Button* MULTIPLY_BUTTON;
    Button* DIVIDE_BUTTON;
    Button* CLEAR_BUTTON;
    Timer* DISABLE_BUTTONS_TIMER;
    // The four operation buttons, their ids the operations.
    QButtonGroup operations_;
};

} // namespace vq
