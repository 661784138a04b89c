#pragma once
// The sheet's number rules, free of widgets: how a typed text becomes a
// double, how a double becomes the text a field shows, and the row, total and
// pocket-calculator sums built on them. Nothing here depends on the process's
// C locale; only the decimal separator of the given QLocale is used.

#include <QLocale>
#include <QString>
#include <QStringList>

namespace vq::numbers {

// Shown instead of a figure beyond the range of a double.
inline const QString overflowText = QStringLiteral("Overflow");
// Shown for a value that is not a number at all (never produced by the sheet's
// own sums, which report an overflowed operand as overflow).
inline const QString undefinedText = QStringLiteral("Undefined");
// The pocket calculator's answer to a division whose divisor has the value 0.
inline const QString divideByZeroText = QStringLiteral("Cannot divide by zero");

// The value of the longest leading run of a text that forms a number, or 0.
// - Every blank, tab and line feed is removed first, wherever it stands.
// - Decimal: optional "+"/"-", digits, at most one ".", digits, then an
//   optional exponent "E" or "D" (either case) with optional sign and digits.
//   Only "." is a decimal point; "," or any other character ends the run.
// - "&H" / "&O" (either case) read the hexadecimal / octal digits after them
//   as an unsigned whole number of any length: there is no wrap-around at 16
//   or 32 bits ("&HFFFFFFFF" is 4294967295, never -1); beyond 2^53 the result
//   is the nearest double, and beyond the double range +infinity.
// - A decimal number beyond the double range gives +/-infinity, one too small
//   for a double gives (signed) zero.
// Never rejects a text.
double leadingNumberValue(const QString& text);

// A double as the sheet shows it: at most 15 significant digits, no trailing
// zeros, "0" before the separator, "-" for negatives, no group separators,
// the locale's decimal separator. Magnitudes from 1E+15 up, and below 1E-08,
// use exponent form with at least two exponent digits ("1E+15", "1.5E-09"):
// plain decimals reach down to one hundred-millionth so that the smallest
// unit of common coins (0.00000001) still reads plainly. Infinity gives
// overflowText and NaN undefinedText.
QString doubleText(double value, const QLocale& locale = QLocale());

// A field counts as zero only if its text is exactly "0" or empty.
bool isZeroText(const QString& text);

// Reads back a figure the sheet itself wrote with doubleText under this
// locale: its decimal separator is understood, and overflowText reads as
// infinity. Anything else falls back to the leading-number rule.
double shownValue(const QString& text, const QLocale& locale = QLocale());

// One tick of a wallet row.
struct RowResult {
    QString converted; // price in the converted currency
    QString usd;       // the row's value in dollars
    QString value;     // the row's value in the converted currency
    bool holdsCoin;    // false when the amount text is exactly "0" or empty
};
RowResult valueRow(const QString& amountText, const QString& priceText, const QString& rateText,
                   const QLocale& locale = QLocale());

// The left-to-right sum of the row figures as they are shown; overflowText
// when any of them shows an overflow or the sum leaves the double range.
QString totalText(const QStringList& shownFigures, const QLocale& locale = QLocale());

enum class Operation { Add, Subtract, Multiply, Divide };
// The sign the calculator shows for an operation: "+", "-", "x", "/".
QString operationSign(Operation op);
// A op B from the two operand texts by the leading-number rule.
QString calculate(Operation op, const QString& aText, const QString& bText,
                  const QLocale& locale = QLocale());
// The calculator's buttons are usable only while neither operand is a zero text.
bool calculatorUsable(const QString& aText, const QString& bText);

} // namespace vq::numbers
