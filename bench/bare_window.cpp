// The baseline: a plain Qt window of the compact main window's size and
// nothing else, so the ratios show what the tool adds to Qt's own cost.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget w;
    // 2310 x 2760 twips at 15 twips per pixel, as the compact window.
    w.setFixedSize(154, 184);
    w.setWindowTitle(QStringLiteral("bare"));
    w.show();
    return app.exec();
}
