// The conversions between stored texts and control values.
#include "settings/convert.h"

#include <QtTest>

using namespace vq;

class ConvertTest : public QObject {
    Q_OBJECT
    // The C locale, a comma locale and one writing U+2212 as its minus stand for all.
    const QLocale c = QLocale::c(), de{QLocale::German}, sv{QLocale::Swedish};

    // Rows "text=reading|..." of one conversion under one locale; "-" for none.
    template <class F> void check(const QLocale& l, const char* rows, F read) {
        for (const QString& row : QString::fromUtf8(rows).split('|')) {
            const QString text = row.section('=', 0, 0);
            const auto v = read(text, l);
            QCOMPARE(text + '=' + (v ? QString::number(double(*v), 'g', 7) : "-"), row);
        }
    }

private slots:
    void readings() {
        check(c,
              "-1500=-1500|+7=7|  12.5\t =12.5|1,5=-|-2.5E+10=-2.5e+10|1.5e-3=0.0015|inf=-|"
              "3.402823E+38=3.402823e+38|3.5E+38=-|-1e39=-|1e400=-|12abc=-|=-|   =-|1.2.3=-|"
              "0x10=-|nan=-",
              convert::floatValue);
        check(de, "1,5=1.5|-1234,25=-1234.25|2.5=2.5|1.000,5=-|2,5E+03=2500", convert::floatValue);
        check(QLocale(QLocale::Arabic), "\u061c-1\u066b5=-1.5", convert::floatValue); // own minus
        // 16 bits, halves to the even neighbour
        check(c,
              "0.5=0|1.5=2|2.5=2|-0.5=0|-2.5=-2|2.6=3|1E3=1000|32767=32767|-32768=-32768|"
              "32768=-|-32769=-|32767.5=-|-32768.5=-32768|-32769.5=-|abc=-|True=-",
              convert::integerValue);
        check(de, "2,5=2|-1500=-1500", convert::integerValue);
        check(c, "0=0|2=1|-1=1|0.0=0|0.5=1|True=1|false=0| TRUE =1|yes=-|=-", convert::truthValue);
        check(de, "0,5=1", convert::truthValue);
        check(c, "0=0|1=1|2=2|3=-|-1=-|0.4=0|2.5=2|2.6=-|99999=-|abc=-", convert::tickValue);
    }

    // Rows "value=text" of floatText under one locale; each text reads back to 7 digits.
    void floatTexts() {
        for (auto [l, rows] : {std::pair{c, "-1500=-1500|-0=0|3.14159265=3.141593|9999999=9999999|"
                                            "12345678=1.234568E+07|3.40282346e38=3.402823E+38|"
                                            "0.0001=0.0001"},
                               {de, "-123456.5=-123456,5|1.5e-5=1,5E-05"},
                               {sv, "-2.5=-2,5"}})
            for (const QString& row : QString(rows).split('|')) {
                const float v = row.section('=', 0, 0).toFloat();
                QCOMPARE(row.section('=', 0, 0) + '=' + convert::floatText(v, l), row);
                const auto back = convert::floatValue(row.section('=', 1), l);
                QVERIFY(back && std::fabs(*back - v) <= std::fabs(v) * 1e-6f);
            }
    }
};

QTEST_GUILESS_MAIN(ConvertTest)
#include "tst_convert.moc"
