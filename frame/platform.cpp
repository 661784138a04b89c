#include "frame/platform.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace vq {

namespace {

std::unique_ptr<Platform>& current() {
    static std::unique_ptr<Platform> p;
    return p;
}

QWidget* ownWindow(WindowHandle h) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->internalWinId() == WId(h))
            return w;
    return nullptr;
}

void startCalculator(const QString& verb, const QString& file) {
    const QStringList cmd = calculatorCommand(
        verb, file, [](const QString& name) { return QStandardPaths::findExecutable(name); });
    if (!cmd.isEmpty())
        QProcess::startDetached(cmd.first(), cmd.mid(1));
}

// Without X11 (Wayland, offscreen) only the tool's own windows can be moved.
class QtPlatform : public Platform {
public:
    WindowHandle foregroundWindow() override {
        QWidget* w = QApplication::activeWindow();
        return w ? WindowHandle(w->internalWinId()) : 0;
    }
    void setTopMost(WindowHandle h, bool topMost) override {
        QWidget* w = ownWindow(h);
        if (!w || w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost)
            return;
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
        if (visible)
            w->show();
    }
    void shellExecute(WindowHandle, const QString& verb, const QString& file, const QString&,
                      const QString&, int) override {
        startCalculator(verb, file);
    }
};

class X11Platform : public Platform {
public:
    explicit X11Platform(xcb_connection_t* c) : c_(c) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        activeWindow_ = atom("_NET_ACTIVE_WINDOW");
        wmState_ = atom("_NET_WM_STATE");
        above_ = atom("_NET_WM_STATE_ABOVE");
    }

    WindowHandle foregroundWindow() override {
        auto cookie = xcb_get_property(c_, 0, root_, activeWindow_, XCB_ATOM_WINDOW, 0, 1);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c_, cookie, nullptr);
        WindowHandle h = 0;
        if (reply && xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t)))
            h = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
        std::free(reply);
        return h;
    }

    void setTopMost(WindowHandle h, bool topMost) override {
        if (!h)
            return;
        // The window manager owns the stacking of mapped windows: ask it, as
        // the EWMH says, with a client message to the root window.
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = xcb_window_t(h);
        ev.type = wmState_;
        ev.data.data32[0] = topMost ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
        ev.data.data32[1] = above_;
        ev.data.data32[2] = 0;
        ev.data.data32[3] = 1; // a normal application
        xcb_send_event(c_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
        xcb_flush(c_);
    }

    void shellExecute(WindowHandle, const QString& verb, const QString& file, const QString&,
                      const QString&, int) override {
        startCalculator(verb, file);
    }

private:
    xcb_atom_t atom(const char* name) {
        auto cookie = xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c_, cookie, nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_atom_t activeWindow_, wmState_, above_;
};

} // namespace

Platform& platform() {
    if (!current())
        current() = makeDesktopPlatform();
    return *current();
}

void setPlatform(std::unique_ptr<Platform> p) {
    current() = std::move(p);
}

std::unique_ptr<Platform> makeDesktopPlatform() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (xcb_connection_t* c = x11->connection())
            return std::make_unique<X11Platform>(c);
    }
    return std::make_unique<QtPlatform>();
}

QStringList calculatorCommand(const QString& verb, const QString& file,
                              const std::function<QString(const QString&)>& findExecutable) {
    if (file.compare(QLatin1String("calc.exe"), Qt::CaseInsensitive) != 0)
        return {}; // the tool starts nothing but the calculator
    static const char* const calculators[] = {"gnome-calculator", "kcalc",         "galculator",
                                              "mate-calc",        "qalculate-gtk", "xcalc"};
    QString calc;
    for (const char* name : calculators) {
        calc = findExecutable(QLatin1String(name));
        if (!calc.isEmpty())
            break;
    }
    if (calc.isEmpty())
        return {};
    if (verb.compare(QLatin1String("runas"), Qt::CaseInsensitive) == 0) {
        const QString pkexec = findExecutable(QStringLiteral("pkexec"));
        if (!pkexec.isEmpty())
            return {pkexec, calc};
    }
    return {calc};
}

} // namespace vq
