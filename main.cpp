#include "app/all_windows.h"
#include "frame/app.h"
#include "frame/main_window.h"
#include "frame/platform.h"
#include "frame/windows.h"

#include <QApplication>

int main(int argc, char** argv) {
    vq::FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    fonts.wait();
    vq::setUpApplication(app);
    vq::setPlatform(vq::makeDesktopPlatform());
    vq::registerAllWindows();
    vq::Windows::get<vq::MainWindow>()->showModeless();
    return app.exec();
}
