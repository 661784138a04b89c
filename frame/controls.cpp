#include "frame/controls.h"

#include "frame/colours.h"
#include "frame/fonts.h"
#include "frame/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBoundaryFinder>
#include <QToolTip>
#include <QValidator>
#include <algorithm>
#include <limits>

namespace vq {

void place(QWidget* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(twips::rect(left, top, width, height));
}

void chainTabs(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void setTitleText(QWidget* window, const QString& title) {
    // Qt drops the last "[*]" of every run of an odd number of them, then
    // shows each "[*][*]" as "[*]": doubled, every run is even and shows as typed.
    QString escaped = title;
    window->setWindowTitle(escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

QFont boldFont(double points, const QString& family) {
    QFont f = QApplication::font();
    // The application's whole fallback chain stays behind the family asked
    // for: a face missing here ("MS Sans Serif") must fall back to the same
    // face as the rest of the window, not to whatever fontconfig picks, which
    // would also load another font file into every process.
    if (!family.isEmpty()) {
        QStringList families = f.families();
        families.removeAll(family);
        families.prepend(family);
        f.setFamilies(fonts::available(families));
    }
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

namespace {
void setRole(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette p = w->palette();
    // Disabled too: a disabled panel or label keeps the colours it was given.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, role, c);
    w->setPalette(p);
}
} // namespace

TickBox::TickBox(QWidget* parent, const QString& caption) : QCheckBox(caption, parent) {
    connect(this, &QAbstractButton::clicked, this, &TickBox::click);
}

int TickBox::value() const {
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void TickBox::setValue(int v) {
    if (v < 0 || v > 2 || v == value())
        return;
    if (v == 2)
        setTristate(true);
    setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    emit click();
}

void TickBox::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

namespace {
// Counts no further than one past `stop`: a megabyte's paste is refused
// after the first few thousand.
qsizetype countCharacters(const QString& text, qsizetype stop) {
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype n = 0;
    while (n <= stop && clusters.toNextBoundary() != -1)
        ++n;
    return n;
}
} // namespace

// Invalid makes QLineEdit undo a user's edit whole and raise inputRejected.
// QLineEdit runs this on every change of the text; a text the program set
// comes with the modified flag cleared (setText clears it, every edit of
// the user sets it), and is kept whole and taken as the new edit limit.
class LengthRule : public QValidator {
public:
    explicit LengthRule(TextBox* box) : QValidator(box), box_(box) {}
    State validate(QString& text, int&) const override {
        if (!box_->isModified()) {
            box_->longestSet_ = text.size() <= TextBox::maxTyped ? 0 : TextBox::characters(text);
            return Acceptable;
        }
        const qsizetype limit = std::max(box_->typingLimit_, box_->longestSet_);
        // Never more characters than UTF-16 units: most texts need no count.
        return text.size() > limit && countCharacters(text, limit) > limit ? Invalid : Acceptable;
    }

private:
    TextBox* box_;
};

TextBox::TextBox(QWidget* parent, const QString& text)
    : QLineEdit(text, parent), back_(colours::windowBackground), fore_(colours::windowText) {
    // QLineEdit's own limit cuts texts at 32767 characters, silently losing
    // the end of a long paste or of a long stored text; the rule above
    // refuses a too long edit whole instead and leaves set texts alone.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new LengthRule(this));
    connect(this, &QLineEdit::inputRejected, this, [this] {
        QToolTip::showText(mapToGlobal(QPoint(0, height())),
                           tr("Too long, not added: this field holds at most %L1 characters.")
                               .arg(std::max(typingLimit_, longestSet_)),
                           this, {}, 5000);
    });
    connect(this, &QLineEdit::textChanged, this, &TextBox::change);
}

qsizetype TextBox::characters(const QString& text) {
    return countCharacters(text, text.size());
}

void TextBox::setText(const QString& text) {
    if (text != this->text())
        QLineEdit::setText(text);
}

void TextBox::allowTyping(const QString& text) {
    typingLimit_ = std::max<qsizetype>(maxTyped, characters(text));
}

namespace {
// Both colours each time: a change of one may change how the other is shown.
void showColours(TextBox* box) {
    setRole(box, QPalette::Base, colours::shown(box->backColor(), box->foreColor()));
    setRole(box, QPalette::Text, colours::shown(box->foreColor(), box->backColor()));
}
} // namespace

void TextBox::setBackColor(uint32_t bgr) {
    back_ = bgr;
    showColours(this);
}

void TextBox::setForeColor(uint32_t bgr) {
    fore_ = bgr;
    showColours(this);
}

void TextBox::setPasswordChar(const QString& c) {
    setEchoMode(c.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

QString TextBox::passwordChar() const {
    return echoMode() == QLineEdit::Password ? QStringLiteral("*") : QString();
}

void TextBox::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit gotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    emit lostFocus();
}

Label::Label(QWidget* parent, const QString& caption) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setText(caption);
}

void Label::setColours(uint32_t fore, uint32_t back) {
    setAutoFillBackground(true);
    setRole(this, QPalette::WindowText, colours::shown(fore, back));
    setRole(this, QPalette::Window, colours::shown(back, fore));
}

void Label::makeBanner(double points, const QString& family) {
    setColours(colours::green, colours::black);
    setAlignment(Qt::AlignCenter);
    setFont(boldFont(points, family));
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit click();
}

void Label::mouseDoubleClickEvent(QMouseEvent* e) {
    QLabel::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        emit doubleClick();
}

Button::Button(QWidget* parent, const QString& caption)
    : QPushButton(caption, parent), back_(colours::buttonFace) {
    setAutoDefault(false);
}

void Button::setBackColor(uint32_t bgr) {
    back_ = bgr;
    setRole(this, QPalette::Button, colours::toQColor(bgr));
    // The caption is the desktop's button text; on a fixed face it is that of
    // the light scheme. A disabled caption stays the desktop's.
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        p.setColor(group, QPalette::ButtonText,
                   colours::isDesktop(bgr)
                       ? QApplication::palette().color(group, QPalette::ButtonText)
                       : colours::toQColor(colours::black));
    setPalette(p);
}

Timer::Timer(QObject* parent, const char* name) : QObject(parent) {
    setObjectName(QLatin1String(name));
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timer::tick);
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    update();
}

void Timer::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    update();
}

void Timer::update() {
    running_ = enabled_ && interval_ > 0;
    if (running_)
        timer_.start(interval_);
    else
        timer_.stop();
}

} // namespace vq
