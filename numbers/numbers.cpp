#include "numbers/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace vq::numbers {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int radixDigit(char c, int radix) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < radix ? d : -1;
}

// Hexadecimal or octal digits as an unsigned number of any length, rounded
// once to the nearest double: the top 60-odd bits are kept exactly, and the
// lowest of them doubles as a sticky bit for everything below.
double radixValue(const std::string& s, size_t from, int radix) {
    const int bits = radix == 16 ? 4 : 3;
    uint64_t top = 0;
    int shift = 0;
    bool sticky = false;
    for (size_t i = from; i < s.size(); ++i) {
        const int d = radixDigit(s[i], radix);
        if (d < 0)
            break;
        if ((top >> (64 - bits)) == 0) {
            top = (top << bits) | uint64_t(d);
        } else {
            shift += bits;
            sticky = sticky || d != 0;
        }
    }
    if (sticky)
        top |= 1;
    return std::ldexp(double(top), shift);
}

// Keeps the exponent far beyond any double while never overflowing an int.
constexpr long long exponentCap = 1'000'000'000;

// Non-ASCII characters become a byte that ends every run.
std::string withoutBlanks(const QString& text) {
    std::string s;
    s.reserve(size_t(text.size()));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\t' || u == '\n')
            continue;
        s.push_back(u < 0x80 ? char(u) : '\x01');
    }
    return s;
}

// A computed figure as the sheet shows it. NaN can only come from an
// operand that already overflowed, so it is reported as overflow too.
QString figureText(double v, const QLocale& locale) {
    return std::isfinite(v) ? doubleText(v, locale) : overflowText;
}

} // namespace

double leadingNumberValue(const QString& text) {
    const std::string s = withoutBlanks(text);
    const size_t n = s.size();
    if (n >= 2 && s[0] == '&') {
        const char k = s[1];
        if (k == 'H' || k == 'h')
            return radixValue(s, 2, 16);
        if (k == 'O' || k == 'o')
            return radixValue(s, 2, 8);
    }

    size_t i = 0;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::string whole, fraction;
    while (i < n && isDigit(s[i]))
        whole.push_back(s[i++]);
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i]))
            fraction.push_back(s[i++]);
    }
    if (whole.empty() && fraction.empty())
        return 0.0;

    long long exponent = 0;
    if (i < n && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            expNegative = s[j++] == '-';
        // An exponent letter without digits is not part of the number.
        if (j < n && isDigit(s[j])) {
            for (; j < n && isDigit(s[j]); ++j)
                exponent = std::min(exponent * 10 + (s[j] - '0'), exponentCap);
            if (expNegative)
                exponent = -exponent;
        }
    }

    std::string number = whole.empty() ? std::string("0") : whole;
    if (!fraction.empty())
        number += '.' + fraction;
    number += 'e' + std::to_string(exponent);

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Decide by the position of the first significant digit.
        const size_t firstWhole = whole.find_first_not_of('0');
        const long long position = firstWhole != std::string::npos
                                       ? (long long)(whole.size() - firstWhole)
                                       : -(long long)fraction.find_first_not_of('0');
        value = exponent + position > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

QString doubleText(double value, const QLocale& locale) {
    if (std::isnan(value))
        return undefinedText;
    if (std::isinf(value))
        return overflowText;
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"

    // d.dddddddddddddde±x, rounded once to 15 significant digits.
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    const size_t ePos = sci.find('e');
    std::string digits;
    for (size_t k = 0; k < ePos; ++k)
        if (sci[k] != '.')
            digits.push_back(sci[k]);
    const int exponent = std::stoi(sci.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const QString sep = locale.decimalPoint();
    const QString d = QString::fromLatin1(digits.data(), qsizetype(digits.size()));
    QString body;
    if (exponent >= 15 || exponent < -8) {
        body = d.left(1);
        if (d.size() > 1)
            body += sep + d.mid(1);
        body += QLatin1String(exponent < 0 ? "E-" : "E+") +
                QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    } else if (exponent >= 0) {
        const qsizetype wholeDigits = exponent + 1;
        body = d.left(wholeDigits).leftJustified(wholeDigits, QLatin1Char('0'));
        if (d.size() > wholeDigits)
            body += sep + d.mid(wholeDigits);
    } else {
        body = QLatin1Char('0') + sep + QString(-exponent - 1, QLatin1Char('0')) + d;
    }
    return value < 0 ? QLatin1Char('-') + body : body;
}

bool isZeroText(const QString& text) {
    return text.isEmpty() || text == QLatin1String("0");
}

double shownValue(const QString& text, const QLocale& locale) {
    if (text == overflowText)
        return HUGE_VAL;
    const QString sep = locale.decimalPoint();
    if (sep == QLatin1String("."))
        return leadingNumberValue(text);
    QString t = text;
    t.replace(sep, QLatin1String("."));
    return leadingNumberValue(t);
}

RowResult valueRow(const QString& amountText, const QString& priceText, const QString& rateText,
                   const QLocale& locale) {
    const double price = leadingNumberValue(priceText);
    const double rate = leadingNumberValue(rateText);
    const double converted = rate * price;
    RowResult r;
    r.converted = figureText(converted, locale);
    r.holdsCoin = !isZeroText(amountText);
    if (!r.holdsCoin) {
        r.usd = QStringLiteral("0");
        r.value = QStringLiteral("0");
        return r;
    }
    const double amount = leadingNumberValue(amountText);
    r.usd = figureText(amount * price, locale);
    r.value = figureText(converted * amount, locale);
    return r;
}

QString totalText(const QStringList& shownFigures, const QLocale& locale) {
    double sum = 0.0;
    bool overflow = false;
    for (const QString& t : shownFigures) {
        const double v = shownValue(t, locale);
        overflow = overflow || !std::isfinite(v);
        sum += v;
    }
    if (overflow)
        return overflowText;
    return figureText(sum, locale);
}

QString operationSign(Operation op) {
    switch (op) {
    case Operation::Add:
        return QStringLiteral("+");
    case Operation::Subtract:
        return QStringLiteral("-");
    case Operation::Multiply:
        return QStringLiteral("x");
    case Operation::Divide:
        return QStringLiteral("/");
    }
    return {};
}

QString calculate(Operation op, const QString& aText, const QString& bText, const QLocale& locale) {
    const double a = leadingNumberValue(aText);
    const double b = leadingNumberValue(bText);
    if (op == Operation::Divide && b == 0.0)
        return divideByZeroText;
    if (!std::isfinite(a) || !std::isfinite(b))
        return overflowText;
    double r = 0.0;
    switch (op) {
    case Operation::Add:
        r = a + b;
        break;
    case Operation::Subtract:
        r = a - b;
        break;
    case Operation::Multiply:
        r = a * b;
        break;
    case Operation::Divide:
        r = a / b;
        break;
    }
    return figureText(r, locale);
}

bool calculatorUsable(const QString& aText, const QString& bText) {
    return !isZeroText(aText) && !isZeroText(bText);
}

} // namespace vq::numbers
