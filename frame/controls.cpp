#include "frame/controls.h"

#include "frame/colours.h"
#include "frame/fonts.h"
#include "frame/twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>
#include <limits>
#include <vector>

namespace vq {

void place(QWidget* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(twips::rect(left, top, width, height));
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
void setRole(QWidget* w, QPalette::ColorRole role, uint32_t bgr) {
    QPalette p = w->palette();
    const QColor c = colours::toQColor(bgr);
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

TextBox::TextBox(QWidget* parent, const QString& text)
    : QLineEdit(text, parent), back_(colours::windowBackground), fore_(colours::windowText) {
    // QLineEdit cuts texts at 32767 characters, silently losing the end of a
    // long paste or of a long stored text.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &TextBox::change);
}

void TextBox::setText(const QString& text) {
    if (text != this->text())
        QLineEdit::setText(text);
}

void TextBox::setBackColor(uint32_t bgr) {
    back_ = bgr;
    setRole(this, QPalette::Base, bgr);
}

void TextBox::setForeColor(uint32_t bgr) {
    fore_ = bgr;
    setRole(this, QPalette::Text, bgr);
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

Label::Label(QWidget* parent, const QString& caption) : QLabel(caption, parent) {}

void Label::setColours(uint32_t fore, uint32_t back) {
    setAutoFillBackground(true);
    setRole(this, QPalette::WindowText, fore);
    setRole(this, QPalette::Window, back);
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
    setRole(this, QPalette::Button, bgr);
}

namespace {
// One clock for every due time, so that they compare.
qint64 clockMs() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

// How early a Timer may tick to share another's wake-up: the 5% Qt allows
// its own coarse timers.
qint64 slackOf(int interval) {
    return interval / 20;
}
} // namespace

// Drives every running Timer from one QTimer set for the earliest due time.
// At each wake-up it ticks all Timers due within their slack, then moves each
// to one interval after the earliest of them: Timers that met once keep
// meeting, while each still ticks once per interval.
class TimerDriver : public QObject {
public:
    static TimerDriver* instance() {
        static QPointer<TimerDriver> driver;
        if (!driver)
            driver = new TimerDriver(QCoreApplication::instance());
        return driver;
    }
    // Tolerates Timers that outlive the application.
    static void forget(Timer* t) {
        if (QCoreApplication::instance())
            instance()->remove(t);
    }

    void add(Timer* t) {
        if (!timers_.contains(t))
            timers_.append(t);
        rearm();
    }
    void remove(Timer* t) {
        if (timers_.removeOne(t))
            rearm();
    }

private:
    explicit TimerDriver(QObject* parent) : QObject(parent) {
        wake_.setSingleShot(true);
        // The grouping is done here; Qt's own rounding would only add jitter.
        wake_.setTimerType(Qt::PreciseTimer);
        connect(&wake_, &QTimer::timeout, this, &TimerDriver::fire);
    }

    void rearm() {
        if (timers_.isEmpty()) {
            wake_.stop();
            return;
        }
        qint64 earliest = timers_.first()->due_;
        for (const Timer* t : std::as_const(timers_))
            earliest = std::min(earliest, t->due_);
        wake_.start(int(std::max<qint64>(0, earliest - clockMs())));
    }

    void fire() {
        const qint64 now = clockMs();
        struct Due {
            QPointer<Timer> timer;
            quint64 generation;
        };
        std::vector<Due> batch;
        qint64 beat = std::numeric_limits<qint64>::max();
        for (Timer* t : std::as_const(timers_)) {
            if (t->due_ - slackOf(t->interval_) <= now) {
                batch.push_back({t, t->generation_});
                beat = std::min(beat, t->due_);
            }
        }
        for (const Due& d : batch) {
            Timer* t = d.timer;
            t->due_ = beat + t->interval_;
            // Far behind (a long handler, a suspended machine): skip the
            // missed ticks rather than deliver them in a burst.
            if (t->due_ <= now)
                t->due_ = now + t->interval_;
        }
        // Armed before the ticks, so that a handler's nested event loop (a
        // modal window) still sees the other Timers tick.
        rearm();
        for (const Due& d : batch) {
            // A handler earlier in this batch may have stopped, restarted or
            // deleted it.
            if (!d.timer || d.timer->generation_ != d.generation || d.timer->ticking_)
                continue;
            d.timer->ticking_ = true;
            emit d.timer->tick();
            if (d.timer)
                d.timer->ticking_ = false;
        }
    }

    QTimer wake_;
    QList<Timer*> timers_;
};

Timer::Timer(QObject* parent, const char* name) : QObject(parent) {
    setObjectName(QLatin1String(name));
}

Timer::~Timer() {
    if (running_)
        TimerDriver::forget(this);
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
    ++generation_;
    running_ = enabled_ && interval_ > 0;
    if (running_) {
        due_ = clockMs() + interval_;
        TimerDriver::instance()->add(this);
    } else {
        TimerDriver::forget(this);
    }
}

} // namespace vq
