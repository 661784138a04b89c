#include "frame/platform.h"

#include "frame/x11_platform.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

namespace vq {

namespace {

std::unique_ptr<Platform>& current() {
    static std::unique_ptr<Platform> p;
    return p;
}

// Without X11 (Wayland, offscreen) only the tool's own windows can be moved.
class QtPlatform : public Platform {
public:
    WindowHandle foregroundWindow() override {
        QWidget* w = QApplication::activeWindow();
        return w ? WindowHandle(w->internalWinId()) : 0;
    }
    void setTopMost(WindowHandle h, bool topMost) override {
        // Wayland keeps no client's window above others, and Qt gives the
        // changed hint effect by destroying the window and showing a new one:
        // the compact window would vanish and come back wherever the
        // compositor puts it the first time the user turned to another program.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            return;
        QWidget* w = ownWindow(h);
        if (!w || w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost)
            return;
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
        if (visible)
            w->show();
    }
};

} // namespace

QWidget* ownWindow(WindowHandle h) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->internalWinId() == WId(h))
            return w;
    return nullptr;
}

void Platform::startCalculator() {
    const QStringList cmd =
        calculatorCommand([](const QString& name) { return QStandardPaths::findExecutable(name); });
    if (!cmd.isEmpty())
        QProcess::startDetached(cmd.first(), cmd.mid(1));
}

Platform& platform() {
    if (!current())
        current() = makeDesktopPlatform();
    return *current();
}

void setPlatform(std::unique_ptr<Platform> p) {
    current() = std::move(p);
}

std::unique_ptr<Platform> makeDesktopPlatform() {
    if (auto x11 = makeX11Platform())
        return x11;
    return std::make_unique<QtPlatform>();
}

QStringList calculatorCommand(const std::function<QString(const QString&)>& findExecutable) {
    static const char* const calculators[] = {"gnome-calculator", "kcalc",         "galculator",
                                              "mate-calc",        "qalculate-gtk", "xcalc"};
    for (const char* name : calculators) {
        const QString calc = findExecutable(QLatin1String(name));
        if (!calc.isEmpty())
            return {calc};
    }
    return {};
}

} // namespace vq
