#pragma once
// The controls every window is built from, with the event rules the windows
// rely on: writing a different value or text raises the control's handler,
// writing the same one raises nothing.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QTimer>
#include <cstdint>

namespace vq {

// Gives a control its name and its place in twips.
void place(QWidget* w, const char* name, int left, int top, int width, int height);
// Bold font of the given point size; family empty for the application's.
QFont boldFont(double points, const QString& family = {});
// Tab and Shift+Tab move through the controls in this order.
void chainTabs(const QList<QWidget*>& order);
// Sets a window's title to exactly this text. Qt reads "[*]" in a title as
// the place of its "modified" star and drops it; every "[*]" here is kept.
void setTitleText(QWidget* window, const QString& title);

class TickBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TickBox(QWidget* parent, const QString& caption = {});
    // 0 clear, 1 ticked, 2 greyed (partly ticked).
    int value() const;
    // Raises click() when the value changes; values other than 0 to 2 are ignored.
    void setValue(int v);

signals:
    // After the value changed, by a user's click or by setValue. (It hides
    // QAbstractButton::click(): call that one to click as a user would.)
    void click();

protected:
    // A user's click toggles between clear and ticked and never greys the box.
    void nextCheckState() override;
};

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    // The most characters typing or pasting may leave in a field, far above
    // any name or figure: Qt lays a field's text out whole at every
    // keystroke, so a megabyte (with a desktop's thousands of fonts to fall
    // back through) froze the window for many seconds per key. An edit that
    // would exceed it is refused whole and the field says so in a tooltip. A
    // text the program sets (a stored value) is kept whole whatever its
    // length, and may be edited as long as it grows no longer. The rule sits
    // in the field's validator, which QLineEdit runs on every change, however
    // it is made: QLineEdit::setText is not virtual.
    static constexpr int maxTyped = 4096;
    explicit TextBox(QWidget* parent, const QString& text = {});
    // Raises change() only when the text differs, and then as QLineEdit's
    // own does; the same text leaves the cursor and the selection alone.
    void setText(const QString& text);
    // Characters as the user sees and counts them: a letter with its
    // accents, an emoji, a flag is one, however many UTF-16 units it takes.
    static qsizetype characters(const QString& text);
    // Lets typing reach at least this text's length in this field, so that a
    // stored text it must match (a password set before the limit) can be typed.
    void allowTyping(const QString& text);
    void setBackColor(uint32_t bgr);
    void setForeColor(uint32_t bgr);
    uint32_t backColor() const { return back_; }
    uint32_t foreColor() const { return fore_; }
    // Refuses typing but keeps focus and colours.
    void setLocked(bool locked) { setReadOnly(locked); }
    bool locked() const { return isReadOnly(); }
    // "*" shows every character as an asterisk, the empty text shows the text.
    void setPasswordChar(const QString& c);
    QString passwordChar() const;

signals:
    void change();
    void gotFocus();
    void lostFocus();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class LengthRule;
    uint32_t back_;
    uint32_t fore_;
    qsizetype typingLimit_ = maxTyped;
    qsizetype longestSet_ = 0; // a longer text set by the program stays editable
};

// Shows its caption as plain text, never as markup: a caption may be a name
// the user typed ("<b>BTC</b>" is shown as typed, and markup that names a
// picture would make Qt read that file).
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent, const QString& caption = {});
    void setColours(uint32_t fore, uint32_t back);
    // Green bold text on black, centred: the look of titles and headings.
    void makeBanner(double points, const QString& family = {});

signals:
    void click();
    void doubleClick();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class Button : public QPushButton {
    Q_OBJECT
public:
    explicit Button(QWidget* parent, const QString& caption = {});
    void setBackColor(uint32_t bgr);
    uint32_t backColor() const { return back_; }

private:
    uint32_t back_;
};

// Ticks every interval while enabled with an interval above 0; the first
// tick comes one interval after enabling, or after a change of interval.
// A coarse Qt timer: Qt lets it tick up to 5 % early or late so that timers
// due about together share one wake-up, and it keeps each timer's own beat,
// so the error never adds up. Measured with a sheet's twelve once-a-second
// timers, that wakes the process about once a second.
class Timer : public QObject {
    Q_OBJECT
public:
    Timer(QObject* parent, const char* name);
    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    bool isRunning() const { return running_; }

signals:
    void tick();

private:
    void update();
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
    bool running_ = false;
};

} // namespace vq
