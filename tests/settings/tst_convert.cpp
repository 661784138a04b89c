// The conversions between stored texts and control values, and the key
// catalogue's names and defaults.
#include "settings/convert.h"
#include "settings/keys.h"

#include <QtTest>
#include <cfloat>

using namespace vq;

using OptFloat = std::optional<float>;
Q_DECLARE_METATYPE(OptFloat)

namespace {
// A comma locale and the C locale stand for all others.
const QLocale c = QLocale::c();
const QLocale german(QLocale::German, QLocale::Germany);

template <typename T> QString shown(const std::optional<T>& v) {
    return v ? QString::number(*v) : QStringLiteral("-");
}
} // namespace

class ConvertTest : public QObject {
    Q_OBJECT

private slots:
    void floatValue_data();
    void floatValue();
    void floatText_data();
    void floatText();
    void positionsRoundTrip();
    void wholeValues_data();
    void wholeValues();
    void integerText();
    void catalogue();
};

void ConvertTest::floatValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<OptFloat>("expected");
    const OptFloat none;
    QTest::newRow("negative") << "-1500" << c << OptFloat(-1500);
    QTest::newRow("plus sign") << "+7" << c << OptFloat(7);
    QTest::newRow("blanks around") << "  12.5\t " << c << OptFloat(12.5f);
    QTest::newRow("comma in C") << "1,5" << c << none;
    QTest::newRow("German comma") << "1,5" << german << OptFloat(1.5f);
    QTest::newRow("German negative fraction") << "-1234,25" << german << OptFloat(-1234.25f);
    QTest::newRow("German reads C text") << "2.5" << german << OptFloat(2.5f);
    QTest::newRow("German group separator") << "1.000,5" << german << none;
    QTest::newRow("exponent") << "-2.5E+10" << c << OptFloat(-2.5e10f);
    QTest::newRow("exponent lower case") << "1.5e-3" << c << OptFloat(1.5e-3f);
    QTest::newRow("German exponent") << "2,5E+03" << german << OptFloat(2500);
    QTest::newRow("largest float") << "3.402823E+38" << c << OptFloat(3.402823e38f);
    QTest::newRow("beyond float") << "3.5E+38" << c << none;
    QTest::newRow("beyond float negative") << "-1e39" << c << none;
    QTest::newRow("beyond double") << "1e400" << c << none;
    QTest::newRow("infinity") << "inf" << c << none;
    QTest::newRow("not a number") << "nan" << c << none;
    QTest::newRow("trailing letters") << "12abc" << c << none;
    QTest::newRow("empty") << "" << c << none;
    QTest::newRow("blanks") << "   " << c << none;
    QTest::newRow("two points") << "1.2.3" << c << none;
    QTest::newRow("hex") << "0x10" << c << none;
}

void ConvertTest::floatValue() {
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(OptFloat, expected);
    QCOMPARE(convert::floatValue(text, locale), expected);
}

void ConvertTest::floatText_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative whole") << -1500.0f << c << "-1500";
    QTest::newRow("negative zero") << -0.0f << c << "0";
    QTest::newRow("fraction") << 1.5f << c << "1.5";
    QTest::newRow("German negative fraction") << -1234.25f << german << "-1234,25";
    QTest::newRow("no group separators") << 123456.5f << german << "123456,5";
    QTest::newRow("rounded to 7 digits") << 3.14159265f << c << "3.141593";
    QTest::newRow("exponent from 1E+07") << 12345678.0f << c << "1.234568E+07";
    QTest::newRow("exponent 1E+07") << 1e7f << c << "1E+07";
    QTest::newRow("largest") << FLT_MAX << c << "3.402823E+38";
    QTest::newRow("small") << 0.0001f << c << "0.0001";
    QTest::newRow("exponent below 1E-04") << 0.00001f << c << "1E-05";
    QTest::newRow("German exponent") << 1.5e-5f << german << "1,5E-05";
}

void ConvertTest::floatText() {
    QFETCH(float, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(convert::floatText(value, locale), expected);
    // What is written reads back, to 7 significant digits.
    const OptFloat back = convert::floatValue(expected, locale);
    QVERIFY(back && std::fabs(*back - value) <= std::fabs(value) * 1e-6f);
}

// Window positions are whole twips, negative ones included: stored as plain
// integer texts and read back exactly, as are fractional ones.
void ConvertTest::positionsRoundTrip() {
    for (const QLocale& locale : {c, german}) {
        for (int twips = -200000; twips <= 200000; twips += 13) {
            const QString text = convert::floatText(float(twips), locale);
            QCOMPARE(text, QString::number(twips));
            QCOMPARE(convert::floatValue(text, locale), OptFloat(float(twips)));
        }
        for (float v : {-1500.5f, 1000.25f, -0.75f, 12345.67f}) {
            const QString text = convert::floatText(v, locale);
            QVERIFY2(text.contains(locale.decimalPoint()), qPrintable(text));
            QCOMPARE(convert::floatValue(text, locale), OptFloat(v));
        }
    }
}

// Integer (16-bit, halves to even), truth and tick-box values; "-" is none.
void ConvertTest::wholeValues_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("expected");
    // Pairs of text and expected value.
    auto add = [](const char* kind, bool comma, std::initializer_list<const char*> pairs) {
        for (auto it = pairs.begin(); it != pairs.end(); it += 2)
            QTest::addRow("%s '%s'%s", kind, it[0], comma ? " German" : "")
                << kind << it[0] << comma << it[1];
    };
    add("int", false,
        {"0.5",     "0",      "1.5",      "2",      "2.5",      "2",  "3.5",     "4",
         "-0.5",    "0",      "-1.5",     "-2",     "-2.5",     "-2", "2.6",     "3",
         "2.4",     "2",      "1E3",      "1000",   " 42 ",     "42", "32767",   "32767",
         "-32768",  "-32768", "32768",    "-",      "-32769",   "-",  "32767.4", "32767",
         "32767.5", "-",      "-32768.5", "-32768", "-32769.5", "-",  "1e20",    "-",
         "abc",     "-",      "",         "-",      "True",     "-"});
    add("int", true, {"2,5", "2", "-1500", "-1500"});
    add("truth", false,
        {"0", "0",     "2", "1",    "-1", "1",      "0.0", "0",   "0.5", "1", "True",
         "1", "false", "0", "TRUE", "1",  " True ", "1",   "yes", "-",   "",  "-"});
    add("truth", true, {"0,5", "1"});
    add("tick", false, {"0",   "0", "1",   "1", "2",     "2", "3",   "-", "-1", "-", "0.4",  "0",
                        "2.5", "2", "2.6", "-", "99999", "-", "abc", "-", "",   "-", "True", "-"});
}

void ConvertTest::wholeValues() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, comma);
    const QLocale& locale = comma ? german : c;
    const QString got = kind == "int"     ? shown(convert::integerValue(text, locale))
                        : kind == "truth" ? shown(convert::truthValue(text, locale))
                                          : shown(convert::tickValue(text, locale));
    QTEST(got, "expected");
}

void ConvertTest::integerText() {
    QCOMPARE(convert::integerText(-5), QStringLiteral("-5"));
    for (int v = -32768; v <= 32767; ++v)
        QCOMPARE(convert::integerValue(convert::integerText(v), german), std::optional<int>(v));
}

// The 73 key names exactly as stored data spells them: 24 geometry, 16 tick box, 33 text.
void ConvertTest::catalogue() {
    QStringList expected{"CRYPTO_NAME",
                         "CLIENT_LOCKED",
                         "AlwaysOnTopTimer_TICKBOX",
                         "AUTOSAVE_TICKBOX",
                         "NAME_CHANGE_LOCK_TICKBOX",
                         "EXCHANGE_RATE_TEXTBOX",
                         "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL",
                         "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL",
                         "LOCK-PASSWORD"};
    for (const char* w : {"MINI-MAIN-", "10Screen", "SettingsScreen", "About",
                          "CLIENT-LOCK-WINDOW-", "CLIENT-SET-PASSWORD-WINDOW-"})
        for (const char* side : {"Left", "Top", "Width", "Height"})
            expected << QLatin1String(w) + QLatin1String(side);
    for (int n = 1; n <= 10; ++n)
        for (const char* k : {"WALLET_NAME_TEXTBOX_", "AMOUNT_IN_WALLET_",
                              "CURRENT_DOLLAR_VALUATION_", "AUTOMATIC_CALCULATIONS_TICKBOX_"})
            expected << QLatin1String(k) + QString::number(n);
    QStringList names;
    QMap<keys::Kind, int> count;
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        names << e.name;
        ++count[e.kind];
    }
    names.sort();
    expected.sort();
    QCOMPARE(names, expected); // no duplicates either: expected has none
    QCOMPARE(count.value(keys::Kind::Geometry), 24);
    QCOMPARE(count.value(keys::Kind::TickBox), 16);
    QCOMPARE(count.value(keys::Kind::Text), 33);
}

QTEST_GUILESS_MAIN(ConvertTest)
#include "tst_convert.moc"
