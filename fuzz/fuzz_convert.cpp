// Fuzzes the conversions between stored texts and control values: whatever a
// store file holds, reading it must not crash, must stay within the control's
// range, and whatever is written back must read again as the same value.
#include "fuzz_input.h"
#include "settings/convert.h"

#include <cfloat>
#include <cmath>
#include <cstring>

using namespace vq;
using fuzz::check;

namespace {

// The characters floatText may write: ASCII digits, "-", "+", "E" and the
// locale's decimal separator, nothing else (no group separators).
bool onlyFloatCharacters(const QString& s, const QLocale& locale) {
    QString rest = s;
    rest.remove(locale.decimalPoint());
    for (QChar c : rest)
        if (!(c.unicode() >= '0' && c.unicode() <= '9') && c != u'-' && c != u'+' && c != u'E')
            return false;
    return !rest.isEmpty();
}

// floatText writes 7 significant digits, so reading the text back may miss
// the float it came from by a little less than one unit in the 7th digit.
bool closeFloat(float a, float b) {
    return std::fabs(double(a) - double(b)) <=
           std::max(1e-6 * std::fabs(double(a)), double(FLT_TRUE_MIN));
}

void checkFloatText(float v, const QLocale& locale, const QString& input) {
    const QString text = convert::floatText(v, locale);
    check(!fuzz::hasNul(text), "floatText wrote a NUL", input, text);
    check(onlyFloatCharacters(text, locale), "floatText wrote a foreign character", input, text);
    const auto back = convert::floatValue(text, locale);
    check(back.has_value(), "floatText does not read back under its locale", input, text);
    check(closeFloat(v, *back), "floatText reads back as another value", input, text);
    // A store written under the C locale still reads under any other.
    const QString cText = convert::floatText(v, QLocale::c());
    const auto fromC = convert::floatValue(cText, locale);
    check(fromC.has_value(), "a C-locale float text does not read", input, cText);
    check(closeFloat(v, *fromC), "a C-locale float text reads as another value", input, cText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Input in = fuzz::split(data, size);
    const QLocale& locale = *in.locale;
    const QString& text = in.text;

    const auto f = convert::floatValue(text, locale);
    if (f) {
        check(std::isfinite(*f), "floatValue gave a non-finite value", text);
        checkFloatText(*f, locale, text);
    }

    const auto i = convert::integerValue(text, locale);
    if (i) {
        check(*i >= -32768 && *i <= 32767, "integerValue left the 16-bit range", text,
              QString::number(*i));
        // Whatever reads as an integer is a number in range, so it reads as a
        // float too, at most half a unit away.
        check(f.has_value(), "integerValue read a text floatValue rejects", text);
        check(std::fabs(double(*f) - *i) <= 0.5 + 1e-6 * std::fabs(double(*i)),
              "integerValue is not the float rounded", text, QString::number(*i));
        const QString back = convert::integerText(*i);
        check(!fuzz::hasNul(back), "integerText wrote a NUL", text, back);
        check(convert::integerValue(back, locale) == i, "integerText does not read back", text,
              back);
    }

    const auto t = convert::truthValue(text, locale);
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        check(t == true, "the word True is not true", text);
    else if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        check(t == false, "the word False is not false", text);
    if (f && *f != 0.0f)
        check(t == true, "a non-zero number is not true", text);
    else if (f)
        check(t.has_value(), "a number has no truth value", text);
    if (trimmed == QLatin1String("0"))
        check(t == false, "0 is not false", text);

    const auto tick = convert::tickValue(text, locale);
    if (tick)
        check(*tick >= 0 && *tick <= 2, "tickValue left 0..2", text, QString::number(*tick));
    check(tick.has_value() == (i && *i >= 0 && *i <= 2), "tickValue is not the integer in 0..2",
          text);
    if (tick)
        check(*tick == *i, "tickValue differs from integerValue", text);

    // Values from the bytes themselves reach float texts no typed text gives
    // (subnormals, the exact extremes).
    if (size >= 5) {
        float raw;
        std::memcpy(&raw, data + 1, sizeof raw);
        if (std::isfinite(raw))
            checkFloatText(raw, locale, text);
    }
    return 0;
}
