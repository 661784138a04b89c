// The conversions between stored texts and control values, and
// the key catalogue's names and defaults.
#include "settings/convert.h"
#include "settings/keys.h"

#include <QtTest>
#include <cfloat>
#include <set>

using namespace vq;

using OptFloat = std::optional<float>;
using OptInt = std::optional<int>;
using OptBool = std::optional<bool>;
Q_DECLARE_METATYPE(OptFloat)
Q_DECLARE_METATYPE(OptInt)
Q_DECLARE_METATYPE(OptBool)

namespace {
const QLocale c = QLocale::c();
const QLocale german(QLocale::German, QLocale::Germany);
const QLocale english(QLocale::English, QLocale::UnitedStates);
const QLocale swedish(QLocale::Swedish, QLocale::Sweden); // minus sign U+2212
const QLocale arabic(QLocale::Arabic, QLocale::Egypt);    // Arabic-Indic digits
const QLocale persian(QLocale::Persian, QLocale::Iran);
} // namespace

class ConvertTest : public QObject {
    Q_OBJECT

private slots:
    void floatValue_data();
    void floatValue();
    void floatText_data();
    void floatText();
    void positionsRoundTrip_data();
    void positionsRoundTrip();
    void integerValue_data();
    void integerValue();
    void integerText();
    void truthValue_data();
    void truthValue();
    void tickValue_data();
    void tickValue();
    void catalogue();
    void defaults();
};

void ConvertTest::floatValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<OptFloat>("expected");
    const OptFloat none;
    QTest::newRow("integer") << "1000" << c << OptFloat(1000);
    QTest::newRow("negative") << "-1500" << c << OptFloat(-1500);
    QTest::newRow("plus sign") << "+7" << c << OptFloat(7);
    QTest::newRow("blanks around") << "  12.5\t " << c << OptFloat(12.5f);
    QTest::newRow("fraction") << "0.1" << c << OptFloat(0.1f);
    QTest::newRow("comma in C") << "1,5" << c << none;
    QTest::newRow("German comma") << "1,5" << german << OptFloat(1.5f);
    QTest::newRow("German negative") << "-1500" << german << OptFloat(-1500);
    QTest::newRow("German negative fraction") << "-1234,25" << german << OptFloat(-1234.25f);
    QTest::newRow("German reads C text") << "2.5" << german << OptFloat(2.5f);
    QTest::newRow("German group separator") << "1.000,5" << german << none;
    QTest::newRow("English group separator") << "1,000.5" << english << none;
    QTest::newRow("Swedish negative fraction") << "-1,5" << swedish << OptFloat(-1.5f);
    QTest::newRow("Swedish minus sign") << QString(QChar(0x2212)) + "2" << swedish << OptFloat(-2);
    QTest::newRow("Swedish exponent") << "1,5E-05" << swedish << OptFloat(1.5e-5f);
    QTest::newRow("Arabic negative fraction")
        << QStringLiteral("-1") + QChar(0x66B) + QStringLiteral("5") << arabic << OptFloat(-1.5f);
    QTest::newRow("Arabic-Indic digits")
        << QString(QChar(0x661)) + QChar(0x660) + QChar(0x660) + QChar(0x660) << arabic
        << OptFloat(1000);
    QTest::newRow("exponent") << "1E5" << c << OptFloat(1e5f);
    QTest::newRow("exponent lower case") << "1.5e-3" << c << OptFloat(1.5e-3f);
    QTest::newRow("exponent sign") << "-2.5E+10" << c << OptFloat(-2.5e10f);
    QTest::newRow("German exponent") << "2,5E+03" << german << OptFloat(2500);
    QTest::newRow("largest float") << "3.402823E+38" << c << OptFloat(3.402823e38f);
    QTest::newRow("beyond float") << "3.5E+38" << c << none;
    QTest::newRow("beyond float negative") << "-1e39" << c << none;
    QTest::newRow("beyond double") << "1e400" << c << none;
    QTest::newRow("infinity") << "inf" << c << none;
    QTest::newRow("not a number") << "nan" << c << none;
    QTest::newRow("letters") << "abc" << c << none;
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
    const OptFloat got = convert::floatValue(text, locale);
    QCOMPARE(got.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(*got, *expected);
}

void ConvertTest::floatText_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 1000.0f << c << "1000";
    QTest::newRow("negative whole") << -1500.0f << c << "-1500";
    QTest::newRow("zero") << 0.0f << c << "0";
    QTest::newRow("negative zero") << -0.0f << c << "0";
    QTest::newRow("fraction") << 1.5f << c << "1.5";
    QTest::newRow("German fraction") << 1.5f << german << "1,5";
    QTest::newRow("German negative") << -1500.0f << german << "-1500";
    QTest::newRow("German negative fraction") << -1234.25f << german << "-1234,25";
    QTest::newRow("no group separators") << 1234567.0f << english << "1234567";
    QTest::newRow("German no group separators") << 123456.5f << german << "123456,5";
    QTest::newRow("7 digits") << 0.1f << c << "0.1";
    QTest::newRow("rounded to 7 digits") << 3.14159265f << c << "3.141593";
    QTest::newRow("large fraction") << 123456.7f << c << "123456.7";
    QTest::newRow("exponent from 1E+07") << 12345678.0f << c << "1.234568E+07";
    QTest::newRow("exponent 1E+07") << 1e7f << c << "1E+07";
    QTest::newRow("largest") << FLT_MAX << c << "3.402823E+38";
    QTest::newRow("small") << 0.0001f << c << "0.0001";
    QTest::newRow("exponent below 1E-04") << 0.00001f << c << "1E-05";
    QTest::newRow("German exponent") << 1.5e-5f << german << "1,5E-05";
    QTest::newRow("Swedish negative") << -1.5f << swedish << "-1,5";
    QTest::newRow("Swedish exponent") << 1.5e-5f << swedish << "1,5E-05";
    QTest::newRow("Arabic whole") << -1500.0f << arabic << "-1500";
    QTest::newRow("Arabic fraction") << 1.5f << arabic << QStringLiteral("1") + QChar(0x66B) + "5";
}

void ConvertTest::floatText() {
    QFETCH(float, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(convert::floatText(value, locale), expected);
    // What is written reads back, to 7 significant digits.
    const OptFloat back = convert::floatValue(expected, locale);
    QVERIFY(back.has_value());
    QVERIFY(qFuzzyCompare(*back + 1.0f, value + 1.0f) || *back == value ||
            std::fabs(*back - value) <= std::fabs(value) * 1e-6f);
}

void ConvertTest::positionsRoundTrip_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << c;
    QTest::newRow("German") << german;
    QTest::newRow("English") << english;
    QTest::newRow("Swedish") << swedish;
    QTest::newRow("Arabic") << arabic;
    QTest::newRow("Persian") << persian;
}

// Window positions are whole twips, negative ones included (a window left of
// or above the primary screen); each is stored as a plain integer text and
// read back exactly, and so is a fractional one under the same locale.
void ConvertTest::positionsRoundTrip() {
    QFETCH(QLocale, locale);
    for (int twips = -200000; twips <= 200000; twips += 13) {
        const QString text = convert::floatText(float(twips), locale);
        QCOMPARE(text, QString::number(twips));
        const OptFloat back = convert::floatValue(text, locale);
        QVERIFY(back);
        QCOMPARE(*back, float(twips));
    }
    for (float v : {-1500.5f, 1000.25f, -0.75f, 12345.67f}) {
        const QString text = convert::floatText(v, locale);
        QVERIFY2(text.contains(locale.decimalPoint()), qPrintable(text));
        QCOMPARE(*convert::floatValue(text, locale), v);
    }
}

void ConvertTest::integerValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<OptInt>("expected");
    const OptInt none;
    QTest::newRow("0") << "0" << c << OptInt(0);
    QTest::newRow("1") << "1" << c << OptInt(1);
    QTest::newRow("0.5 to even 0") << "0.5" << c << OptInt(0);
    QTest::newRow("1.5 to even 2") << "1.5" << c << OptInt(2);
    QTest::newRow("2.5 to even 2") << "2.5" << c << OptInt(2);
    QTest::newRow("3.5 to even 4") << "3.5" << c << OptInt(4);
    QTest::newRow("-0.5 to even 0") << "-0.5" << c << OptInt(0);
    QTest::newRow("-1.5 to even -2") << "-1.5" << c << OptInt(-2);
    QTest::newRow("-2.5 to even -2") << "-2.5" << c << OptInt(-2);
    QTest::newRow("2.6 up") << "2.6" << c << OptInt(3);
    QTest::newRow("2.4 down") << "2.4" << c << OptInt(2);
    QTest::newRow("German 2,5") << "2,5" << german << OptInt(2);
    QTest::newRow("German -1500") << "-1500" << german << OptInt(-1500);
    QTest::newRow("exponent") << "1E3" << c << OptInt(1000);
    QTest::newRow("blanks") << " 42 " << c << OptInt(42);
    QTest::newRow("16-bit max") << "32767" << c << OptInt(32767);
    QTest::newRow("16-bit min") << "-32768" << c << OptInt(-32768);
    QTest::newRow("above max") << "32768" << c << none;
    QTest::newRow("below min") << "-32769" << c << none;
    QTest::newRow("32767.4 rounds into range") << "32767.4" << c << OptInt(32767);
    QTest::newRow("32767.5 rounds out of range") << "32767.5" << c << none;
    QTest::newRow("-32768.5 rounds to even, in range") << "-32768.5" << c << OptInt(-32768);
    QTest::newRow("-32769.5 out of range") << "-32769.5" << c << none;
    QTest::newRow("huge") << "1e20" << c << none;
    QTest::newRow("letters") << "abc" << c << none;
    QTest::newRow("empty") << "" << c << none;
    QTest::newRow("True is no number") << "True" << c << none;
}

void ConvertTest::integerValue() {
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(OptInt, expected);
    QCOMPARE(convert::integerValue(text, locale), expected);
}

void ConvertTest::integerText() {
    QCOMPARE(convert::integerText(0), QStringLiteral("0"));
    QCOMPARE(convert::integerText(1), QStringLiteral("1"));
    QCOMPARE(convert::integerText(-5), QStringLiteral("-5"));
    QCOMPARE(convert::integerText(32767), QStringLiteral("32767"));
    QCOMPARE(convert::integerText(-32768), QStringLiteral("-32768"));
    for (int v = -32768; v <= 32767; ++v)
        QCOMPARE(convert::integerValue(convert::integerText(v), german), OptInt(v));
}

void ConvertTest::truthValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<OptBool>("expected");
    const OptBool none;
    QTest::newRow("0") << "0" << c << OptBool(false);
    QTest::newRow("1") << "1" << c << OptBool(true);
    QTest::newRow("2") << "2" << c << OptBool(true);
    QTest::newRow("-1") << "-1" << c << OptBool(true);
    QTest::newRow("0.0") << "0.0" << c << OptBool(false);
    QTest::newRow("0.5") << "0.5" << c << OptBool(true);
    QTest::newRow("German 0,5") << "0,5" << german << OptBool(true);
    QTest::newRow("True") << "True" << c << OptBool(true);
    QTest::newRow("False") << "False" << c << OptBool(false);
    QTest::newRow("false") << "false" << c << OptBool(false);
    QTest::newRow("TRUE") << "TRUE" << c << OptBool(true);
    QTest::newRow("blanks") << " True " << c << OptBool(true);
    QTest::newRow("abc") << "abc" << c << none;
    QTest::newRow("yes") << "yes" << c << none;
    QTest::newRow("empty") << "" << c << none;
}

void ConvertTest::truthValue() {
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(OptBool, expected);
    QCOMPARE(convert::truthValue(text, locale), expected);
}

void ConvertTest::tickValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptInt>("expected");
    const OptInt none;
    QTest::newRow("0") << "0" << OptInt(0);
    QTest::newRow("1") << "1" << OptInt(1);
    QTest::newRow("2") << "2" << OptInt(2);
    QTest::newRow("3") << "3" << none;
    QTest::newRow("-1") << "-1" << none;
    QTest::newRow("0.4") << "0.4" << OptInt(0);
    QTest::newRow("1.5 to 2") << "1.5" << OptInt(2);
    QTest::newRow("2.5 to 2") << "2.5" << OptInt(2);
    QTest::newRow("2.6 to 3") << "2.6" << none;
    QTest::newRow("32767") << "32767" << none;
    QTest::newRow("99999") << "99999" << none;
    QTest::newRow("letters") << "abc" << none;
    QTest::newRow("empty") << "" << none;
    QTest::newRow("True") << "True" << none;
}

void ConvertTest::tickValue() {
    QFETCH(QString, text);
    QFETCH(OptInt, expected);
    QCOMPARE(convert::tickValue(text, c), expected);
}

// The 73 key names exactly as stored data spells them.
void ConvertTest::catalogue() {
    QStringList expected{"MINI-MAIN-Left",
                         "MINI-MAIN-Top",
                         "MINI-MAIN-Width",
                         "MINI-MAIN-Height",
                         "CRYPTO_NAME",
                         "CLIENT_LOCKED",
                         "AlwaysOnTopTimer_TICKBOX",
                         "AUTOSAVE_TICKBOX",
                         "NAME_CHANGE_LOCK_TICKBOX",
                         "10ScreenLeft",
                         "10ScreenTop",
                         "10ScreenWidth",
                         "10ScreenHeight",
                         "EXCHANGE_RATE_TEXTBOX",
                         "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL",
                         "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL",
                         "SettingsScreenLeft",
                         "SettingsScreenTop",
                         "SettingsScreenWidth",
                         "SettingsScreenHeight",
                         "AboutLeft",
                         "AboutTop",
                         "AboutWidth",
                         "AboutHeight",
                         "CLIENT-LOCK-WINDOW-Left",
                         "CLIENT-LOCK-WINDOW-Top",
                         "CLIENT-LOCK-WINDOW-Width",
                         "CLIENT-LOCK-WINDOW-Height",
                         "LOCK-PASSWORD",
                         "CLIENT-SET-PASSWORD-WINDOW-Left",
                         "CLIENT-SET-PASSWORD-WINDOW-Top",
                         "CLIENT-SET-PASSWORD-WINDOW-Width",
                         "CLIENT-SET-PASSWORD-WINDOW-Height"};
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("WALLET_NAME_TEXTBOX_%1").arg(n)
                 << QStringLiteral("AMOUNT_IN_WALLET_%1").arg(n)
                 << QStringLiteral("CURRENT_DOLLAR_VALUATION_%1").arg(n)
                 << QStringLiteral("AUTOMATIC_CALCULATIONS_TICKBOX_%1").arg(n);
    QCOMPARE(expected.size(), 73);
    QStringList names;
    int geometry = 0, tick = 0, text = 0;
    for (const keys::CatalogueEntry& e : keys::catalogue()) {
        names << e.name;
        geometry += e.kind == keys::Kind::Geometry;
        tick += e.kind == keys::Kind::TickBox;
        text += e.kind == keys::Kind::Text;
    }
    QCOMPARE(std::set<QString>(names.begin(), names.end()).size(), size_t(73));
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    QCOMPARE(geometry, 24);
    QCOMPARE(tick, 16);
    QCOMPARE(text, 33);
}

void ConvertTest::defaults() {
    auto geometry = [](const keys::GeometryKeys& g, const char* w, const char* h) {
        QCOMPARE(g.left.def, QStringLiteral("1000"));
        QCOMPARE(g.top.def, QStringLiteral("1000"));
        QCOMPARE(g.width.def, QLatin1String(w));
        QCOMPARE(g.height.def, QLatin1String(h));
    };
    geometry(keys::mainWindow, "2400", "1260");
    geometry(keys::sheet, "14475", "8175");
    geometry(keys::settingsWindow, "4335", "3270");
    geometry(keys::aboutWindow, "4860", "3645");
    geometry(keys::lockWindow, "6615", "3690");
    geometry(keys::passwordWindow, "6360", "4110");
    QCOMPARE(keys::cryptoNameForLabel.def, QStringLiteral("CRYPTO-NAME"));
    QCOMPARE(keys::cryptoNameForSheet.def, QStringLiteral("Example: BTC"));
    QCOMPARE(keys::clientLocked.def, QStringLiteral("0"));
    QCOMPARE(keys::alwaysOnTopForMain.def, QStringLiteral("1"));
    QCOMPARE(keys::alwaysOnTopForSettings.def, QStringLiteral("0"));
    QCOMPARE(keys::autosave.def, QStringLiteral("0"));
    QCOMPARE(keys::nameChangeLock.def, QStringLiteral("0"));
    QCOMPARE(keys::exchangeRate.def, QStringLiteral("Example: 0.70"));
    QCOMPARE(keys::usdTotalTick.def, QStringLiteral("0"));
    QCOMPARE(keys::convertedTotalTick.def, QStringLiteral("0"));
    QCOMPARE(keys::lockPassword.def, QString());
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(keys::walletName(n).def, QStringLiteral("Wallet Name"));
        QCOMPARE(keys::amountInWallet(n).def, QStringLiteral("0"));
        QCOMPARE(keys::currentDollarValuation(n).def, QStringLiteral("0"));
        QCOMPARE(keys::rowTick(n).def, QStringLiteral("0"));
    }
    // Every default of a geometry or tick-box key converts.
    for (const keys::Key* k : {&keys::clientLocked, &keys::alwaysOnTopForMain, &keys::autosave})
        QVERIFY(convert::tickValue(k->def).has_value());
}

QTEST_GUILESS_MAIN(ConvertTest)
#include "tst_convert.moc"
