#include "settings/convert.h"

#include <cfloat>
#include <cmath>

namespace vq::convert {

namespace {

std::optional<double> number(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    for (QLocale l : {locale, QLocale::c()}) {
        l.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double d = l.toDouble(t, &ok);
        if (ok) return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<float> floatValue(const QString& text, const QLocale& locale) {
    const auto d = number(text, locale);
    if (!d || std::fabs(*d) > double(FLT_MAX)) return std::nullopt;
    return float(*d);
}

QString floatText(float value, const QLocale& locale) {
    if (value == 0.0f) return QStringLiteral("0"); // no "-0"
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    QString s = l.toString(double(value), 'G', 7);
    if (l.negativeSign() != QLatin1String("-")) s.replace(l.negativeSign(), QLatin1String("-"));
    if (l.exponential() != QLatin1String("E"))
        s.replace(l.exponential(), QLatin1String("E"), Qt::CaseInsensitive);
    return s;
}

std::optional<int> integerValue(const QString& text, const QLocale& locale) {
    const auto d = number(text, locale);
    if (!d) return std::nullopt;
    const double r = std::nearbyint(*d); // the default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return int(r);
}

QString integerText(int value) {
    return QString::number(value);
}

std::optional<bool> truthValue(const QString& text, const QLocale& locale) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const auto d = number(t, locale);
    if (!d) return std::nullopt;
    return *d != 0.0;
}

std::optional<int> tickValue(const QString& text, const QLocale& locale) {
    const auto v = integerValue(text, locale);
    if (!v || *v < 0 || *v > 2) return std::nullopt;
    return v;
}

} // namespace vq::convert
