// Every text of every window, in the states it shows, stands out from what
// is behind it by at least 4.5:1 (WCAG AA) under the light default and under
// a dark desktop scheme, measured from the pixels the window draws.
#include "tests/support/testing.h"

using namespace vq;

namespace {
// The colours qt6ct's "darker" scheme hands every Qt program, in QPalette's
// order of roles; GNOME's and Plasma's dark schemes pair alike.
QPalette darkScheme() {
    const char* roles[] = {"#ffffff", "#424245", "#979797", "#5e5c5b", "#302f2e", "#4a4947",
                           "#ffffff", "#ffffff", "#ffffff", "#3d3d3d", "#222020", "#e7e4e0",
                           "#12608a", "#f9f9f9", "#0986d3", "#a70b06", "#5c5b5a"};
    QPalette p;
    for (int r = 0; r < int(std::size(roles)); ++r)
        p.setColor(QPalette::ColorRole(r), QColor(QLatin1String(roles[r])));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return p;
}

double luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

// The control's part of its window drawn with its text and with a blank in
// its place (which keeps a picture beside it where it was): the text's
// contrast is that of the changed pixel that stands out most from what it
// covers, 1 where nothing shows. Every control that shows text (a field, a
// label, a button or a tick box) has it as its "text" property.
double textContrast(QWidget* c) {
    QWidget* window = c->window();
    const QRect area(c->mapTo(window, QPoint()), c->size());
    const auto drawn = [&] {
        return window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage with = drawn();
    const QSignalBlocker quiet(c);
    const QVariant text = c->property("text");
    c->setProperty("text", QStringLiteral(" "));
    const QImage without = drawn();
    c->setProperty("text", text);
    double best = 1;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x) {
            const double a = luminance(with.pixel(x, y)), b = luminance(without.pixel(x, y));
            best = std::max(best, (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05));
        }
    return best;
}

// "NAME in STATE: 1.0:1" for every shown, enabled text of the window (or
// only of the named control) below 4.5:1. Disabled controls are exempt, as
// WCAG exempts them, and so are those wholly covered.
QStringList faint(QWidget* window, const QString& state, const QString& only = {}) {
    QStringList found;
    for (QWidget* c : window->findChildren<QWidget*>()) {
        if ((!only.isEmpty() && c->objectName() != only) || !c->isVisible() || !c->isEnabled() ||
            c->property("text").toString().isEmpty() || c->visibleRegion().isEmpty())
            continue;
        if (const double ratio = textContrast(c); ratio < 4.5)
            found << QStringLiteral("%1 in %2: %3:1")
                         .arg(c->objectName(), state, QString::number(ratio, 'f', 2));
    }
    return found;
}

Form* shown(WindowKind kind) {
    Form* w = Windows::get(kind);
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w) ? w : nullptr;
}
} // namespace

class TestContrast : public QObject {
    Q_OBJECT
    QPalette light_;

private slots:
    void initTestCase() {
        testing::setUpTestApplication(registerAllWindows);
        light_ = QApplication::palette();
    }
    void cleanup() { testing::unloadAll(); }

    void everyTextStandsOut_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light default") << false;
        QTest::newRow("dark scheme") << true;
    }
    void everyTextStandsOut() {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkScheme() : light_);
        testing::useFreshStore();
        // Row 1 calculates with coin held, row 2 with none, the rest are
        // frozen; one total adds up, the other is frozen.
        for (const QString& kv :
             QString("CRYPTO_NAME=BTC AMOUNT_IN_WALLET_1=0.5 CURRENT_DOLLAR_VALUATION_1=97250.5 "
                     "AUTOMATIC_CALCULATIONS_TICKBOX_1=1 AMOUNT_IN_WALLET_2=0 "
                     "AUTOMATIC_CALCULATIONS_TICKBOX_2=1 AMOUNT_IN_WALLET_3=2 "
                     "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL=1 LOCK-PASSWORD=secret")
                 .split(' '))
            testing::seedStore({{kv.section('=', 0, 0), kv.section('=', 1)}});
        QStringList found;
        QVERIFY(shown(WindowKind::Main));
        found << faint(Windows::find(WindowKind::Main), "main");

        Form* sheet = shown(WindowKind::Sheet);
        QVERIFY(sheet);
        testing::advance(sheet);
        testing::box(sheet, "INPUT_A_TEXTBOX")->setText("6");
        testing::box(sheet, "INPUT_B_TEXTBOX")->setText("3");
        testing::fire(sheet, "DISABLE_BUTTONS_TIMER");
        testing::click(sheet, "MULTIPLY_BUTTON");
        found << faint(sheet, "sheet");
        for (TextBox* t : sheet->findChildren<TextBox*>()) {
            t->setFocus();
            found << faint(sheet, "focus", t->objectName());
        }
        found << faint(sheet, "sheet, every field typed in");
        for (WindowKind kind : {WindowKind::Settings, WindowKind::About})
            found << faint(shown(kind), "its window");
        testing::unloadAll();

        Form* lock = shown(WindowKind::Lock);
        QVERIFY(lock);
        found << faint(lock, "lock");
        testing::box(lock, "ENTER_PASSWORD_TEXTBOX")->setText("wrong");
        testing::click(lock, "LOCK_BUTTON"); // locks and refuses the entry: red
        found << faint(lock, "locked, refused");
        // The right password shows green for as long as the window stays.
        testing::box(lock, "ENTER_PASSWORD_TEXTBOX")->setBackColor(colours::green);
        found << faint(lock, "locked, passing", "ENTER_PASSWORD_TEXTBOX");
        testing::unloadAll();

        Form* password = shown(WindowKind::Password);
        QVERIFY(password);
        testing::box(password, "ENTER_NEW_PASSWORD_TEXTBOX")->setText("one");
        testing::box(password, "RE_ENTER_NEW_PASSWORD_TEXTBOX")->setText("two");
        testing::click(password, "CHANGE_PASSWORD_BUTTON");
        found << faint(password, "password refused");
        for (const QString& f : found)
            qInfo("%s", qPrintable(f));
        QVERIFY2(found.isEmpty(), "texts fainter than 4.5:1, listed above");
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
