#include "frame/form.h"

#include "frame/controls.h"
#include "frame/platform.h"
#include "frame/twips.h"
#include "frame/windows.h"
#include "settings/convert.h"
#include "settings/store.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace vq {

namespace {
// Where the window manager cannot tell a window's frame before it maps it,
// the frame it gave the last window is the best guess: it frames the tool's
// windows alike. Before any window was framed, assume the frame the
// windows' sizes allow for.
const QSize typicalFrame = twips::size(keys::designFrameWidth, keys::designFrameHeight);
std::optional<QSize> learnedFrame;

// Width and height are never written by the tool, so a value below half the
// default comes from a hand edit, and no window can be resized to undo it:
// it counts as a text that does not convert.
float readSize(const keys::Key& key) {
    const float stored = readFloat(key);
    const float def = *convert::floatValue(key.def);
    return stored >= def / 2 ? stored : def;
}
} // namespace

Form::Form(WindowKind kind, const char* name, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), kind_(kind) {
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form() {
    if (!unloading_)
        Windows::removed();
}

void Form::load() {
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

std::optional<QSize> Form::reportedFrame() const {
    const QSize extra = frameGeometry().size() - geometry().size();
    if (isVisible() && (extra.width() > 0 || extra.height() > 0))
        return extra;
    return std::nullopt;
}

QSize Form::frameExtra() const {
    if (auto reported = reportedFrame())
        return *reported;
    return askedFrame_.value_or(learnedFrame.value_or(typicalFrame));
}

namespace {
double asTwips(int px, double asked) {
    return twips::toPx(asked) == px ? asked : twips::fromPx(px);
}
} // namespace

double Form::Left() const {
    return asTwips(frameGeometry().x(), leftTw_);
}
double Form::Top() const {
    return asTwips(frameGeometry().y(), topTw_);
}
double Form::Width() const {
    return asTwips(outer_.isValid() ? outer_.width() : width() + frameExtra().width(), widthTw_);
}
double Form::Height() const {
    return asTwips(outer_.isValid() ? outer_.height() : height() + frameExtra().height(),
                   heightTw_);
}

void Form::setLeft(double t) {
    leftTw_ = t;
    move(twips::toPx(t), frameGeometry().y());
}
void Form::setTop(double t) {
    topTw_ = t;
    move(frameGeometry().x(), twips::toPx(t));
}

void Form::setWidth(double t) {
    widthTw_ = t;
    outer_.setWidth(twips::toPx(t));
    if (outer_.height() < 0)
        outer_.setHeight(height() + frameExtra().height());
    applyOuterSize();
}

void Form::setHeight(double t) {
    heightTw_ = t;
    outer_.setHeight(twips::toPx(t));
    if (outer_.width() < 0)
        outer_.setWidth(width() + frameExtra().width());
    applyOuterSize();
}

void Form::applyOuterSize() {
    if (auto reported = reportedFrame())
        learnedFrame = reported;
    if (!outer_.isValid())
        return;
    // A frame thicker than the designed one, as metacity's 35-pixel title bar
    // is, would cut the bottom controls off: the window grows by the
    // difference instead. A thinner one gives the client the room it leaves.
    const QSize frame =
        frameExtra().boundedTo(twips::size(keys::designFrameWidth, keys::designFrameHeight));
    // A size written into the store by hand can be anything: keep the window
    // within what a screen and its backing store can hold.
    const QSize client = (outer_ - frame).expandedTo(QSize(1, 1)).boundedTo(QSize(8192, 8192));
    setFixedSize(client);
}

void Form::restoreGeometry(const keys::GeometryKeys& g) {
    setLeft(readFloat(g.left));
    setTop(readFloat(g.top));
    setWidth(readSize(g.width));
    setHeight(readSize(g.height));
    keepOnScreen();
}

void Form::keepOnScreen() {
    const QRect r(frameGeometry().topLeft(), outer_.isValid() ? outer_ : frameGeometry().size());
    const auto screens = QGuiApplication::screens();
    for (const QScreen* s : screens)
        if (s->geometry().intersects(r))
            return;
    // A monitor was unplugged: bring the window back where it can be reached.
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect avail = primary->availableGeometry();
        move(avail.topLeft() + QPoint(twips::toPx(1000), twips::toPx(1000)));
    }
}

void Form::saveGeometry(const keys::GeometryKeys& g) {
    Store::Batch batch;
    Store::instance().write(g.left, convert::floatText(float(Left())));
    Store::instance().write(g.top, convert::floatText(float(Top())));
}

quintptr Form::handle() {
    return quintptr(winId());
}

void Form::present(Form* owner, Qt::WindowModality modality) {
    setWindowModality(modality);
    if (owner) {
        winId();
        owner->winId();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
    show();
    raise();
    activateWindow();
}

void Form::showModal(Form* owner) {
    if (unloading_)
        return;
    const Store::NestedLoop ownLoop;
    QPointer<Form> self(this);
    present(owner, Qt::ApplicationModal);
    if (!self || !isVisible())
        return;
    QEventLoop loop;
    connect(this, &Form::hiddenOrUnloaded, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
}

void Form::showModeless(Form* owner) {
    if (!unloading_)
        present(owner, Qt::NonModal);
}

void Form::unload() {
    if (unloading_)
        return;
    unloading_ = true;
    Form_Unload();
    hide();
    emit hiddenOrUnloaded();
    Windows::removed();
    deleteLater();
}

void Form::runUnloadSaves() {
    if (unloading_)
        return;
    QList<Timer*> running;
    for (Timer* t : findChildren<Timer*>())
        if (t->isEnabled())
            running.append(t);
    Form_Unload();
    for (Timer* t : running)
        t->setEnabled(true);
}

void Form::closeEvent(QCloseEvent* e) {
    // The close box unloads the window; the unload is never refused.
    e->ignore();
    unload();
}

void Form::keyPressEvent(QKeyEvent* e) {
    auto press = [](QAbstractButton* b) {
        if (b && b->isVisible() && b->isEnabled()) {
            b->click();
            return true;
        }
        return false;
    };
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == 0 &&
        press(defaultButton_))
        return;
    if (e->key() == Qt::Key_Escape && e->modifiers() == 0 && press(cancelButton_))
        return;
    QWidget::keyPressEvent(e);
}

void Form::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    // Minimising is not hiding: a modal caller keeps waiting.
    if (!e->spontaneous())
        emit hiddenOrUnloaded();
}

void Form::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The window is created but not yet mapped: with its frame known now it
    // opens at its final size and paints once.
    const QPoint framePos = frameGeometry().topLeft();
    const auto m = e->spontaneous() ? std::nullopt : platform().frameExtents(handle());
    if (m) {
        // The window manager counts in the screen's pixels, Qt in its own.
        const QMargins f = *m / windowHandle()->devicePixelRatio();
        learnedFrame = askedFrame_ = QSize(f.left() + f.right(), f.top() + f.bottom());
    }
    applyOuterSize();
    // The resize makes Qt place the window by its client area's corner, which
    // needs the frame's real size, and the frame a window manager announces
    // before mapping is a guess: metacity's is a normal window's, 2 px taller
    // than the frame it draws around a tool window. Given the frame's corner
    // instead (north-west gravity), the window manager adds the frame it draws.
    if (!e->spontaneous() && testAttribute(Qt::WA_Moved))
        windowHandle()->setFramePosition(framePos);
    frameKnown_ = false;
}

void Form::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    // Where the frame had to be guessed, fit the outer size to the one the
    // window manager reports once the window is mapped; where it was known,
    // this changes nothing.
    if (!frameKnown_) {
        frameKnown_ = true;
        QTimer::singleShot(0, this, &Form::applyOuterSize);
    }
}

} // namespace vq
