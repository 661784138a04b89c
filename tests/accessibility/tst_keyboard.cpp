// Every window with the keyboard and a screen reader.
#include "tests/support/testing.h"

#include <QAccessible>
#include <QPushButton>

using namespace vq;
using namespace vq::testing;

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(registerAllWindows); }
    void init() { useFreshStore(); }
    void cleanup() { unloadAll(); }

    // First focus, the one default button, and which of Enter, Escape, Space closes.
    void everyWindow_data() {
        QTest::addColumn<QStringList>("row"); // window, locked, first focus, closed by
        for (const char* row :
             {"main 0 VL_QUORIX_MAIN_BUTTON -", "sheet 0 CLOSE_BUTTON Space",
              "settings 0 NAME_CHANGE_LOCK_TICKBOX -", "lock 0 CANCEL_BUTTON Escape",
              "lock 1 LOCK_BUTTON -", "password 0 CANCEL_BUTTON Escape", "about 0 OK_BUTTON Space"})
            QTest::newRow(row) << QString(row).split(' ');
    }
    void everyWindow() {
        QFETCH(QStringList, row);
        const auto kind = WindowKind(
            QStringList{"main", "sheet", "settings", "lock", "password", "about"}.indexOf(row[0]));
        seedStore({{"CLIENT_LOCKED", row[1]}, {"LOCK-PASSWORD", "Hidden Word"}});
        Form* w = Windows::get(kind);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget()->objectName(), row[2]);
        for (auto* b : w->findChildren<QPushButton*>())
            QCOMPARE(QAccessible::queryAccessibleInterface(b)->state().defaultButton,
                     b->objectName() == "VL_QUORIX_MAIN_BUTTON");
        // Names of their own; the stored password never offered to a reader.
        QStringList names, spoken;
        for (auto* c : w->findChildren<QWidget*>()) {
            auto* a = QAccessible::queryAccessibleInterface(c);
            spoken << a->text(QAccessible::Name) << a->text(QAccessible::Value);
            if (c->isVisibleTo(w) && (c->focusPolicy() & Qt::TabFocus))
                names << a->text(QAccessible::Name);
        }
        QVERIFY(!names.contains(QString()) && !spoken.join('|').contains("Hidden Word"));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        if (kind == WindowKind::Main)
            return; // Enter opens the sheet: tst_main_window
        for (const QString key : {"Return", "Escape", "Space"}) {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
            QCOMPARE(Windows::find(kind) == nullptr, row[3] == key);
            if (row[3] == key)
                break;
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
