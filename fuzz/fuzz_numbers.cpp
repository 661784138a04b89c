// The sheet's number rules on whatever is typed or pasted.
#include "fuzz_input.h"
#include "numbers/numbers.h"

#include <QRegularExpression>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

using namespace vq;
using fuzz::check;

namespace {

// The reading by another route (else NaN): from_chars for "&H" runs, strtod for plain numbers.
double reference(const QString& text) {
    std::string s;
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            s.push_back(c.unicode() < 0x80 ? char(c.unicode()) : '\x01');
    if (s.size() >= 2 && s[0] == '&' && (s[1] | 0x20) == 'h') {
        const size_t n = std::find_if_not(s.begin() + 2, s.end(), ::isxdigit) - s.begin();
        double v = 0;
        const auto r = std::from_chars(s.data() + 2, s.data() + n, v, std::chars_format::hex);
        return r.ec == std::errc::result_out_of_range ? HUGE_VAL : v;
    }
    for (char& c : s) {
        if (c == '\0' || !std::strchr("0123456789+-.eEdD", c))
            return NAN;
        c = c == 'd' || c == 'D' ? 'e' : c;
    }
    return std::strtod(s.c_str(), nullptr);
}

// -?digits[.digits][E±dd] with at most 15 significant digits, reading back as the value.
void checkShown(double x, const QLocale& locale, const QString& input) {
    const QString t = numbers::doubleText(x, locale);
    if (!std::isfinite(x))
        return check(t == (std::isnan(x) ? numbers::undefinedText : numbers::overflowText),
                     "a figure beyond the range misnamed", input);
    static const QRegularExpression shape(
        QStringLiteral("^-?(0|[1-9]\\d*)(?:\\.(\\d*[1-9]))?(E[-+]\\d{2,3})?$"));
    const auto m = shape.match(QString(t).replace(locale.decimalPoint(), QLatin1String(".")));
    const std::string digits = (m.captured(1) + m.captured(2)).toStdString();
    const double a = std::fabs(x), back = numbers::shownValue(t, locale);
    check(m.hasMatch() && (locale.decimalPoint() == "." || !t.contains('.')) &&
              digits.size() - std::min(digits.find_first_not_of('0'), digits.size()) <= 15 &&
              t.startsWith('-') == (x < 0),
          "a figure of unexpected shape", input);
    check(m.captured(3).isEmpty()
              ? x == 0 || (a < 1e15 && a >= 9.99999999999995e-9)
              : m.captured(1).size() == 1 && (a >= 9.999999999999995e14 || a < 1e-8),
          "plain or exponent form for the wrong magnitude", input);
    // The largest doubles round up to a figure beyond the range, which reads as infinity.
    check(std::isinf(back) ? a >= 1.797693134862315e308
                           : std::fabs(back - x) <= 1e-14 * a + DBL_TRUE_MIN &&
                                 (a < DBL_MIN || numbers::doubleText(back, locale) == t),
          "a figure does not read back", input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Input in = fuzz::split(data, size);
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (const QString& text : in.fields + QStringList{in.text}) {
        const double v = numbers::leadingNumberValue(text), ref = reference(text);
        check(std::isnan(ref) ? !std::isnan(v) : same(v, ref), "differs from the reference", text);
        // Blanks count nowhere, and nothing after the number counts.
        const QString spaced = QString(text).insert(text.size() / 2, QLatin1String(" \t\n"));
        check(same(numbers::leadingNumberValue(spaced), v) &&
                  same(numbers::leadingNumberValue(text + 'x'), v),
              "a blank or a later letter changed the value", text);
        checkShown(v, in.locale, text);
    }
    return 0;
}
