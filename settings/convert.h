#pragma once
// Conversions between stored texts and control values. They follow the
// user's locale for the decimal separator. Texts are written with ASCII
// digits, "-" and "E" whatever the locale; reading accepts the locale's own
// form, that form, and the C locale's, so that a store written under another
// locale still reads.

#include <QLocale>
#include <QString>
#include <optional>

namespace vq::convert {

// Text to 32-bit float: optional sign, digits, the decimal separator, an
// optional exponent, blanks around ignored. Nothing else converts, nor does a
// magnitude beyond the float range.
std::optional<float> floatValue(const QString& text, const QLocale& locale = QLocale());

// 32-bit float to text: 7 significant digits, trailing zeros dropped, no
// group separators; exponent form below 1E-4 and from 1E+07 on.
QString floatText(float value, const QLocale& locale = QLocale());

// Text to a 16-bit signed integer, rounding halves to the even neighbour.
std::optional<int> integerValue(const QString& text, const QLocale& locale = QLocale());

QString integerText(int value);

// "0" is false, any other number true; the words True and False in any case.
std::optional<bool> truthValue(const QString& text, const QLocale& locale = QLocale());

// A stored tick-box text as a tick-box Value (0, 1 or 2).
std::optional<int> tickValue(const QString& text, const QLocale& locale = QLocale());

} // namespace vq::convert
