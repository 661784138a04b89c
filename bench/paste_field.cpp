// A large paste into one of the tool's text fields on a real window: the
// text is put on the clipboard and pasted with Ctrl+V, then one more key is
// typed and the cursor sent home. Each step is timed until the window has
// painted it and the event loop is free again, which is what the user waits
// for.
//
//   paste_field [--chars N] [--plain]
// --plain uses a QLineEdit without a length rule, as the fields were before.
// Prints "fonts_ms", "paste_ms", "key_ms", "home_ms" and "length" (after the
// paste) lines.
#include "frame/controls.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

namespace {

// Sends the key and waits until it is handled and painted, as one user step.
double step(QLineEdit& field, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&field, &release);
    field.repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qsizetype chars = 1024 * 1024;
    const QStringList args = app.arguments();
    const bool plain = args.contains(QLatin1String("--plain"));
    for (int i = 1; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--chars"))
            chars = args[i + 1].toLongLong();
    QString text;
    while (text.size() < chars)
        text += QStringLiteral("123.45 Grüße 日本 🚀 ");
    text.truncate(chars);

    QWidget window;
    window.setWindowTitle(QStringLiteral("paste"));
    auto* layout = new QVBoxLayout(&window);
    QLineEdit* field = plain ? new QLineEdit(&window) : new vq::TextBox(&window);
    field->setMaxLength(std::numeric_limits<int>::max());
    layout->addWidget(field);
    window.resize(300, 60);
    window.show();
    field->setFocus();

    QTimer::singleShot(500, [&] {
        // The first glyph of each script loads its font once per process
        // (seconds with thousands of fonts installed); that is not the paste.
        QElapsedTimer warm;
        warm.start();
        field->setText(text.left(19));
        field->repaint();
        field->clear();
        const double firstGlyphs = warm.nsecsElapsed() / 1e6;
        QApplication::clipboard()->setText(text);
        QApplication::processEvents();
        const double paste = step(*field, Qt::Key_V, Qt::ControlModifier);
        const qsizetype length = field->text().size();
        const double key = step(*field, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        const double home = step(*field, Qt::Key_Home, Qt::NoModifier);
        std::printf("fonts_ms %.1f\npaste_ms %.1f\nkey_ms %.1f\nhome_ms %.1f\nlength %lld\n",
                    firstGlyphs, paste, key, home, static_cast<long long>(length));
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}
