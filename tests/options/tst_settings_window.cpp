// The settings window over the real main window and sheet.
#include "compact/main_window.h"
#include "options/settings_window.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

using namespace vq;
using namespace vq::testing;

const QString clearAll = QStringLiteral("CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON");
const QString arming = QStringLiteral("ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX");
static int tick(const QObject* w, const QString& name) {
    return control<TickBox>(w, name)->value();
}
// The name lock's boxes, first and last: all locked (1), all free (0) or mixed.
static int nameLock(const QObject* s) {
    const int n = box(s, "CRYPTO_NAME_TEXTBOX")->locked() +
                  box(s, "WALLET_NAME_TEXTBOX_1")->locked() +
                  box(s, "WALLET_NAME_TEXTBOX_10")->locked();
    return n == 3 ? 1 : n == 0 ? 0 : -1;
}
const QStringList switchBoxes{"AUTOSAVE_TICKBOX", "AlwaysOnTopTimer_TICKBOX",
                              "NAME_CHANGE_LOCK_TICKBOX"};
// The three switches as stored, after writing `text` into each where given.
static QString switches(const QString& text = {}) {
    QStringList s;
    for (const QString& box : switchBoxes) {
        if (!text.isNull())
            Store::instance().write(box, text);
        s << Store::instance().read(box, "<none>");
    }
    return s.join(' ');
}

class TestSettingsWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAllWindows); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    // Switches act on opening and on clicks; closing stores them; arming lasts one window.
    void switchesActAndAreStored() {
        for (const auto& [text, on, afterLoad] :
             {std::tuple{"", 0, "<none> 0 <none>"}, {"1", 1, "1 1 1"}, {"yes", 0, "yes 0 yes"}}) {
            unloadAll();
            useFreshStore();
            if (*text)
                switches(text);
            auto* main = Windows::get<MainWindow>();
            auto* sheet = Windows::get<SheetWindow>();
            sheet->setAutoSave(false);
            sheet->setNamesLocked(false);
            auto* w = Windows::get<SettingsWindow>();
            QList<int> shown;
            for (const QString& box : switchBoxes)
                shown << tick(w, box);
            shown << running(sheet, "AUTOSAVE_TIMER") << running(main, "AlwaysOnTopTimer")
                  << nameLock(sheet);
            QCOMPARE(shown, QList<int>(6, on));
            QCOMPARE(switches(), QString(afterLoad));
            main->unload();
            for (const QString& box : switchBoxes)
                click(w, box);
            const QString now = QStringList(3, QString::number(1 - on)).join(' ');
            QCOMPARE(switches(), now);
            QVERIFY(running(sheet, "AUTOSAVE_TIMER") == !on && nameLock(sheet) == 1 - on &&
                    !Windows::find<MainWindow>());
            switches("x");
            w->setLeft(2400);
            click(w, arming);
            click(w, arming); // armed, then not
            QVERIFY(!control(w, clearAll)->isEnabled());
            on ? click(w, "OK_BUTTON") : void(w->close());
            QCOMPARE(switches() + " " + stored(keys::settingsWindow.left) +
                         stored(keys::settingsWindow.width),
                     now + " 2400<none>");
            QVERIFY(!storeFileContents().contains("ENABLE_CLEAR"));
            w = Windows::get<SettingsWindow>();
            QVERIFY(w->Left() == 2400 && control(w, arming)->isEnabled() && !tick(w, arming) &&
                    !control(w, clearAll)->isEnabled());
        }
    }

    // Every field back to its design text and stored, rows and totals frozen,
    // names free, clear-all locked out until the window closes.
    void clearAllResetsTheSheet() {
        QMap<QString, QString> seed;
        for (const auto& k : keys::catalogue())
            if (k.kind != keys::Kind::Geometry)
                seed[k.name] = k.kind == keys::Kind::Text ? "1.25" : "1";
        seedStore(seed);
        auto* main = Windows::get<MainWindow>();
        auto* sheet = Windows::get<SheetWindow>();
        advance(sheet);
        SettingsWindow* w = nullptr;
        QTimer::singleShot(0, [&] { (w = Windows::find<SettingsWindow>())->hide(); });
        click(sheet, "SETTINGS_BUTTON"); // returns once the modal window hides
        QVERIFY(w && w->isModal());
        click(w, arming);
        click(w, clearAll);
        const QStringList designs{"Wallet Name",   "00000000.00000000", "TOTAL USD",   "",
                                  "Example: 0.70", "CONVERTED TOTAL",   "Example: BTC"};
        for (TextBox* t : sheet->findChildren<TextBox*>()) {
            const QString name = t->objectName();
            QVERIFY2(designs.contains(t->text()), qPrintable(name));
            if (seed.contains(name))
                QCOMPARE(Store::instance().read(name, "<none>"), t->text());
            if (name.contains(QRegularExpression("^(WALLET_NAME|TOTAL_|COMPLETE_)")))
                QCOMPARE(t->backColor(), colours::red);
            if (name.startsWith("WALLET_NAME")) // it was green on black
                QCOMPARE(t->foreColor(), colours::black);
        }
        for (TickBox* t : sheet->findChildren<TickBox*>(QRegularExpression("^AUTOMATIC")))
            QCOMPARE(t->value(), 0);
        for (Timer* t : sheet->findChildren<Timer*>(QRegularExpression("^AUTO_CALC")))
            QVERIFY2(!t->isRunning(), qPrintable(t->objectName()));
        QCOMPARE(control<QLabel>(main, "CRYPTO_NAME_START_LABEL")->text() + " " +
                     stored(keys::cryptoNameForSheet) + " " + stored(keys::rowTick(10)),
                 QString("Example: BTC Example: BTC 1")); // switches wait for the sheet's save
        QCOMPARE((QList<int>{nameLock(sheet), tick(w, "NAME_CHANGE_LOCK_TICKBOX"),
                             control(w, clearAll)->isEnabled(), control(w, arming)->isEnabled(),
                             tick(w, arming)}),
                 QList<int>(5, 0));
        QVERIFY(!Store::instance().hasPending() &&
                storeFileContents().contains("AMOUNT_IN_WALLET_10=00000000.00000000"));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
