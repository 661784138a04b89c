#include "app/all_windows.h"
#include "compact/main_window.h"
#include "frame/app.h"
#include "frame/platform.h"
#include "frame/session.h"
#include "frame/single_copy.h"
#include "frame/windows.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Set before the font thread starts: changing the environment while
    // another thread reads it is not safe.
    const QByteArray qpa = vq::preferredQtPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"),
                                                   qgetenv("WAYLAND_DISPLAY"), argc, argv);
    if (!qpa.isEmpty())
        qputenv("QT_QPA_PLATFORM", qpa);
    vq::FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    if (const vq::StartRole role = vq::claimSingleCopy(); role != vq::StartRole::First)
        return role == vq::StartRole::HandedOver ? 0 : 1;
    fonts.wait();
    // The choice is the tool's own: a program it starts, such as a Qt
    // calculator, picks its platform as the desktop would.
    if (!qpa.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    const QString notice = vq::platformNotice(QGuiApplication::platformName());
    if (!notice.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(notice));
    vq::setUpApplication(app);
    vq::setPlatform(vq::makeDesktopPlatform());
    vq::registerAllWindows();
    vq::Windows::get<vq::MainWindow>()->showModeless();
    vq::session::install(app);
    return app.exec();
}
