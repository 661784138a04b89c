#include "frame/app.h"

#include <QApplication>
#include <QIcon>
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
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.velmora.Quorix"));
    QApplication::setStyle(new Style(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/velmora-quorix-256.png")));
}

} // namespace vq
