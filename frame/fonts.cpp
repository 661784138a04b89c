#include "frame/fonts.h"

#include <QFontDatabase>

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

} // namespace vq::fonts
