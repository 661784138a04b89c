#include "sheet/pocket_calculator.h"

#include "frame/colours.h"
#include "sheet/sheet_controls.h"

namespace vq {

namespace {
// The strip's top left corner on the sheet, in twips; the controls below are
// given in the sheet's twips.
constexpr int stripLeft = 120, stripTop = 720, stripWidth = 7095, stripHeight = 855;
} // namespace

PocketCalculator::PocketCalculator(QWidget* sheet) : QWidget(sheet) {
    place(this, "POCKET_CALCULATOR", stripLeft, stripTop, stripWidth, stripHeight);
    setAccessibleName(QStringLiteral("Pocket calculator"));
    const auto operand = [this](const char* name, int left, int width, double points) {
        TextBox* t = sheet::textBox(this, name, {}, left - stripLeft, 0, width, 375, points);
        t->setAlignment(Qt::AlignCenter);
        t->setBackColor(colours::windowText);
        t->setForeColor(colours::green);
        return t;
    };
    INPUT_A_TEXTBOX = operand("INPUT_A_TEXTBOX", 120, 1935, 9.75);
    INPUT_B_TEXTBOX = operand("INPUT_B_TEXTBOX", 2400, 1935, 9.75);
    OUTPUT_TEXTBOX = operand("OUTPUT_TEXTBOX", 4320, 2895, 9.75);
    OUTPUT_TEXTBOX->setReadOnly(true);
    // Created after the operands so that it stands above the pixel it
    // overlaps of each.
    MATHS_SIGN_TEXTBOX = operand("MATHS_SIGN_TEXTBOX", 2040, 375, 13.5);
    MATHS_SIGN_TEXTBOX->setReadOnly(true);
    MATHS_SIGN_TEXTBOX->setFocusPolicy(Qt::ClickFocus);
    for (TextBox* t : {INPUT_A_TEXTBOX, INPUT_B_TEXTBOX})
        sheet::highlightOnFocus(t, colours::windowText, colours::green);

    const auto button = [this](const char* name, const char* caption, int left, int width,
                               int height, double points) {
        return sheet::button(this, name, QLatin1String(caption), left - stripLeft, 1200 - stripTop,
                             width, height, points);
    };
    ADD_BUTTON = button("ADD_BUTTON", "+", 120, 975, 345, 12);
    SUBTRACT_BUTTON = button("SUBTRACT_BUTTON", "-", 1200, 975, 345, 12);
    MULTIPLY_BUTTON = button("MULTIPLY_BUTTON", "x", 2280, 975, 375, 9.75);
    DIVIDE_BUTTON = button("DIVIDE_BUTTON", "/", 3360, 975, 375, 9.75);
    CLEAR_BUTTON = button("CLEAR_BUTTON", "CLEAR", 4800, 2055, 375, 8.25);
    for (Button* b : {ADD_BUTTON, SUBTRACT_BUTTON, MULTIPLY_BUTTON, DIVIDE_BUTTON, CLEAR_BUTTON})
        b->setEnabled(false);
    operations_.addButton(ADD_BUTTON, int(numbers::Operation::Add));
    operations_.addButton(SUBTRACT_BUTTON, int(numbers::Operation::Subtract));
    operations_.addButton(MULTIPLY_BUTTON, int(numbers::Operation::Multiply));
    operations_.addButton(DIVIDE_BUTTON, int(numbers::Operation::Divide));
    // Plain buttons, not a set of which one stays pressed.
    operations_.setExclusive(false);
    connect(&operations_, &QButtonGroup::idClicked, this,
            [this](int id) { OPERATION_BUTTON_Click(numbers::Operation(id)); });
    connect(CLEAR_BUTTON, &QPushButton::clicked, this, &PocketCalculator::CLEAR_BUTTON_Click);

    DISABLE_BUTTONS_TIMER = new Timer(this, "DISABLE_BUTTONS_TIMER");
    connect(DISABLE_BUTTONS_TIMER, &Timer::tick, this,
            &PocketCalculator::DISABLE_BUTTONS_TIMER_Timer);

    // The symbol buttons get words, which read better than "x".
    sheet::nameForScreenReaders({
        {INPUT_A_TEXTBOX, "Calculator operand A", "The calculator's left operand."},
        {MATHS_SIGN_TEXTBOX, "Calculator operation", "The sign of the last operation pressed."},
        {INPUT_B_TEXTBOX, "Calculator operand B", "The calculator's right operand."},
        {OUTPUT_TEXTBOX, "Calculator result", "The result of the last operation pressed."},
        {ADD_BUTTON, "Add", "Operand A plus operand B."},
        {SUBTRACT_BUTTON, "Subtract", "Operand A minus operand B."},
        {MULTIPLY_BUTTON, "Multiply", "Operand A times operand B."},
        {DIVIDE_BUTTON, "Divide", "Operand A divided by operand B."},
        {CLEAR_BUTTON, nullptr, "Empties the calculator."},
    });
}

QList<QWidget*> PocketCalculator::tabStops() const {
    return {INPUT_A_TEXTBOX, INPUT_B_TEXTBOX, ADD_BUTTON,     SUBTRACT_BUTTON,
            MULTIPLY_BUTTON, DIVIDE_BUTTON,   OUTPUT_TEXTBOX, CLEAR_BUTTON};
}

void PocketCalculator::setGuardRunning(bool running) {
    DISABLE_BUTTONS_TIMER->setInterval(1000);
    DISABLE_BUTTONS_TIMER->setEnabled(running);
}

void PocketCalculator::OPERATION_BUTTON_Click(numbers::Operation op) {
    MATHS_SIGN_TEXTBOX->setText(numbers::operationSign(op));
    for (QAbstractButton* b : operations_.buttons())
        static_cast<Button*>(b)->setBackColor(operations_.id(b) == int(op) ? colours::green
                                                                           : colours::buttonFace);
    OUTPUT_TEXTBOX->setText(
        numbers::calculate(op, INPUT_A_TEXTBOX->text(), INPUT_B_TEXTBOX->text()));
}

void PocketCalculator::CLEAR_BUTTON_Click() {
    for (QAbstractButton* b : operations_.buttons())
        static_cast<Button*>(b)->setBackColor(colours::buttonFace);
    for (TextBox* t : {INPUT_A_TEXTBOX, INPUT_B_TEXTBOX, MATHS_SIGN_TEXTBOX, OUTPUT_TEXTBOX})
        t->setText(QString());
}

void PocketCalculator::DISABLE_BUTTONS_TIMER_Timer() {
    const bool usable = numbers::calculatorUsable(INPUT_A_TEXTBOX->text(), INPUT_B_TEXTBOX->text());
    for (QAbstractButton* b : operations_.buttons())
        b->setEnabled(usable);
    CLEAR_BUTTON->setEnabled(usable);
}

} // namespace vq
