// The second baseline: the bare window with one caption on it, the cheapest
// Qt window that draws text. Any window that shows a word pays for the font
// stack (fontconfig, FreeType, HarfBuzz and a font file), which the bare
// window never loads; this one shows how much of the tool's excess that is.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel w(QStringLiteral("bare"));
    w.setFixedSize(154, 184);
    w.setWindowTitle(QStringLiteral("bare"));
    w.show();
    return app.exec();
}
