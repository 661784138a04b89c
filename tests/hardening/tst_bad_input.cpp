// Text pasted into every field the sheet saves comes back exactly through the
// windows: control characters, NULs, any script, as long as typing may make
// a field; a longer paste is refused whole and says so. Each field gets its
// own variant, so that one saved under another's key shows.
#include "app/all_windows.h"
#include "frame/controls.h"
#include "frame/windows.h"
#include "settings/store.h"
#include "tests/support/testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QToolTip>
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

    // Typing and pasting stop at TextBox::maxTyped: a longer edit is refused
    // whole, at once and with a tooltip, also on a desktop with thousands of
    // fonts; a longer stored text loads and saves whole.
    void pastedComesBack_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("taken");
        const auto filled = [](qsizetype n) { // characters; the field's tag takes two more
            const QString piece = QStringLiteral("123.45 Grüße 日本 🚀 "); // 18, in 19 units
            return piece.repeated(n / 18) + QString(n % 18, QLatin1Char('x'));
        };
        QString controls; // with NUL
        for (char16_t c = 0; c < 0x20; ++c)
            controls += QChar(c) + QStringLiteral("x");
        QTest::newRow("as long as typing may be")
            << QString() << filled(TextBox::maxTyped - 2) << true;
        QTest::newRow("control characters, NULs")
            << QString() << controls + QStringLiteral("\x7f\u0085\u2028\r\n") << true;
        QTest::newRow("any script")
            << QString()
            << QStringLiteral("Grüße 日本語 🚀 עברית \u202Eabc\u202C \u200B \uFEFF e\u0301 ١٢٣")
            << true;
        QTest::newRow("one over, refused") << QString() << filled(TextBox::maxTyped - 1) << false;
        QTest::newRow("1 MB onto a longer stored text, refused")
            << filled(TextBox::maxTyped) << filled(1024 * 1024) << false;
    }
    void pastedComesBack() {
        QFETCH(QString, stored);
        QFETCH(QString, pasted);
        QFETCH(bool, taken);
        useFreshStore();
        Form* sheet = Windows::get(WindowKind::Sheet);
        QStringList names{"CRYPTO_NAME_TEXTBOX"}, keyNames{"CRYPTO_NAME"}, expected, lost;
        for (const keys::CatalogueEntry& e : keys::catalogue())
            if (e.kind == keys::Kind::Text && sheet->findChild<TextBox*>(e.name))
                names << e.name, keyNames << e.name; // every field named by its key
        const auto tag = [](int i) { return QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')); };
        if (!stored.isEmpty()) {
            QMap<QString, QString> seed;
            for (int i = 0; i < names.size(); ++i)
                seed.insert(keyNames[i], tag(i) + stored);
            unloadAll();
            seedStore(seed);
            sheet = Windows::get(WindowKind::Sheet);
        }
        for (int i = 0; i < names.size(); ++i) { // as Ctrl+A, Ctrl+V
            TextBox* box = control<TextBox>(sheet, names[i]);
            if (!stored.isEmpty() && box->text() != tag(i) + stored)
                lost << names[i] + " (load)";
            expected << (taken ? tag(i) + pasted : box->text());
            QToolTip::hideText();
            QGuiApplication::clipboard()->setText(tag(i) + pasted);
            box->selectAll();
            box->paste();
            if (box->text() != expected[i] || QToolTip::isVisible() == taken)
                lost << names[i] + " (paste)"; // named only: a megabyte is no message
        }
        click(sheet, "CLOSE_BUTTON");
        unloadAll();
        sheet = Windows::get(WindowKind::Sheet);
        for (int i = 0; i < names.size(); ++i)
            if (control<TextBox>(sheet, names[i])->text() != expected[i])
                lost << names[i];
        QVERIFY2(lost.isEmpty() && Store::instance().healthy(), qPrintable(lost.join(' ')));
        unloadAll();
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
