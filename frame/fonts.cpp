#include "frame/fonts.h"

#include <QFontDatabase>
#include <QWidget>

namespace vq::fonts {

QStringList designed() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
            QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
}

QStringList installedOnly(const QStringList& wanted, const QStringList& installed) {
    QStringList kept;
    for (const QString& family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive) &&
            !kept.contains(family, Qt::CaseInsensitive))
            kept.append(family);
    }
    return kept.isEmpty() ? wanted : kept;
}

QStringList available(const QStringList& wanted) {
    static const QStringList installed = QFontDatabase::families();
    return installedOnly(wanted, installed);
}

QFont shrunkToFit(QFont font, const std::function<bool(const QFont&)>& fits) {
    constexpr double smallest = 6.0;
    if (font.pointSizeF() <= 0)
        return font;
    while (font.pointSizeF() > smallest && !fits(font))
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

void fitCaption(QWidget* w) {
    w->setFont(shrunkToFit(w->font(), [w](const QFont& f) {
        w->setFont(f);
        return w->sizeHint().width() <= w->width();
    }));
}

} // namespace vq::fonts
