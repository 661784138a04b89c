// Fuzzes the sheet's number rules: the leading-number reading of whatever is
// typed or pasted, the figures the sheet shows, and the row, total and
// calculator sums built on them.
#include "fuzz_input.h"
#include "numbers/numbers.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vq;
using fuzz::check;

namespace {

bool sameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString number(double v) {
    return QString::number(v, 'g', 17);
}

// 15 significant digits are shown, so reading a figure back may miss the
// double it came from by half a unit in the 15th digit (and, for subnormals,
// by half their spacing). The largest doubles round up to
// 1.79769313486232E+308, which lies beyond the range and so reads as infinity.
bool close15(double shown, double exact) {
    if (std::isinf(shown) && std::fabs(exact) >= 1.797693134862315e308)
        return std::signbit(shown) == std::signbit(exact);
    return std::fabs(shown - exact) <= 1e-14 * std::fabs(exact) + DBL_TRUE_MIN;
}

std::string blankless(const QString& text) {
    std::string s;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u != ' ' && u != '\t' && u != '\n')
            s.push_back(u < 0x80 ? char(u) : '\x01');
    }
    return s;
}

// An independent reading for texts made of number characters only: the C
// library's strtod takes the same longest leading decimal number once "D"
// exponents are spelled "E" (it knows no "&H", and "inf", "nan" and "0x" need
// letters kept out here).
bool strtodReference(const std::string& s, double* out) {
    std::string t;
    for (char c : s) {
        if (std::strchr("0123456789+-.eEdD", c) == nullptr || c == '\0')
            return false;
        t.push_back(c == 'd' || c == 'D' ? 'e' : c);
    }
    *out = std::strtod(t.c_str(), nullptr);
    return true;
}

// "&H"/"&O" digits through the C++ library's hexadecimal reading, which
// rounds any length correctly; octal digits are regrouped as hexadecimal.
bool radixReference(const std::string& s, double* out) {
    if (s.size() < 2 || s[0] != '&')
        return false;
    const char k = char(s[1] | 0x20);
    if (k != 'h' && k != 'o')
        return false;
    std::string hex;
    if (k == 'h') {
        for (size_t i = 2; i < s.size() && std::isxdigit((unsigned char)s[i]); ++i)
            hex.push_back(s[i]);
    } else {
        std::string bits;
        for (size_t i = 2; i < s.size() && s[i] >= '0' && s[i] <= '7'; ++i)
            for (int b = 2; b >= 0; --b)
                bits.push_back(((s[i] - '0') >> b) & 1 ? '1' : '0');
        bits.insert(0, (4 - bits.size() % 4) % 4, '0');
        for (size_t i = 0; i < bits.size(); i += 4)
            hex.push_back("0123456789abcdef"[std::stoi(bits.substr(i, 4), nullptr, 2)]);
    }
    if (hex.empty()) {
        *out = 0.0;
        return true;
    }
    double v = 0.0;
    const auto r = std::from_chars(hex.data(), hex.data() + hex.size(), v, std::chars_format::hex);
    *out = r.ec == std::errc::result_out_of_range ? HUGE_VAL : v;
    return true;
}

void checkLeadingNumber(const QString& text) {
    const double v = numbers::leadingNumberValue(text);
    check(!std::isnan(v), "leadingNumberValue gave NaN", text);
    // Blanks are removed wherever they stand, and a letter after the text
    // ends any run.
    QString spaced = text;
    spaced.insert(text.size() / 2, QLatin1String(" \t\n"));
    check(sameDouble(numbers::leadingNumberValue(spaced), v), "a blank changed the value", text,
          number(v));
    check(sameDouble(numbers::leadingNumberValue(text + QLatin1Char('x')), v),
          "text after the number changed the value", text, number(v));

    const std::string s = blankless(text);
    double reference = 0.0;
    if (strtodReference(s, &reference) || radixReference(s, &reference))
        check(sameDouble(v, reference), "leadingNumberValue differs from the reference", text,
              number(v) + QLatin1String(" vs ") + number(reference));
}

int significantDigits(const QString& mantissa) {
    int n = 0;
    for (QChar c : mantissa)
        if (c.isDigit() && (n > 0 || c != u'0'))
            ++n;
    return n;
}

void checkDoubleText(double x, const QLocale& locale, const QString& input) {
    const QString t = numbers::doubleText(x, locale);
    check(!fuzz::hasNul(t), "doubleText wrote a NUL", input, t);
    if (std::isnan(x))
        return check(t == numbers::undefinedText, "NaN is not shown as undefined", input, t);
    if (std::isinf(x))
        return check(t == numbers::overflowText, "infinity is not shown as overflow", input, t);

    // -?digits[sep digits][E±dd...], digits ASCII whatever the locale.
    const QString sep = QRegularExpression::escape(locale.decimalPoint());
    static QHash<QString, QRegularExpression> shapes;
    auto shape = shapes.find(sep);
    if (shape == shapes.end())
        shape = shapes.insert(sep,
                              QRegularExpression(QStringLiteral("^-?(0|[1-9][0-9]*)(%1[0-9]*[1-9])?"
                                                                "(E[-+][0-9]{2,3})?$")
                                                     .arg(sep)));
    const auto m = shape->match(t);
    check(m.hasMatch(), "doubleText has an unexpected shape", input, t);
    const bool exponentForm = !m.captured(3).isEmpty();
    check(significantDigits(m.captured(1) + m.captured(2)) <= 15,
          "doubleText shows more than 15 digits", input, t);
    const double a = std::fabs(x);
    if (exponentForm)
        check(a >= 9.999999999999995e14 || a < 1e-8, "exponent form for a plain magnitude", input,
              t);
    else
        check(x == 0.0 || (a < 1e15 && a >= 9.99999999999995e-9),
              "plain form for an exponent magnitude", input, t);
    if (exponentForm)
        check(m.captured(1).size() == 1 && !m.captured(1).endsWith(QLatin1Char('0')),
              "exponent form mantissa is not one digit", input, t);
    check((t.startsWith(QLatin1Char('-'))) == (x < 0.0), "doubleText lost the sign", input, t);

    const double back = numbers::shownValue(t, locale);
    check(close15(back, x), "a shown figure reads back as another value", input,
          t + QLatin1String(" vs ") + number(x));
    if (locale.decimalPoint() == QLatin1String("."))
        check(sameDouble(numbers::leadingNumberValue(t), back),
              "leadingNumberValue reads a figure otherwise", input, t);
    // 15 digits survive a trip through a normal double unchanged.
    if (a >= DBL_MIN && std::isfinite(back))
        check(numbers::doubleText(back, locale) == t, "a shown figure does not show the same",
              input, t);
}

// A computed figure is its value shown, or overflow when it is not finite;
// never "Undefined".
void checkFigure(const QString& shown, double exact, const QLocale& locale, const QString& input,
                 const char* what) {
    check(!fuzz::hasNul(shown), what, input, shown);
    if (!std::isfinite(exact))
        return check(shown == numbers::overflowText, what, input, shown);
    check(shown != numbers::overflowText && shown != numbers::undefinedText, what, input, shown);
    check(close15(numbers::shownValue(shown, locale), exact), what, input, shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Input in = fuzz::split(data, size);
    const QLocale& locale = *in.locale;
    const QString& text = in.text;

    checkLeadingNumber(text);
    for (const QString& f : in.fields)
        checkLeadingNumber(f);
    checkDoubleText(numbers::leadingNumberValue(text), locale, text);
    checkDoubleText(numbers::leadingNumberValue(text), QLocale::c(), text);
    if (size >= 9) {
        double raw;
        std::memcpy(&raw, data + 1, sizeof raw);
        checkDoubleText(raw, locale, text);
    }

    const QString a = in.fields.value(0), b = in.fields.value(1), c = in.fields.value(2);
    const double av = numbers::leadingNumberValue(a), bv = numbers::leadingNumberValue(b),
                 cv = numbers::leadingNumberValue(c);

    // A row: amount a, price b, rate c.
    const numbers::RowResult row = numbers::valueRow(a, b, c, locale);
    check(row.holdsCoin == !numbers::isZeroText(a), "holdsCoin disagrees with the amount", text);
    checkFigure(row.converted, cv * bv, locale, text, "row converted price is wrong");
    if (row.holdsCoin) {
        checkFigure(row.usd, av * bv, locale, text, "row dollar value is wrong");
        checkFigure(row.value, cv * bv * av, locale, text, "row value is wrong");
    } else {
        check(row.usd == QLatin1String("0") && row.value == QLatin1String("0"),
              "a row without coins has a value", text);
    }

    // The total of what the rows show, and of whatever else a field may hold.
    const QString total = numbers::totalText({row.usd, row.value}, locale);
    const double rowSum =
        numbers::shownValue(row.usd, locale) + numbers::shownValue(row.value, locale);
    checkFigure(total, rowSum, locale, text, "total of row figures is wrong");
    const QString anyTotal = numbers::totalText(in.fields, locale);
    check(!fuzz::hasNul(anyTotal) && anyTotal != numbers::undefinedText,
          "total of arbitrary texts is undefined", text, anyTotal);
    if (in.fields.contains(numbers::overflowText))
        check(anyTotal == numbers::overflowText, "total ignores an overflowed figure", text);

    // The calculator on a and b.
    check(numbers::calculatorUsable(a, b) == (!numbers::isZeroText(a) && !numbers::isZeroText(b)),
          "calculatorUsable disagrees with the zero texts", text);
    using Op = numbers::Operation;
    for (Op op : {Op::Add, Op::Subtract, Op::Multiply, Op::Divide}) {
        const QString r = numbers::calculate(op, a, b, locale);
        if (op == Op::Divide && bv == 0.0) {
            check(r == numbers::divideByZeroText, "division by zero not reported", text, r);
            continue;
        }
        if (!std::isfinite(av) || !std::isfinite(bv)) {
            check(r == numbers::overflowText, "an overflowed operand not reported", text, r);
            continue;
        }
        const double exact = op == Op::Add        ? av + bv
                             : op == Op::Subtract ? av - bv
                             : op == Op::Multiply ? av * bv
                                                  : av / bv;
        checkFigure(r, exact, locale, text, "calculator result is wrong");
    }
    return 0;
}
