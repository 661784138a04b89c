#include "settings/convert.h"

#include <cfloat>
#include <cmath>

namespace vq::convert {

namespace {

std::optional<double> parse(QLocale l, const QString& t) {
    l.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = l.toDouble(t, &ok);
    if (!ok)
        return std::nullopt;
    return d;
}

// The text as a number of the locale, or, failing that, in the form
// floatText writes (ASCII digits, "-", "E" and the locale's decimal
// separator; QLocale cannot read back its own output in every locale, Arabic
// for one), or in the C locale's form.
std::optional<double> number(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    std::optional<double> d = parse(locale, t);
    if (!d) {
        QString ascii = t;
        if (locale.decimalPoint() != QLatin1String("."))
            ascii.replace(locale.decimalPoint(), QLatin1String("."));
        if (locale.negativeSign() != QLatin1String("-"))
            ascii.replace(locale.negativeSign(), QLatin1String("-"));
        if (locale.exponential().compare(QLatin1String("E"), Qt::CaseInsensitive) != 0)
            ascii.replace(locale.exponential(), QLatin1String("E"), Qt::CaseInsensitive);
        d = parse(QLocale::c(), ascii);
    }
    if (!d || !std::isfinite(*d))
        return std::nullopt;
    return d;
}

} // namespace

std::optional<float> floatValue(const QString& text, const QLocale& locale) {
    const auto d = number(text, locale);
    if (!d || std::fabs(*d) > double(FLT_MAX))
        return std::nullopt;
    return float(*d);
}

QString floatText(float value, const QLocale& locale) {
    if (value == 0.0f)
        return QStringLiteral("0"); // no "-0"
    // ASCII digits, "-", "E" and no group separators whatever the locale;
    // only the decimal separator is the locale's.
    QString s = QLocale::c().toString(double(value), 'G', 7);
    if (locale.decimalPoint() != QLatin1String("."))
        s.replace(QLatin1Char('.'), locale.decimalPoint());
    return s;
}

std::optional<int> integerValue(const QString& text, const QLocale& locale) {
    const auto d = number(text, locale);
    if (!d)
        return std::nullopt;
    const double r = std::nearbyint(*d); // the default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return int(r);
}

QString integerText(int value) {
    return QString::number(value);
}

std::optional<bool> truthValue(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto d = number(t, locale);
    if (!d)
        return std::nullopt;
    return *d != 0.0;
}

std::optional<int> tickValue(const QString& text, const QLocale& locale) {
    const auto v = integerValue(text, locale);
    if (!v || *v < 0 || *v > 2)
        return std::nullopt;
    return v;
}

} // namespace vq::convert
