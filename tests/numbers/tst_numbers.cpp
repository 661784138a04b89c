// The sheet's number rules: reading typed texts, writing figures, and the
// row, total and pocket-calculator sums built on them.

#include "numbers/numbers.h"

#include <QTest>
#include <clocale>
#include <cmath>
#include <limits>

using namespace vq::numbers;

namespace {
const QLocale german(QLocale::German, QLocale::Germany);
const QString design = QStringLiteral("00000000.00000000");
const double inf = std::numeric_limits<double>::infinity();
} // namespace

class TestSheetNumbers : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void leadingNumberIgnoresCLocale();
    void doubleText_data();
    void doubleText();
    void row_data();
    void row();
    void total_data();
    void total();
    void calculator_data();
    void calculator();
};

void TestSheetNumbers::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("placeholder") << "Example: 0.70" << 0.0;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("comma ends the run") << "1,234" << 1.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("signed exponent") << "-3.5e2" << -350.0;
    QTest::newRow("blanks anywhere") << " 1 2" << 12.0;
    QTest::newRow("tab, line feed, plus") << "\t+\n4" << 4.0;
    QTest::newRow("D exponent") << "1.5D3" << 1500.0;
    QTest::newRow("small d exponent") << "2d-1" << 0.2;
    QTest::newRow("exponent without digits") << "3E+" << 3.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("trailing point") << "5.E2" << 500.0;
    QTest::newRow("tenth is nearest double") << "0.1" << 0.1;
    QTest::newRow("long digits") << "123456789012345678901234567890"
                                 << 123456789012345678901234567890.0;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\u0663") << 0.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
    QTest::newRow("hex stops at a colon") << "&H1:" << 1.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("hex past 32 bits never wraps") << "&HFFFFFFFF" << 4294967295.0;
    QTest::newRow("hex 2^64") << "&H10000000000000000" << 18446744073709551616.0;
    QTest::newRow("hex halfway rounds to even") << "&H20000000000001" << 9007199254740992.0;
    QTest::newRow("hex below halfway counts")
        << "&H200000000000010001" << std::ldexp(9007199254740994.0, 16);
    QTest::newRow("beyond range") << "1E400" << inf;
    QTest::newRow("negative beyond range") << "-1E400" << -inf;
    QTest::newRow("huge exponent") << "1e99999999999999999999" << inf;
    QTest::newRow("too small") << "1E-400" << 0.0;
    QTest::newRow("fraction near the top") << "0.001E311" << 1e308;
    QTest::newRow("smallest subnormal") << "4.9E-324" << 4.9e-324;
}

void TestSheetNumbers::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    const double got = leadingNumberValue(text);
    if (std::isinf(value))
        QCOMPARE(got, value);
    else
        QVERIFY2(got == value, qPrintable(QString::number(got, 'g', 17)));
}

void TestSheetNumbers::leadingNumberIgnoresCLocale() {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("no German C locale installed");
    const double point = leadingNumberValue(QStringLiteral("0.7"));
    const QString text = vq::numbers::doubleText(0.7, QLocale::c());
    std::setlocale(LC_NUMERIC, saved.c_str());
    QCOMPARE(point, 0.7);
    QCOMPARE(text, QStringLiteral("0.7"));
}

void TestSheetNumbers::doubleText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale c = QLocale::c();
    QTest::newRow("whole") << 3.0 << c << "3";
    QTest::newRow("tenths") << 0.7 << c << "0.7";
    QTest::newRow("third") << 1.0 / 3 << c << "0.333333333333333";
    QTest::newRow("negative zero") << -0.0 << c << "0";
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << c << "0.3";
    QTest::newRow("fifteen nines") << 999999999999999.0 << c << "999999999999999";
    QTest::newRow("rounds up to 1E+15") << 999999999999999.9 << c << "1E+15";
    QTest::newRow("mantissa") << 1.5e15 << c << "1.5E+15";
    QTest::newRow("three exponent digits") << 1e100 << c << "1E+100";
    QTest::newRow("sixteen digits round") << 12345678901234567.0 << c << "1.23456789012346E+16";
    QTest::newRow("largest") << 1.7976931348623157e308 << c << "1.79769313486232E+308";
    QTest::newRow("satoshi plain") << 1e-8 << c << "0.00000001";
    QTest::newRow("below 1E-8") << 1.5e-9 << c << "1.5E-09";
    QTest::newRow("rounds up into plain") << 9.9999999999999999e-9 << c << "0.00000001";
    QTest::newRow("subnormal") << 4.9e-324 << c << "4.94065645841247E-324";
    QTest::newRow("no group separator") << 1234567.25 << c << "1234567.25";
    QTest::newRow("infinity") << inf << c << "Overflow";
    QTest::newRow("negative infinity") << -inf << c << "Overflow";
    QTest::newRow("NaN") << std::nan("") << c << "Undefined";
    QTest::newRow("comma third") << 1.0 / 3 << german << "0,333333333333333";
    QTest::newRow("comma exponent") << 1.5e15 << german << "1,5E+15";
    QTest::newRow("comma no group separator") << 1000000.0 << german << "1000000";
    QTest::newRow("comma negative") << -0.25 << german << "-0,25";
}

void TestSheetNumbers::doubleText() {
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QTEST(vq::numbers::doubleText(value, locale), "text");
}

void TestSheetNumbers::row_data() {
    for (const char* column : {"amount", "price", "rate", "converted", "usd", "value"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<bool>("holdsCoin");
    QTest::addColumn<bool>("comma");
    auto add = [](const char* name, std::initializer_list<const char*> t, bool holds,
                  bool comma = false) {
        QTest::newRow(name) << t.begin()[0] << t.begin()[1] << t.begin()[2] << t.begin()[3]
                            << t.begin()[4] << t.begin()[5] << holds << comma;
    };
    // amount, price, rate -> converted, usd, value
    add("plain", {"2", "100", "0.7", "70", "200", "140"}, true);
    add("zero amount", {"0", "100", "0.7", "70", "0", "0"}, false);
    add("0.0 holds coin", {"0.0", "100", "0.7", "70", "0", "0"}, true);
    add("blank 0 holds coin", {" 0", "100", "0.7", "70", "0", "0"}, true);
    add("comma typed", {"1,5", "100", "0.7", "70", "100", "70"}, true);
    add("negative", {"-1", "100", "0.7", "70", "-100", "-70"}, true);
    add("placeholder rate", {"2", "100", "Example: 0.70", "0", "200", "0"}, true);
    add("15 digits", {"1", "0.1", "3", "0.3", "0.1", "0.3"}, true);
    add("empty price", {"2", "", "0.7", "0", "0", "0"}, true);
    add("product overflows", {"1E200", "1E200", "1", "1E+200", "Overflow", "Overflow"}, true);
    add("price overflows", {"1", "1E400", "0.7", "Overflow", "Overflow", "Overflow"}, true);
    add("overflow times 0.0", {"0.0", "1E400", "0.7", "Overflow", "Overflow", "Overflow"}, true);
    add("overflow, amount 0", {"0", "1E400", "1", "Overflow", "0", "0"}, false);
    add("comma locale", {"1", "140.5", "0.5", "70,25", "140,5", "70,25"}, true, true);
}

void TestSheetNumbers::row() {
    QFETCH(QString, amount);
    QFETCH(QString, price);
    QFETCH(QString, rate);
    QFETCH(bool, comma);
    const RowResult r = valueRow(amount, price, rate, comma ? german : QLocale::c());
    QTEST(r.converted, "converted");
    QTEST(r.usd, "usd");
    QTEST(r.value, "value");
    QTEST(r.holdsCoin, "holdsCoin");
}

void TestSheetNumbers::total_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("total");
    const QLocale c = QLocale::c();
    auto rows = [](QStringList first) {
        while (first.size() < 10)
            first << design;
        return first;
    };
    QTest::newRow("two rows") << c << rows({"140", "70"}) << "210";
    QTest::newRow("all design texts") << c << rows({}) << "0";
    QTest::newRow("point fractions") << c << rows({"140.5", "70.25"}) << "210.75";
    QTest::newRow("comma fractions") << german << rows({"140,5", "70,25"}) << "210,75";
    QTest::newRow("comma exponent") << german << rows({"1,5E+15", "-1,5E+15"}) << "0";
    QTest::newRow("overflowed row") << c << rows({"Overflow", "1"}) << "Overflow";
    QTest::newRow("sum overflows") << c << rows({"1.7E+308", "1.7E+308"}) << "Overflow";
    QTest::newRow("cancels") << c << rows({"-5", "5"}) << "0";
}

void TestSheetNumbers::total() {
    QFETCH(QLocale, locale);
    QFETCH(QStringList, shown);
    QTEST(totalText(shown, locale), "total");
}

void TestSheetNumbers::calculator_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("result");
    auto add = [](const char* name, Operation op, const char* a, const char* b, const char* r) {
        QTest::newRow(name) << int(op) << a << b << r;
    };
    const Operation plus = Operation::Add, minus = Operation::Subtract, times = Operation::Multiply,
                    by = Operation::Divide;
    const char* zero = "Cannot divide by zero";
    add("10/4", by, "10", "4", "2.5");
    add("1/3", by, "1", "3", "0.333333333333333");
    add("0.1+0.2", plus, "0.1", "0.2", "0.3");
    add("5+0.0", plus, "5", "0.0", "5");
    add("5x0.0", times, "5", "0.0", "0");
    add("letters count 0", plus, "abc", "2", "2");
    add("big product", times, "123456789", "987654321", "1.21932631112635E+17");
    add("5/0", by, "5", "0", zero);
    add("5/0.0", by, "5", "0.0", zero);
    add("5/letters", by, "5", "abc", zero);
    add("0/0", by, "0", "0", zero);
    add("product overflows", times, "1E308", "10", "Overflow");
    add("difference overflows", minus, "-1E308", "1E308", "Overflow");
    add("overflowed operands", minus, "1E400", "1E400", "Overflow");
    add("quotient overflows", by, "1E308", "1E-10", "Overflow");
}

void TestSheetNumbers::calculator() {
    QFETCH(int, op);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QTEST(calculate(Operation(op), a, b, QLocale::c()), "result");
}

QTEST_APPLESS_MAIN(TestSheetNumbers)
#include "tst_numbers.moc"
