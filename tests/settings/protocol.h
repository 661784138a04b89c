#pragma once
// The line protocol between the settings tests and store_tool: every text
// travels as the hex of its UTF-16 code units, so that NULs, line breaks and
// unpaired surrogates cross the process boundary unchanged.

#include <QByteArray>
#include <QString>

namespace vq::testing {

inline QByteArray toHexUnits(const QString& text) {
    QByteArray units;
    units.reserve(text.size() * 2);
    for (QChar c : text) {
        units.append(char(c.unicode() >> 8));
        units.append(char(c.unicode() & 0xFF));
    }
    return units.toHex();
}

inline QString fromHexUnits(const QByteArray& hex) {
    const QByteArray units = QByteArray::fromHex(hex);
    QString text;
    for (qsizetype i = 0; i + 1 < units.size(); i += 2)
        text.append(QChar(char16_t((uchar(units[i]) << 8) | uchar(units[i + 1]))));
    return text;
}

} // namespace vq::testing
