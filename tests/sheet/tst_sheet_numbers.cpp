// The sheet's number rules: reading typed texts, writing figures, and the
// row, total and pocket-calculator sums built on them.

#include "sheet/numbers.h"

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
    void doubleTextC_data();
    void doubleTextC();
    void doubleTextComma_data();
    void doubleTextComma();
    void row_data();
    void row();
    void total_data();
    void total();
    void calculator_data();
    void calculator();
    void guard_data();
    void guard();
};

void TestSheetNumbers::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("placeholder") << "Example: 0.70" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("comma ends the run") << "1,234" << 1.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("signed exponent") << "-3.5e2" << -350.0;
    QTest::newRow("blanks anywhere") << " 1 2" << 12.0;
    QTest::newRow("tab and line feed") << "\t-\n4" << -4.0;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("D exponent") << "1.5D3" << 1500.0;
    QTest::newRow("small d exponent") << "2d-1" << 0.2;
    QTest::newRow("exponent without digits") << "3E+" << 3.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("trailing point") << "5.E2" << 500.0;
    QTest::newRow("tenth is nearest double") << "0.1" << 0.1;
    QTest::newRow("long digits") << "123456789012345678901234567890"
                                 << 123456789012345678901234567890.0;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\u0663") << 0.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
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
    const QString text = doubleText(0.7, QLocale::c());
    std::setlocale(LC_NUMERIC, saved.c_str());
    QCOMPARE(point, 0.7);
    QCOMPARE(text, QStringLiteral("0.7"));
}

void TestSheetNumbers::doubleTextC_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("tenths") << 0.7 << "0.7";
    QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << "0.3";
    QTest::newRow("fifteen nines") << 999999999999999.0 << "999999999999999";
    QTest::newRow("rounds up to 1E+15") << 999999999999999.9 << "1E+15";
    QTest::newRow("1E+15") << 1e15 << "1E+15";
    QTest::newRow("mantissa") << 1.5e15 << "1.5E+15";
    QTest::newRow("three exponent digits") << 1e100 << "1E+100";
    QTest::newRow("sixteen digits round") << 12345678901234567.0 << "1.23456789012346E+16";
    QTest::newRow("largest") << 1.7976931348623157e308 << "1.79769313486232E+308";
    QTest::newRow("satoshi plain") << 1e-8 << "0.00000001";
    QTest::newRow("below 1E-8") << 1.5e-9 << "1.5E-09";
    QTest::newRow("rounds up into plain") << 9.9999999999999999e-9 << "0.00000001";
    QTest::newRow("subnormal") << 4.9e-324 << "4.94065645841247E-324";
    QTest::newRow("no group separator") << 1234567.25 << "1234567.25";
    QTest::newRow("infinity") << inf << "Overflow";
    QTest::newRow("negative infinity") << -inf << "Overflow";
    QTest::newRow("NaN") << std::nan("") << "Undefined";
}

void TestSheetNumbers::doubleTextC() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(doubleText(value, QLocale::c()), text);
}

void TestSheetNumbers::doubleTextComma_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("row value") << 140.5 << "140,5";
    QTest::newRow("third") << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("exponent") << 1.5e15 << "1,5E+15";
    QTest::newRow("no group separator") << 1000000.0 << "1000000";
    QTest::newRow("negative") << -0.25 << "-0,25";
}

void TestSheetNumbers::doubleTextComma() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(doubleText(value, german), text);
}

void TestSheetNumbers::row_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("converted");
    QTest::addColumn<QString>("usd");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("holdsCoin");
    const QLocale c = QLocale::c();
    QTest::newRow("plain") << c << "2"
                           << "100"
                           << "0.7"
                           << "70"
                           << "200"
                           << "140" << true;
    QTest::newRow("zero amount") << c << "0"
                                 << "100"
                                 << "0.7"
                                 << "70"
                                 << "0"
                                 << "0" << false;
    QTest::newRow("empty amount") << c << ""
                                  << "100"
                                  << "0.7"
                                  << "70"
                                  << "0"
                                  << "0" << false;
    QTest::newRow("0.0 holds coin") << c << "0.0"
                                    << "100"
                                    << "0.7"
                                    << "70"
                                    << "0"
                                    << "0" << true;
    QTest::newRow("blank 0 holds coin") << c << " 0"
                                        << "100"
                                        << "0.7"
                                        << "70"
                                        << "0"
                                        << "0" << true;
    QTest::newRow("comma typed") << c << "1,5"
                                 << "100"
                                 << "0.7"
                                 << "70"
                                 << "100"
                                 << "70" << true;
    QTest::newRow("negative") << c << "-1"
                              << "100"
                              << "0.7"
                              << "70"
                              << "-100"
                              << "-70" << true;
    QTest::newRow("placeholder rate") << c << "2"
                                      << "100"
                                      << "Example: 0.70"
                                      << "0"
                                      << "200"
                                      << "0" << true;
    QTest::newRow("15 digits") << c << "1"
                               << "0.1"
                               << "3"
                               << "0.3"
                               << "0.1"
                               << "0.3" << true;
    QTest::newRow("empty price") << c << "2"
                                 << ""
                                 << "0.7"
                                 << "0"
                                 << "0"
                                 << "0" << true;
    QTest::newRow("product overflows") << c << "1E200"
                                       << "1E200"
                                       << "1"
                                       << "1E+200"
                                       << "Overflow"
                                       << "Overflow" << true;
    QTest::newRow("price overflows") << c << "1"
                                     << "1E400"
                                     << "0.7"
                                     << "Overflow"
                                     << "Overflow"
                                     << "Overflow" << true;
    QTest::newRow("overflow times 0.0") << c << "0.0"
                                        << "1E400"
                                        << "0.7"
                                        << "Overflow"
                                        << "Overflow"
                                        << "Overflow" << true;
    QTest::newRow("overflow, amount 0") << c << "0"
                                        << "1E400"
                                        << "1"
                                        << "Overflow"
                                        << "0"
                                        << "0" << false;
    QTest::newRow("comma locale") << german << "1"
                                  << "140.5"
                                  << "0.5"
                                  << "70,25"
                                  << "140,5"
                                  << "70,25" << true;
}

void TestSheetNumbers::row() {
    QFETCH(QLocale, locale);
    QFETCH(QString, amount);
    QFETCH(QString, price);
    QFETCH(QString, rate);
    const RowResult r = valueRow(amount, price, rate, locale);
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
    const int add = int(Operation::Add), sub = int(Operation::Subtract),
              mul = int(Operation::Multiply), div = int(Operation::Divide);
    QTest::newRow("10+4") << add << "10"
                          << "4"
                          << "14";
    QTest::newRow("10-4") << sub << "10"
                          << "4"
                          << "6";
    QTest::newRow("10x4") << mul << "10"
                          << "4"
                          << "40";
    QTest::newRow("10/4") << div << "10"
                          << "4"
                          << "2.5";
    QTest::newRow("1/3") << div << "1"
                         << "3"
                         << "0.333333333333333";
    QTest::newRow("0.1+0.2") << add << "0.1"
                             << "0.2"
                             << "0.3";
    QTest::newRow("5+0.0") << add << "5"
                           << "0.0"
                           << "5";
    QTest::newRow("5x0.0") << mul << "5"
                           << "0.0"
                           << "0";
    QTest::newRow("letters count 0") << add << "abc"
                                     << "2"
                                     << "2";
    QTest::newRow("big product") << mul << "123456789"
                                 << "987654321"
                                 << "1.21932631112635E+17";
    QTest::newRow("5/0") << div << "5"
                         << "0"
                         << "Cannot divide by zero";
    QTest::newRow("5/0.0") << div << "5"
                           << "0.0"
                           << "Cannot divide by zero";
    QTest::newRow("5/00") << div << "5"
                          << "00"
                          << "Cannot divide by zero";
    QTest::newRow("5/letters") << div << "5"
                               << "abc"
                               << "Cannot divide by zero";
    QTest::newRow("0/0") << div << "0"
                         << "0"
                         << "Cannot divide by zero";
    QTest::newRow("product overflows") << mul << "1E308"
                                       << "10"
                                       << "Overflow";
    QTest::newRow("difference overflows") << sub << "-1E308"
                                          << "1E308"
                                          << "Overflow";
    QTest::newRow("overflowed operands") << sub << "1E400"
                                         << "1E400"
                                         << "Overflow";
    QTest::newRow("quotient overflows") << div << "1E308"
                                        << "1E-10"
                                        << "Overflow";
}

void TestSheetNumbers::calculator() {
    QFETCH(int, op);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QTEST(calculate(Operation(op), a, b, QLocale::c()), "result");
}

void TestSheetNumbers::guard_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("usable");
    QTest::newRow("both set") << "5"
                              << "2" << true;
    QTest::newRow("B is 0") << "5"
                            << "0" << false;
    QTest::newRow("A empty") << ""
                             << "2" << false;
    QTest::newRow("0.0 passes") << "5"
                                << "0.0" << true;
    QTest::newRow("00 passes") << "00"
                               << "5" << true;
    QTest::newRow("blank 0 passes") << "0 "
                                    << "5" << true;
    QTest::newRow("letters pass") << "abc"
                                  << "2" << true;
}

void TestSheetNumbers::guard() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QTEST(calculatorUsable(a, b), "usable");
}

QTEST_APPLESS_MAIN(TestSheetNumbers)
#include "tst_sheet_numbers.moc"
