// What a screen reader is told about each window: every control the user
// can see has a name, the sheet's caption-less fields are named by row and
// column, and the lock window's hidden copy of the password is not readable.

#include "about/about_window.h"
#include "app/all_windows.h"
#include "frame/main_window.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
#include "lock/password_window.h"
#include "options/settings_window.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace vq;

namespace {

using Seed = QMap<QString, QString>;

QString spokenName(QObject* o) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Name) : QString();
}

Form* openWindow(WindowKind kind) {
    Form* w = Windows::get(kind);
    w->show();
    return w;
}

} // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testing::setUpTestApplication();
        registerAllWindows();
    }
    void init() { testing::useFreshStore(); }
    void cleanup() { testing::unloadAll(); }

    void everyVisibleControlNamed_data() {
        QTest::addColumn<Seed>("seed");
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("title");
        const Seed locked{{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "pw"}};
        QTest::newRow("compact main")
            << Seed{} << int(WindowKind::Main) << QStringLiteral("VL-QX - CRYPTO-NAME");
        QTest::newRow("sheet") << Seed{} << int(WindowKind::Sheet)
                               << QStringLiteral("VELMORA - QUORIX-V2 - Example: BTC");
        QTest::newRow("settings") << Seed{} << int(WindowKind::Settings)
                                  << QStringLiteral("VELMORA - QUORIX-V2 - SETTINGS");
        QTest::newRow("lock, unlocked layout")
            << Seed{} << int(WindowKind::Lock)
            << QStringLiteral("VELMORA - QUORIX-V2 - LOCK SCREEN");
        QTest::newRow("lock, locked layout") << locked << int(WindowKind::Lock)
                                             << QStringLiteral("VELMORA - QUORIX-V2 - LOCK SCREEN");
        QTest::newRow("password") << Seed{} << int(WindowKind::Password)
                                  << QStringLiteral(
                                         "VELMORA - QUORIX-V2 !!! SET LOCK PASSWORD !!!");
        QTest::newRow("about") << Seed{} << int(WindowKind::About)
                               << QStringLiteral("VELMORA-QUORIX");
    }
    void everyVisibleControlNamed() {
        QFETCH(Seed, seed);
        QFETCH(int, window);
        QFETCH(QString, title);
        testing::seedStore(seed);
        Form* w = openWindow(WindowKind(window));
        QCOMPARE(spokenName(w), title);
        QStringList unnamed;
        int checked = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QLabel*>(c);
            if (!control || !c->isVisibleTo(w))
                continue;
            ++checked;
            if (spokenName(c).trimmed().isEmpty())
                unnamed << c->objectName();
        }
        QVERIFY(checked > 0);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    void sheetNames_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        for (int n : {1, 3, 10}) {
            const auto row = [n](const char* control, const char* column) {
                QTest::addRow("%s%d", control, n)
                    << QLatin1String(control) + QString::number(n)
                    << QStringLiteral("Wallet %1 %2").arg(n).arg(QLatin1String(column));
            };
            row("WALLET_NAME_TEXTBOX_", "name");
            row("AMOUNT_IN_WALLET_", "amount");
            row("CURRENT_DOLLAR_VALUATION_", "current USD value");
            row("TOTAL_USD_VALUATION_TEXTBOX_", "total USD value");
            row("CONVERTED_VALUATION_", "converted value");
            row("TOTAL_VALUATION_", "total value");
            row("AUTOMATIC_CALCULATIONS_TICKBOX_", "auto calc");
        }
        const std::pair<const char*, const char*> single[] = {
            {"COMPLETE_USD_TOTAL_TEXTBOX", "Total USD"},
            {"COMPLETE_TOTAL_TEXTBOX", "Converted total"},
            {"AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL", "Auto calc total USD"},
            {"AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", "Auto calc converted total"},
            {"CRYPTO_NAME_TEXTBOX", "Crypto name"},
            {"EXCHANGE_RATE_TEXTBOX", "Exchange rate"},
            {"INPUT_A_TEXTBOX", "Calculator operand A"},
            {"MATHS_SIGN_TEXTBOX", "Calculator operation"},
            {"INPUT_B_TEXTBOX", "Calculator operand B"},
            {"OUTPUT_TEXTBOX", "Calculator result"},
            {"LOCK_BUTTON", "LOCK"},
            {"CLOSE_BUTTON", "CLOSE"},
            {"NAME_CHANGE_LOCK_TICKBOX", "Lock Crypto Names"},
        };
        for (const auto& [control, name] : single)
            QTest::newRow(control) << QString::fromLatin1(control) << QString::fromLatin1(name);
    }
    void sheetNames() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Form* sheet = openWindow(WindowKind::Sheet);
        QWidget* c = sheet->findChild<QWidget*>(control);
        QVERIFY(c);
        QCOMPARE(spokenName(c), name);
    }

    // Names stay unique: a screen reader's "go to Wallet 3 amount" finds one.
    void sheetNamesUnique() {
        Form* sheet = openWindow(WindowKind::Sheet);
        QMap<QString, QString> seen;
        for (QWidget* c : sheet->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(sheet) || !(c->focusPolicy() & Qt::TabFocus))
                continue;
            const QString name = spokenName(c);
            QVERIFY2(!seen.contains(name),
                     qPrintable(name + " names " + seen.value(name) + " and " + c->objectName()));
            seen.insert(name, c->objectName());
        }
        QVERIFY(seen.size() > 70);
    }

    void storedPasswordNotReadable() {
        testing::seedStore({{"LOCK-PASSWORD", "s3cret words"}});
        auto* lock = static_cast<LockWindow*>(openWindow(WindowKind::Lock));
        QCOMPARE(lock->CURRENT_PASSWORD_TEXTBOX->text(), QStringLiteral("s3cret words"));
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(lock->CURRENT_PASSWORD_TEXTBOX);
        QVERIFY(iface);
        QVERIFY(!iface->text(QAccessible::Value).contains("s3cret"));
        QAccessibleTextInterface* text = iface->textInterface();
        QVERIFY(text);
        QVERIFY(!text->text(0, text->characterCount()).contains("s3cret"));
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessible_names.moc"
