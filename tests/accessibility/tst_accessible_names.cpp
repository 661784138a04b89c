// What a screen reader is told: every control the user can see has a name, the
// sheet's caption-less fields are named by row and column, uniquely, and the
// lock window's hidden copy of the password is not readable.

#include "app/all_windows.h"
#include "frame/windows.h"
#include "lock/lock_window.h"
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
        QTest::newRow("compact main") << Seed{} << int(WindowKind::Main);
        QTest::newRow("sheet") << Seed{} << int(WindowKind::Sheet);
        QTest::newRow("settings") << Seed{} << int(WindowKind::Settings);
        QTest::newRow("lock, unlocked layout") << Seed{} << int(WindowKind::Lock);
        QTest::newRow("lock, locked layout")
            << Seed{{"CLIENT_LOCKED", "1"}, {"LOCK-PASSWORD", "pw"}} << int(WindowKind::Lock);
        QTest::newRow("password") << Seed{} << int(WindowKind::Password);
        QTest::newRow("about") << Seed{} << int(WindowKind::About);
    }
    void everyVisibleControlNamed() {
        QFETCH(Seed, seed);
        QFETCH(int, window);
        testing::seedStore(seed);
        Form* w = openWindow(WindowKind(window));
        QVERIFY(!spokenName(w).trimmed().isEmpty());
        QStringList unnamed;
        int checked = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!(qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                  qobject_cast<QLabel*>(c)) ||
                !c->isVisibleTo(w))
                continue;
            ++checked;
            if (spokenName(c).trimmed().isEmpty())
                unnamed << c->objectName();
        }
        QVERIFY(checked > 0);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // Caption-less fields are named by row and column, and names stay unique:
    // a screen reader's "go to Wallet 3 amount" finds one.
    void sheetNamesByRowAndUnique() {
        Form* sheet = openWindow(WindowKind::Sheet);
        const std::pair<const char*, const char*> columns[] = {
            {"WALLET_NAME_TEXTBOX_", "name"},
            {"AMOUNT_IN_WALLET_", "amount"},
            {"CURRENT_DOLLAR_VALUATION_", "current USD value"},
            {"TOTAL_USD_VALUATION_TEXTBOX_", "total USD value"},
            {"CONVERTED_VALUATION_", "converted value"},
            {"TOTAL_VALUATION_", "total value"},
            {"AUTOMATIC_CALCULATIONS_TICKBOX_", "auto calc"}};
        for (int n : {1, 3, 10})
            for (const auto& [control, column] : columns) {
                QWidget* c = sheet->findChild<QWidget*>(control + QString::number(n));
                QVERIFY2(c, control);
                QCOMPARE(spokenName(c), QStringLiteral("Wallet %1 %2").arg(n).arg(column));
            }
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
        QVERIFY(iface && iface->textInterface());
        QVERIFY(!iface->text(QAccessible::Value).contains("s3cret"));
        QAccessibleTextInterface* text = iface->textInterface();
        QVERIFY(!text->text(0, text->characterCount()).contains("s3cret"));
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessible_names.moc"
