// The sheet's number rules: reading typed texts, writing figures, and the row, total and
// pocket-calculator sums built on them.
#include "numbers/numbers.h"

#include <QTest>

using namespace vq::numbers;

class NumbersTest : public QObject {
    Q_OBJECT
    const QLocale c = QLocale::c(), de{QLocale::German};
    // The rows "input;...;output;...|..." of a table; each test remakes a row from its inputs.
    static QList<QStringList> rows(const char* table) {
        QList<QStringList> all;
        for (const QString& row : QString::fromUtf8(table).split('|'))
            all << row.split(';');
        return all;
    }

private slots:
    // text; its value, as the C locale reads that cell
    void leadingNumber() {
        for (const QStringList& r :
             rows(";0|Example: 0.70;0|-;0|&H;0|٣;0|12abc;12|1,234;1|.5;0.5|-3.5e2;-350|\t+\n4;4|"
                  " 1 2;12|1.5D3;1500|2d-1;0.2|3E+;3|1.2.3;1.2|5.E2;500|0.1;0.1|&HFF;255|&hff;255|"
                  "&O17;15|&o78;7|&H1:;1|12345678901234567890123;12345678901234567890123|"
                  "&HFFFFFFFF;4294967295|&H10000000000000000;18446744073709551616|"
                  "&H20000000000001;9007199254740992|&H200000000000010001;590295810358705782784|"
                  "1E400;inf|-1E400;-inf|1e99999999999999999999;inf|1E-400;0|-1E-400;-0|"
                  "0.001E311;1e308|4.9E-324;4.9e-324")) {
            const double got = leadingNumberValue(r[0]), want = c.toDouble(r[1]);
            QCOMPARE(r[0] + ';' + QString::number(got, 'g', 17),
                     r[0] + ';' + QString::number(want, 'g', 17));
        }
    }

    // value; its figure in the C locale; in a comma locale
    void doubleText() {
        for (const QStringList& r :
             rows("3;3;3|0.7;0.7;0,7|0.3333333333333333;0.333333333333333;0,333333333333333|-0;0;0|"
                  "0.30000000000000004;0.3;0,3|999999999999999;999999999999999;999999999999999|"
                  "999999999999999.9;1E+15;1E+15|-1.5e15;-1.5E+15;-1,5E+15|1e100;1E+100;1E+100|"
                  "1.7976931348623157e308;1.79769313486232E+308;1,79769313486232E+308|"
                  "1e-8;0.00000001;0,00000001|1.5e-9;1.5E-09;1,5E-09|-inf;Overflow;Overflow|"
                  "9.9999999999999999e-9;0.00000001;0,00000001|nan;Undefined;Undefined|"
                  "4.9e-324;4.94065645841247E-324;4,94065645841247E-324|1234567.25;1234567.25;"
                  "1234567,25")) {
            const double v = c.toDouble(r[0]);
            QCOMPARE(
                QStringList({r[0], vq::numbers::doubleText(v, c), vq::numbers::doubleText(v, de)}),
                r);
        }
    }

    // amount; price; rate; converted; usd; value; 1 if the row holds coin (amount not "0", "")
    void row() {
        for (const QStringList& r : rows(
                 "2;100;0.7;70;200;140;1|0;100;0.7;70;0;0;0|;100;0.7;70;0;0;0|0.0;100;0.7;70;0;0;1|"
                 "1,5;100;0.7;70;100;70;1|-1;100;0.7;70;-100;-70;1|0;1E400;1;Overflow;0;0;0|"
                 "1E200;1E200;1;1E+200;Overflow;Overflow;1|0.0;1E400;0.7;Overflow;Overflow;"
                 "Overflow;1")) {
            const RowResult v = valueRow(r[0], r[1], r[2], c);
            QCOMPARE(r.mid(0, 3) << v.converted << v.usd << v.value << QString::number(v.holdsCoin),
                     r);
        }
    }

    // sign; A; B; result; 1 if the buttons work (neither operand "0" nor "")
    void calculator() {
        for (const QStringList& r :
             rows("/;10;4;2.5;1|+;0.1;0.2;0.3;1|-;5;7;-2;1|x;5;0.0;0;1|+;abc;2;2;1|-;;2;-2;0|"
                  "x;123456789;987654321;1.21932631112635E+17;1|/;5;0;Cannot divide by zero;0|"
                  "/;5;abc;Cannot divide by zero;1|/;1E400;0;Cannot divide by zero;0|"
                  "+;1E400;1;Overflow;1|x;1E308;10;Overflow;1|-;-1E308;1E308;Overflow;1|"
                  "/;1E308;1E-10;Overflow;1")) {
            const Operation op = Operation(QStringLiteral("+-x/").indexOf(r[0]));
            QCOMPARE(QStringList({operationSign(op), r[1], r[2], calculate(op, r[1], r[2], c),
                                  QString::number(calculatorUsable(r[1], r[2]))}),
                     r);
        }
    }

    // The sum of ten shown figures, the rest design texts, read with the locale's separator.
    void total() {
        const QStringList design(8, QStringLiteral("00000000.00000000"));
        QCOMPARE(totalText(design + QStringList{"140,5", "-70,25"}, de), "70,25");
        QCOMPARE(totalText(design + QStringList{"1.7E+308", "1.7E+308"}, c), "Overflow");
        QCOMPARE(totalText(design + QStringList{"Overflow", "-1E+308"}, c), "Overflow");
    }
};

QTEST_APPLESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
