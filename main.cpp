#include "about/about_window.h"
#include "frame/app.h"
#include "frame/main_window.h"
#include "frame/platform.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "options/settings_window.h"
#include "sheet/sheet_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vq::setUpApplication(app);
    vq::setPlatform(vq::makeDesktopPlatform());
    vq::Windows::registerFactory(vq::WindowKind::Main, [] { return new vq::MainWindow; });
    vq::registerSheetWindow();
    vq::registerSettingsWindow();
    vq::registerLockWindows();
    vq::registerAboutWindow();
    vq::Windows::get<vq::MainWindow>()->showModeless();
    return app.exec();
}
