#include "frame/app.h"

#include "frame/fonts.h"
#include "frame/pictures.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QStyleFactory>

namespace vq {

namespace {
class Style : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
} // namespace

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("VELMORA-QUORIX"));
    QApplication::setApplicationVersion(QStringLiteral(VQ_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.velmora.Quorix"));
    QApplication::setStyle(new Style(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.setQuitOnLastWindowClosed(false);
    // The windows are laid out in twips for a small 8-point sans face; a
    // desktop's larger default font would clip their captions.
    QFont font;
    font.setFamilies(fonts::available(fonts::designed()));
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    // A title bar and task switcher show 48 pixels at most; decoding the
    // 256-pixel image for them costs over a megabyte of resident memory.
    QApplication::setWindowIcon(pictures::icon(pictures::applicationIcon));
}

QByteArray preferredQtPlatform(const QByteArray& qpaPlatform, const QByteArray& display,
                               const QByteArray& waylandDisplay, int argc,
                               const char* const* argv) {
    if (!qpaPlatform.isEmpty() || display.isEmpty())
        return {};
    // Qt reads "-platform NAME" and "--platform NAME" anywhere in the list,
    // and ignores the switch when no name follows it.
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] && (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0))
            return {};
    }
    return waylandDisplay.isEmpty() ? QByteArray("xcb") : QByteArray("xcb;wayland");
}

QString platformNotice(const QString& platformName) {
    if (!platformName.startsWith(QLatin1String("wayland")))
        return {};
    return QStringLiteral("VELMORA-QUORIX: running on Wayland, so windows open where the desktop "
                          "puts them and cannot stay on top; saved positions and always-on-top "
                          "need an X server (X11 or XWayland).");
}

FontConfigWarmUp::FontConfigWarmUp() : thread_([] { FcInit(); }) {}

} // namespace vq
