// Text pasted into every field the sheet saves comes back exactly through the
// windows: a megabyte, control characters, NULs, any script. Each field gets
// its own variant, so that one saved under another's key shows.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

using namespace vq;
using namespace vq::testing;

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpTestApplication();
        registerAllWindows();
    }

    void pastedComesBack_data() {
        QTest::addColumn<QString>("text");
        QString mega, controls; // with NUL
        while (mega.size() < 1024 * 1024)
            mega += QStringLiteral("123.45 Grüße 日本 🚀 ");
        for (char16_t c = 0; c < 0x20; ++c)
            controls += QChar(c) + QStringLiteral("x");
        QTest::newRow("1 MB") << mega.left(1024 * 1024);
        QTest::newRow("control characters, NULs")
            << controls + QStringLiteral("\x7f\u0085\u2028\r\n");
        QTest::newRow("any script")
            << QStringLiteral("Grüße 日本語 🚀 עברית \u202Eabc\u202C \u200B \uFEFF e\u0301 ١٢٣");
    }
    void pastedComesBack() {
        QFETCH(QString, text);
        useFreshStore();
        Form* sheet = Windows::get(WindowKind::Sheet);
        QStringList names{"CRYPTO_NAME_TEXTBOX"}, lost; // and every field named by its key
        for (const keys::CatalogueEntry& e : keys::catalogue())
            if (e.kind == keys::Kind::Text && sheet->findChild<TextBox*>(e.name))
                names << e.name;
        for (int i = 0; i < names.size(); ++i) { // as Ctrl+A, Ctrl+V
            QGuiApplication::clipboard()->setText(QString::number(i) + text);
            control<TextBox>(sheet, names[i])->selectAll();
            control<TextBox>(sheet, names[i])->paste();
        }
        click(sheet, "CLOSE_BUTTON");
        unloadAll();
        sheet = Windows::get(WindowKind::Sheet);
        for (int i = 0; i < names.size(); ++i)
            if (control<TextBox>(sheet, names[i])->text() != QString::number(i) + text)
                lost << names[i]; // named only: a megabyte is no message
        QVERIFY2(lost.isEmpty() && Store::instance().healthy(), qPrintable(lost.join(' ')));
        unloadAll();
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
