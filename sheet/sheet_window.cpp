#include "sheet/sheet_window.h"

#include "frame/picture_button.h"
#include "frame/pictures.h"

#include "frame/colours.h"
#include "frame/intentions.h"
#include "frame/platform.h"
#include "frame/twips.h"
#include "frame/windows.h"
#include "numbers/numbers.h"
#include "settings/convert.h"
#include "settings/store.h"

#include <QDateTime>
#include <QFrame>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vq {

const QString SheetWindow::designWalletName = QStringLiteral("Wallet Name");
const QString SheetWindow::designFigure = QStringLiteral("00000000.00000000");
const QString SheetWindow::designUsdTotal = QStringLiteral("TOTAL USD");
const QString SheetWindow::designConvertedTotal = QStringLiteral("CONVERTED TOTAL");
const QString SheetWindow::designCryptoName = QStringLiteral("Example: BTC");
const QString SheetWindow::designExchangeRate = QStringLiteral("Example: 0.70");

namespace {

const QString captionPrefix = QStringLiteral("VELMORA - QUORIX-V2 - ");
const QString statusText = QStringLiteral("Status");
const QString savingFailedText = QStringLiteral("Saving failed");

constexpr int rowTop = 2160;
constexpr int rowPitch = 480;
constexpr int fieldHeight = 375;
constexpr int statusBarHeight = 270;
constexpr double rowFont = 8.25;

// One text field of a wallet row; the ten rows are built from this table.
struct RowField {
    const char* name;   // the control's name without the row number
    const char* spoken; // its column as a screen reader says it after "Wallet n"
    const char* help;   // what the field holds, for the accessible description
    int left, width;
    const QString* text;
    bool redBackground;
    bool readOnly;
    TextBox* WalletRow::*member;
};

const RowField rowFields[] = {
    {"WALLET_NAME_TEXTBOX_", "name", "The wallet's name. Its colours show the row's state.", 120,
     2175, &SheetWindow::designWalletName, true, false, &WalletRow::WALLET_NAME_TEXTBOX},
    {"AMOUNT_IN_WALLET_", "amount", "Coin held in the wallet.", 2520, 2055,
     &SheetWindow::designFigure, false, false, &WalletRow::AMOUNT_IN_WALLET},
    {"CURRENT_DOLLAR_VALUATION_", "current USD value", "Price of one coin in US dollars.", 4800,
     2055, &SheetWindow::designFigure, false, false, &WalletRow::CURRENT_DOLLAR_VALUATION},
    {"TOTAL_USD_VALUATION_TEXTBOX_", "total USD value",
     "The wallet's value in US dollars, worked out while auto calc is ticked.", 7080, 2055,
     &SheetWindow::designFigure, true, true, &WalletRow::TOTAL_USD_VALUATION_TEXTBOX},
    {"CONVERTED_VALUATION_", "converted value",
     "Price of one coin in the converted currency, worked out while auto calc is ticked.", 9360,
     2175, &SheetWindow::designFigure, false, true, &WalletRow::CONVERTED_VALUATION},
    {"TOTAL_VALUATION_", "total value",
     "The wallet's value in the converted currency, worked out while auto calc is ticked.", 11760,
     2175, &SheetWindow::designFigure, true, true, &WalletRow::TOTAL_VALUATION},
};

// "Wallet 3 amount": a caption-less row field is named by its row and column.
QString spokenRowName(int n, const char* column) {
    return QStringLiteral("Wallet %1 %2").arg(n).arg(QLatin1String(column));
}

QByteArray rowName(const char* prefix, int n) {
    return QByteArray(prefix) + QByteArray::number(n);
}

// Thin dark line of the sheet's grid, in twips.
void gridLine(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, Qt::darkGray);
    line->setPalette(p);
    line->setObjectName(QLatin1String(name));
    const QRect r = twips::rect(left, top, width, height);
    line->setGeometry(r.x(), r.y(), qMax(1, r.width()), qMax(1, r.height()));
}

TextBox* textBox(QWidget* parent, const char* name, const QString& text, int left, int top,
                 int width, int height, double points) {
    auto* t = new TextBox(parent, text);
    place(t, name, left, top, width, height);
    t->setFont(boldFont(points));
    return t;
}

Button* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
               int width, int height, double points = 8.25) {
    auto* b = new Button(parent, caption);
    place(b, name, left, top, width, height);
    b->setFont(boldFont(points));
    return b;
}

Label* heading(QWidget* parent, const char* name, const QString& caption, int left, int width,
               double points, uint32_t back) {
    auto* l = new Label(parent, caption);
    place(l, name, left, 1800, width, 330);
    l->setFont(boldFont(points));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    if (back != colours::windowBackground)
        l->setColours(colours::windowText, back);
    return l;
}

} // namespace

SheetWindow::SheetWindow()
    : Form(Kind, "VL_QUORIX_10_SCREEN",
           Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("VELMORA - QUORIX-V2 - "));

    VELMORA_QUORIX_TITLE = new Label(this, QStringLiteral("VELMORA - QUORIX-V2"));
    place(VELMORA_QUORIX_TITLE, "VELMORA_QUORIX_TITLE", 120, 120, 7095, 480);
    VELMORA_QUORIX_TITLE->makeBanner(13.5);

    LOCK_BUTTON = new PictureButton(this, QStringLiteral("LOCK"));
    place(LOCK_BUTTON, "LOCK_BUTTON", 7440, 240, 855, 735);
    LOCK_BUTTON->setIcon(pictures::icon(pictures::padlock));
    // The padlock fills what the caption leaves of the small button.
    LOCK_BUTTON->setIconSize(QSize(twips::toPx(735) - 22, twips::toPx(735) - 22));
    LOCK_BUTTON->setFont(boldFont(8.25));
    LOCK_BUTTON->setBackColor(colours::white);
    ABOUT_BUTTON = button(this, "ABOUT_BUTTON", QStringLiteral("ABOUT"), 7440, 1200, 855, 375);
    CALC_BUTTON = button(this, "CALC_BUTTON", QStringLiteral("CALCULATOR"), 8520, 240, 1695, 375);
    SETTINGS_BUTTON =
        button(this, "SETTINGS_BUTTON", QStringLiteral("SETTINGS"), 10440, 240, 1575, 375);
    CLOSE_BUTTON = button(this, "CLOSE_BUTTON", QStringLiteral("CLOSE"), 12120, 240, 1815, 375);

    CRYPTO_NAME_LABEL = new Label(this, QStringLiteral("Crypto Name:"));
    place(CRYPTO_NAME_LABEL, "CRYPTO_NAME_LABEL", 8520, 840, 1500, 255);
    CRYPTO_NAME_LABEL->setFont(boldFont(8.25));
    CRYPTO_NAME_LABEL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CRYPTO_NAME_TEXTBOX =
        textBox(this, "CRYPTO_NAME_TEXTBOX", designCryptoName, 10080, 720, 3855, 390, 12);
    CRYPTO_NAME_TEXTBOX->setAlignment(Qt::AlignCenter);

    LABEL_DOLLAR_EQUALS = new Label(this, QStringLiteral("Exchange Rate:"));
    place(LABEL_DOLLAR_EQUALS, "LABEL_DOLLAR_EQUALS", 8520, 1320, 1500, 255);
    LABEL_DOLLAR_EQUALS->setFont(boldFont(8.25));
    LABEL_DOLLAR_EQUALS->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXCHANGE_RATE_TEXTBOX =
        textBox(this, "EXCHANGE_RATE_TEXTBOX", designExchangeRate, 10080, 1200, 3855, 390, 12);
    EXCHANGE_RATE_TEXTBOX->setAlignment(Qt::AlignCenter);

    buildCalculator();

    LABEL_WALLET_NAME = heading(this, "LABEL_WALLET_NAME", QStringLiteral("Wallet Name"), 120, 2175,
                                9.75, colours::windowBackground);
    LABEL_WALLET_TOTAL = heading(this, "LABEL_WALLET_TOTAL", QStringLiteral("Wallet Total"), 2520,
                                 2055, 9.75, colours::windowBackground);
    LABEL_CURRENT_USD_VALUATION =
        heading(this, "LABEL_CURRENT_USD_VALUATION", QStringLiteral("Current USD Value"), 4800,
                2055, 9.75, colours::lightGreen);
    LABEL_TOTAL_USD_VALUATION =
        heading(this, "LABEL_TOTAL_USD_VALUATION", QStringLiteral("Total USD Value"), 7080, 2055,
                9.75, colours::lightGreen);
    LABEL_CONVERTED_VALUATION =
        heading(this, "LABEL_CONVERTED_VALUATION", QStringLiteral("CONVERTED Value"), 9360, 2175,
                9.75, colours::lightYellow);
    LABEL_TOTAL_VALUATION = heading(this, "LABEL_TOTAL_VALUATION", QStringLiteral("TOTAL Value"),
                                    11760, 2175, 9.75, colours::lightYellow);
    AUTOMATIC_CALCULATIONS_LABEL =
        heading(this, "AUTOMATIC_CALCULATIONS_LABEL", QStringLiteral("Auto Calc"), 13920, 435, 8.25,
                colours::windowBackground);

    buildRows();

    COMPLETE_USD_TOTAL_TEXTBOX =
        textBox(this, "COMPLETE_USD_TOTAL_TEXTBOX", designUsdTotal, 7080, 7080, 2055, 375, rowFont);
    COMPLETE_USD_TOTAL_TEXTBOX->setReadOnly(true);
    COMPLETE_USD_TOTAL_TEXTBOX->setBackColor(colours::red);
    AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL = new TickBox(this);
    place(AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL, "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL",
          9240, 7080, 255, 255);
    AUTO_CALCULATE_USD_TIMER_TOTAL = new Timer(this, "AUTO_CALCULATE_USD_TIMER_TOTAL");

    COMPLETE_TOTAL_TEXTBOX = textBox(this, "COMPLETE_TOTAL_TEXTBOX", designConvertedTotal, 11760,
                                     7080, 2175, 375, rowFont);
    COMPLETE_TOTAL_TEXTBOX->setReadOnly(true);
    COMPLETE_TOTAL_TEXTBOX->setBackColor(colours::red);
    AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL = new TickBox(this);
    place(AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", 14040, 7080,
          255, 255);
    AUTO_CALCULATE_TIMER_TOTAL = new Timer(this, "AUTO_CALCULATE_TIMER_TOTAL");

    AUTOSAVE_TICKBOX = new TickBox(this, QStringLiteral("Auto-Save Every 1-Minute"));
    place(AUTOSAVE_TICKBOX, "AUTOSAVE_TICKBOX", 120, 7680, 3375, 255);
    AUTOSAVE_TICKBOX->hide();
    AUTOSAVE_TIMER = new Timer(this, "AUTOSAVE_TIMER");

    NAME_CHANGE_LOCK_TICKBOX = new TickBox(this, QStringLiteral("Lock Crypto Names"));
    place(NAME_CHANGE_LOCK_TICKBOX, "NAME_CHANGE_LOCK_TICKBOX", 3600, 7680, 2415, 255);
    NAME_CHANGE_LOCK_TICKBOX->setFont(boldFont(8.25));

    gridLine(this, "GRID_LINE_TOP", 120, 1680, 13800, 15);
    gridLine(this, "GRID_LINE_BOTTOM", 120, 6960, 14280, 15);
    gridLine(this, "GRID_LINE_NAME", 2400, 1680, 15, 5280);
    gridLine(this, "GRID_LINE_AMOUNT", 4680, 1680, 15, 5280);
    gridLine(this, "GRID_LINE_CONVERTED", 9240, 1680, 15, 5280);

    buildStatusBar();
    setTabChain();
    nameForScreenReaders();

    connect(CLOSE_BUTTON, &QPushButton::clicked, this, &SheetWindow::CLOSE_BUTTON_Click);
    connect(CALC_BUTTON, &QPushButton::clicked, this, &SheetWindow::CALC_BUTTON_Click);
    connect(SETTINGS_BUTTON, &QPushButton::clicked, this, &SheetWindow::SETTINGS_BUTTON_Click);
    connect(ABOUT_BUTTON, &QPushButton::clicked, this, &SheetWindow::ABOUT_BUTTON_Click);
    connect(LOCK_BUTTON, &QPushButton::clicked, this, &SheetWindow::LOCK_BUTTON_Click);
    connect(CRYPTO_NAME_TEXTBOX, &TextBox::change, this, &SheetWindow::CRYPTO_NAME_TEXTBOX_Change);
    connect(CRYPTO_NAME_TEXTBOX, &TextBox::gotFocus, this,
            &SheetWindow::CRYPTO_NAME_TEXTBOX_GotFocus);
    connect(CRYPTO_NAME_TEXTBOX, &TextBox::lostFocus, this,
            &SheetWindow::CRYPTO_NAME_TEXTBOX_LostFocus);
    connect(EXCHANGE_RATE_TEXTBOX, &TextBox::gotFocus, this,
            &SheetWindow::EXCHANGE_RATE_TEXTBOX_GotFocus);
    connect(EXCHANGE_RATE_TEXTBOX, &TextBox::lostFocus, this,
            &SheetWindow::EXCHANGE_RATE_TEXTBOX_LostFocus);
    connect(AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click);
    connect(AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click);
    connect(AUTO_CALCULATE_TIMER_TOTAL, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer);
    connect(AUTO_CALCULATE_USD_TIMER_TOTAL, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer);
    connect(AUTOSAVE_TIMER, &Timer::tick, this, &SheetWindow::AUTOSAVE_TIMER_Timer);

    setFixedSize(twips::size(14355, 8985));
    // The window opens with the focus on the first control of the tab order.
    CLOSE_BUTTON->setFocus();
}

void SheetWindow::nameForScreenReaders() {
    // Fields without a caption of their own are named after what stands next
    // to them; buttons and tick boxes with a caption speak that caption. The
    // calculator's symbol buttons get words, which read better than "x".
    struct Spoken {
        QWidget* w;
        const char* name; // null: the caption names it
        const char* help;
    };
    const Spoken spoken[] = {
        {this, nullptr, "Ten wallets of one coin, valued in US dollars and one other currency."},
        {CLOSE_BUTTON, nullptr, "Saves the sheet and closes it."},
        {LOCK_BUTTON, nullptr, "Saves and closes the sheet, then opens the lock window."},
        {ABOUT_BUTTON, nullptr, "Shows the version and the author."},
        {CALC_BUTTON, nullptr, "Starts the desktop's calculator."},
        {SETTINGS_BUTTON, nullptr, "Opens the settings window."},
        {CRYPTO_NAME_TEXTBOX, "Crypto name", "The coin's name; it is saved as you type."},
        {EXCHANGE_RATE_TEXTBOX, "Exchange rate", "Units of the converted currency per US dollar."},
        {COMPLETE_USD_TOTAL_TEXTBOX, "Total USD", "The sum of the wallets' US dollar values."},
        {COMPLETE_TOTAL_TEXTBOX, "Converted total", "The sum of the wallets' converted values."},
        {AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL, "Auto calc total USD",
         "Adds up the US dollar total once a second while ticked."},
        {AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL, "Auto calc converted total",
         "Adds up the converted total once a second while ticked."},
        {NAME_CHANGE_LOCK_TICKBOX, nullptr,
         "The settings window's name lock decides whether the names can be edited."},
        {INPUT_A_TEXTBOX, "Calculator operand A", "The calculator's left operand."},
        {MATHS_SIGN_TEXTBOX, "Calculator operation", "The sign of the last operation pressed."},
        {INPUT_B_TEXTBOX, "Calculator operand B", "The calculator's right operand."},
        {OUTPUT_TEXTBOX, "Calculator result", "The result of the last operation pressed."},
        {ADD_BUTTON, "Add", "Operand A plus operand B."},
        {SUBTRACT_BUTTON, "Subtract", "Operand A minus operand B."},
        {MULTIPLY_BUTTON, "Multiply", "Operand A times operand B."},
        {DIVIDE_BUTTON, "Divide", "Operand A divided by operand B."},
        {CLEAR_BUTTON, nullptr, "Empties the calculator."},
        {DATE_PANEL, nullptr, "Today's date."},
        {TIME_PANEL, nullptr, "The current time."},
    };
    for (const Spoken& s : spoken) {
        if (s.name)
            s.w->setAccessibleName(QLatin1String(s.name));
        s.w->setAccessibleDescription(QLatin1String(s.help));
    }
}

void SheetWindow::buildRows() {
    for (int n = 1; n <= Rows; ++n) {
        WalletRow& r = row(n);
        const int top = rowTop + rowPitch * (n - 1);
        for (const RowField& f : rowFields) {
            TextBox* t = textBox(this, rowName(f.name, n).constData(), *f.text, f.left, top,
                                 f.width, fieldHeight, rowFont);
            if (f.redBackground)
                t->setBackColor(colours::red);
            t->setReadOnly(f.readOnly);
            t->setAccessibleName(spokenRowName(n, f.spoken));
            t->setAccessibleDescription(QLatin1String(f.help));
            r.*f.member = t;
        }
        r.AUTOMATIC_CALCULATIONS_TICKBOX = new TickBox(this);
        place(r.AUTOMATIC_CALCULATIONS_TICKBOX,
              rowName("AUTOMATIC_CALCULATIONS_TICKBOX_", n).constData(), 14040, top + 120, 255,
              255);
        r.AUTOMATIC_CALCULATIONS_TICKBOX->setAccessibleName(spokenRowName(n, "auto calc"));
        r.AUTOMATIC_CALCULATIONS_TICKBOX->setAccessibleDescription(
            QStringLiteral("Works out the wallet's values once a second while ticked."));
        r.AUTO_CALCULATE_TIMER = new Timer(this, rowName("AUTO_CALCULATE_TIMER_", n).constData());

        connect(r.AUTOMATIC_CALCULATIONS_TICKBOX, &TickBox::click, this,
                [this, n] { AUTOMATIC_CALCULATIONS_TICKBOX_Click(n); });
        connect(r.AUTO_CALCULATE_TIMER, &Timer::tick, this,
                [this, n] { AUTO_CALCULATE_TIMER_Timer(n); });
        connect(r.AMOUNT_IN_WALLET, &TextBox::gotFocus, this,
                [this, n] { AMOUNT_IN_WALLET_GotFocus(n); });
        connect(r.AMOUNT_IN_WALLET, &TextBox::lostFocus, this,
                [this, n] { AMOUNT_IN_WALLET_LostFocus(n); });
        connect(r.CURRENT_DOLLAR_VALUATION, &TextBox::gotFocus, this,
                [this, n] { CURRENT_DOLLAR_VALUATION_GotFocus(n); });
        connect(r.CURRENT_DOLLAR_VALUATION, &TextBox::lostFocus, this,
                [this, n] { CURRENT_DOLLAR_VALUATION_LostFocus(n); });
    }
}

void SheetWindow::buildCalculator() {
    auto operand = [this](const char* name, int left, int width, double points) {
        TextBox* t = textBox(this, name, {}, left, 720, width, 375, points);
        t->setAlignment(Qt::AlignCenter);
        t->setBackColor(colours::windowText);
        t->setForeColor(colours::green);
        return t;
    };
    INPUT_A_TEXTBOX = operand("INPUT_A_TEXTBOX", 120, 1935, 9.75);
    INPUT_B_TEXTBOX = operand("INPUT_B_TEXTBOX", 2400, 1935, 9.75);
    OUTPUT_TEXTBOX = operand("OUTPUT_TEXTBOX", 4320, 2895, 9.75);
    OUTPUT_TEXTBOX->setReadOnly(true);
    // Created after the operands so that it stands above the pixel it
    // overlaps of each.
    MATHS_SIGN_TEXTBOX = operand("MATHS_SIGN_TEXTBOX", 2040, 375, 13.5);
    MATHS_SIGN_TEXTBOX->setReadOnly(true);
    MATHS_SIGN_TEXTBOX->setFocusPolicy(Qt::ClickFocus);

    ADD_BUTTON = button(this, "ADD_BUTTON", QStringLiteral("+"), 120, 1200, 975, 345, 12);
    SUBTRACT_BUTTON =
        button(this, "SUBTRACT_BUTTON", QStringLiteral("-"), 1200, 1200, 975, 345, 12);
    MULTIPLY_BUTTON =
        button(this, "MULTIPLY_BUTTON", QStringLiteral("x"), 2280, 1200, 975, 375, 9.75);
    DIVIDE_BUTTON = button(this, "DIVIDE_BUTTON", QStringLiteral("/"), 3360, 1200, 975, 375, 9.75);
    CLEAR_BUTTON = button(this, "CLEAR_BUTTON", QStringLiteral("CLEAR"), 4800, 1200, 2055, 375);
    for (Button* b : {ADD_BUTTON, SUBTRACT_BUTTON, MULTIPLY_BUTTON, DIVIDE_BUTTON, CLEAR_BUTTON})
        b->setEnabled(false);
    DISABLE_BUTTONS_TIMER = new Timer(this, "DISABLE_BUTTONS_TIMER");

    connect(ADD_BUTTON, &QPushButton::clicked, this, &SheetWindow::ADD_BUTTON_Click);
    connect(SUBTRACT_BUTTON, &QPushButton::clicked, this, &SheetWindow::SUBTRACT_BUTTON_Click);
    connect(MULTIPLY_BUTTON, &QPushButton::clicked, this, &SheetWindow::MULTIPLY_BUTTON_Click);
    connect(DIVIDE_BUTTON, &QPushButton::clicked, this, &SheetWindow::DIVIDE_BUTTON_Click);
    connect(CLEAR_BUTTON, &QPushButton::clicked, this, &SheetWindow::CLEAR_BUTTON_Click);
    connect(DISABLE_BUTTONS_TIMER, &Timer::tick, this, &SheetWindow::DISABLE_BUTTONS_TIMER_Timer);
    connect(INPUT_A_TEXTBOX, &TextBox::gotFocus, this, &SheetWindow::INPUT_A_TEXTBOX_GotFocus);
    connect(INPUT_A_TEXTBOX, &TextBox::lostFocus, this, &SheetWindow::INPUT_A_TEXTBOX_LostFocus);
    connect(INPUT_B_TEXTBOX, &TextBox::gotFocus, this, &SheetWindow::INPUT_B_TEXTBOX_GotFocus);
    connect(INPUT_B_TEXTBOX, &TextBox::lostFocus, this, &SheetWindow::INPUT_B_TEXTBOX_LostFocus);
}

void SheetWindow::buildStatusBar() {
    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(false);
    sbStatusBar->setAutoFillBackground(true);
    sbStatusBar->setFixedHeight(twips::toPx(statusBarHeight));
    STATUS_PANEL = new QLabel(statusText, sbStatusBar);
    DATE_PANEL = new QLabel(sbStatusBar);
    TIME_PANEL = new QLabel(sbStatusBar);
    STATUS_PANEL->setObjectName(QStringLiteral("STATUS_PANEL"));
    DATE_PANEL->setObjectName(QStringLiteral("DATE_PANEL"));
    TIME_PANEL->setObjectName(QStringLiteral("TIME_PANEL"));
    for (QLabel* l : {STATUS_PANEL, DATE_PANEL, TIME_PANEL})
        l->setContentsMargins(6, 0, 6, 0);
    sbStatusBar->addWidget(STATUS_PANEL, 1);
    sbStatusBar->addPermanentWidget(DATE_PANEL);
    sbStatusBar->addPermanentWidget(TIME_PANEL);

    // The time panel shows hours and minutes, so one wake-up a minute, at the
    // turn of the minute, keeps both panels current (midnight included).
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &SheetWindow::updateClock);
    updateClock();

    Store& store = Store::instance();
    connect(&store, &Store::healthChanged, this, &SheetWindow::showStoreHealth);
    showStoreHealth(store.healthy());
}

void SheetWindow::updateClock() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // The panel shows hours and minutes: drop the seconds and their separator.
    for (qsizetype i = format.indexOf(QLatin1Char('s')); i >= 0;
         i = format.indexOf(QLatin1Char('s'))) {
        qsizetype from = i, to = i;
        while (to < format.size() && format[to] == QLatin1Char('s'))
            ++to;
        if (from > 0 &&
            (format[from - 1] == QLatin1Char(':') || format[from - 1] == QLatin1Char('.')))
            --from;
        format.remove(from, to - from);
    }
    DATE_PANEL->setText(locale.toString(now.date(), QLocale::ShortFormat));
    TIME_PANEL->setText(locale.toString(now.time(), format));
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    clock_.start(60000 - intoMinute + 20);
}

void SheetWindow::showStoreHealth(bool healthy) {
    STATUS_PANEL->setText(healthy ? statusText : savingFailedText);
}

void SheetWindow::resizeEvent(QResizeEvent* e) {
    Form::resizeEvent(e);
    const int h = sbStatusBar->height();
    sbStatusBar->setGeometry(0, height() - h, width(), h);
    sbStatusBar->raise();
}

void SheetWindow::setTabChain() {
    QList<QWidget*> chain{CLOSE_BUTTON};
    for (int n = 1; n <= Rows; ++n)
        chain << row(n).WALLET_NAME_TEXTBOX << row(n).AMOUNT_IN_WALLET
              << row(n).CURRENT_DOLLAR_VALUATION;
    for (int n = 1; n <= Rows; ++n)
        chain << row(n).TOTAL_USD_VALUATION_TEXTBOX;
    chain << COMPLETE_USD_TOTAL_TEXTBOX;
    for (int n = 1; n <= Rows; ++n)
        chain << row(n).CONVERTED_VALUATION;
    for (int n = 1; n <= Rows; ++n)
        chain << row(n).TOTAL_VALUATION;
    chain << COMPLETE_TOTAL_TEXTBOX;
    for (int n = 1; n <= Rows; ++n)
        chain << row(n).AUTOMATIC_CALCULATIONS_TICKBOX;
    chain << AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL << AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL
          << EXCHANGE_RATE_TEXTBOX << CALC_BUTTON << INPUT_A_TEXTBOX << INPUT_B_TEXTBOX
          << ADD_BUTTON << SUBTRACT_BUTTON << MULTIPLY_BUTTON << DIVIDE_BUTTON << OUTPUT_TEXTBOX
          << CLEAR_BUTTON << SETTINGS_BUTTON << ABOUT_BUTTON << CRYPTO_NAME_TEXTBOX << LOCK_BUTTON
          << NAME_CHANGE_LOCK_TICKBOX;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// ---- Loading -------------------------------------------------------------

void SheetWindow::Form_Load() {
    Store& store = Store::instance();
    setWindowTitle(captionPrefix + CRYPTO_NAME_TEXTBOX->text());

    DISABLE_BUTTONS_TIMER->setEnabled(true);
    DISABLE_BUTTONS_TIMER->setInterval(1000);
    for (int n = 1; n <= Rows; ++n)
        row(n).AUTO_CALCULATE_TIMER->setInterval(1000);
    AUTO_CALCULATE_TIMER_TOTAL->setInterval(1000);
    AUTO_CALCULATE_USD_TIMER_TOTAL->setInterval(1000);
    AUTOSAVE_TIMER->setInterval(60000);

    restoreGeometry(keys::sheet);
    AUTOSAVE_TICKBOX->setValue(readTick(keys::autosave));
    // A stored name other than the design text runs the coin-name change.
    CRYPTO_NAME_TEXTBOX->setText(store.read(keys::cryptoNameForSheet));
    EXCHANGE_RATE_TEXTBOX->setText(store.read(keys::exchangeRate));
    for (int n = 1; n <= Rows; ++n)
        row(n).WALLET_NAME_TEXTBOX->setText(store.read(keys::walletName(n)));
    for (int n = 1; n <= Rows; ++n)
        row(n).AMOUNT_IN_WALLET->setText(store.read(keys::amountInWallet(n)));
    for (int n = 1; n <= Rows; ++n)
        row(n).CURRENT_DOLLAR_VALUATION->setText(store.read(keys::currentDollarValuation(n)));
    // A restored switch runs its click handler; the timer then follows the
    // key read a second time, as a truth value ("2" greys the box but runs).
    for (int n = 1; n <= Rows; ++n)
        row(n).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(readTick(keys::rowTick(n)));
    for (int n = 1; n <= Rows; ++n)
        row(n).AUTO_CALCULATE_TIMER->setEnabled(readTruth(keys::rowTick(n)));
    AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->setValue(readTick(keys::usdTotalTick));
    AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(readTick(keys::convertedTotalTick));
    AUTO_CALCULATE_USD_TIMER_TOTAL->setEnabled(readTruth(keys::usdTotalTick));
    AUTO_CALCULATE_TIMER_TOTAL->setEnabled(readTruth(keys::convertedTotalTick));
    AUTOSAVE_TIMER->setEnabled(readTruth(keys::autosave));
    NAME_CHANGE_LOCK_TICKBOX->setValue(readTick(keys::nameChangeLock));

    setNamesLocked(NAME_CHANGE_LOCK_TICKBOX->value() == 1);

    AUTOSAVE_TIMER->setEnabled(AUTOSAVE_TICKBOX->value() == 1);
}

// ---- Saving --------------------------------------------------------------

QList<QPair<QString, QString>> SheetWindow::savedFields(bool withPosition) {
    QList<QPair<QString, QString>> f;
    if (withPosition) {
        f.append({keys::sheet.left.name, convert::floatText(float(Left()))});
        f.append({keys::sheet.top.name, convert::floatText(float(Top()))});
    }
    f.append({keys::cryptoNameForSheet.name, CRYPTO_NAME_TEXTBOX->text()});
    f.append({keys::exchangeRate.name, EXCHANGE_RATE_TEXTBOX->text()});
    for (int n = 1; n <= Rows; ++n)
        f.append({keys::walletName(n).name, row(n).WALLET_NAME_TEXTBOX->text()});
    for (int n = 1; n <= Rows; ++n)
        f.append({keys::amountInWallet(n).name, row(n).AMOUNT_IN_WALLET->text()});
    for (int n = 1; n <= Rows; ++n)
        f.append({keys::currentDollarValuation(n).name, row(n).CURRENT_DOLLAR_VALUATION->text()});
    for (int n = 1; n <= Rows; ++n)
        f.append({keys::rowTick(n).name,
                  convert::integerText(row(n).AUTOMATIC_CALCULATIONS_TICKBOX->value())});
    f.append({keys::convertedTotalTick.name,
              convert::integerText(AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->value())});
    f.append({keys::usdTotalTick.name,
              convert::integerText(AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->value())});
    return f;
}

void SheetWindow::saveSheet(bool withPosition) {
    Store::Batch batch;
    Store& store = Store::instance();
    for (const auto& [key, text] : savedFields(withPosition))
        store.write(key, text);
}

void SheetWindow::stopTimers() {
    for (int n = 1; n <= Rows; ++n)
        row(n).AUTO_CALCULATE_TIMER->setEnabled(false);
    AUTO_CALCULATE_USD_TIMER_TOTAL->setEnabled(false);
    AUTO_CALCULATE_TIMER_TOTAL->setEnabled(false);
    AUTOSAVE_TIMER->setEnabled(false);
    DISABLE_BUTTONS_TIMER->setEnabled(false);
}

void SheetWindow::CLOSE_BUTTON_Click() {
    // The unload saves the same keys again: one batch makes both one write.
    Store::Batch batch;
    saveSheet(true);
    stopTimers();
    unload();
}

void SheetWindow::Form_Unload() {
    saveSheet(true);
    stopTimers();
}

void SheetWindow::AUTOSAVE_TIMER_Timer() {
    saveSheet(false);
}

// ---- Switches set from the settings window -------------------------------

void SheetWindow::setAutoSave(bool on) {
    AUTOSAVE_TICKBOX->setValue(on ? 1 : 0);
    AUTOSAVE_TIMER->setEnabled(on);
}

void SheetWindow::setNamesLocked(bool locked) {
    CRYPTO_NAME_TEXTBOX->setLocked(locked);
    for (int n = 1; n <= Rows; ++n)
        row(n).WALLET_NAME_TEXTBOX->setLocked(locked);
}

void SheetWindow::clearAllToDesign() {
    // Each write that changes a field raises its handler before the next:
    // the coin name stores itself and relabels the main window, and every
    // ticked row or total freezes before its results are zeroed.
    Store::Batch batch;
    for (int n = 1; n <= Rows; ++n)
        row(n).WALLET_NAME_TEXTBOX->setText(designWalletName);
    for (int n = 1; n <= Rows; ++n)
        row(n).AMOUNT_IN_WALLET->setText(designFigure);
    for (int n = 1; n <= Rows; ++n)
        row(n).CURRENT_DOLLAR_VALUATION->setText(designFigure);
    COMPLETE_USD_TOTAL_TEXTBOX->setText(designUsdTotal);
    COMPLETE_TOTAL_TEXTBOX->setText(designConvertedTotal);
    CRYPTO_NAME_TEXTBOX->setText(designCryptoName);
    EXCHANGE_RATE_TEXTBOX->setText(designExchangeRate);
    for (int n = 1; n <= Rows; ++n)
        row(n).AUTOMATIC_CALCULATIONS_TICKBOX->setValue(0);
    AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->setValue(0);
    AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->setValue(0);
    for (int n = 1; n <= Rows; ++n)
        row(n).TOTAL_USD_VALUATION_TEXTBOX->setText(designFigure);
    for (int n = 1; n <= Rows; ++n)
        row(n).CONVERTED_VALUATION->setText(designFigure);
    for (int n = 1; n <= Rows; ++n)
        row(n).TOTAL_VALUATION->setText(designFigure);

    // Stored from the fields as they now read; the switches are stored by
    // the sheet's next save.
    Store& store = Store::instance();
    for (int n = 1; n <= Rows; ++n)
        store.write(keys::walletName(n), row(n).WALLET_NAME_TEXTBOX->text());
    for (int n = 1; n <= Rows; ++n)
        store.write(keys::amountInWallet(n), row(n).AMOUNT_IN_WALLET->text());
    for (int n = 1; n <= Rows; ++n)
        store.write(keys::currentDollarValuation(n), row(n).CURRENT_DOLLAR_VALUATION->text());
    store.write(keys::cryptoNameForSheet, CRYPTO_NAME_TEXTBOX->text());
    store.write(keys::exchangeRate, EXCHANGE_RATE_TEXTBOX->text());
}

// ---- Valuation -----------------------------------------------------------

void SheetWindow::AUTO_CALCULATE_TIMER_Timer(int n) {
    WalletRow& r = row(n);
    const numbers::RowResult res =
        numbers::valueRow(r.AMOUNT_IN_WALLET->text(), r.CURRENT_DOLLAR_VALUATION->text(),
                          EXCHANGE_RATE_TEXTBOX->text());
    r.CONVERTED_VALUATION->setText(res.converted);
    r.WALLET_NAME_TEXTBOX->setBackColor(colours::black);
    r.WALLET_NAME_TEXTBOX->setForeColor(res.holdsCoin ? colours::green : colours::magenta);
    r.TOTAL_USD_VALUATION_TEXTBOX->setText(res.usd);
    r.TOTAL_VALUATION->setText(res.value);
}

void SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer() {
    QStringList shown;
    for (int n = 1; n <= Rows; ++n)
        shown << row(n).TOTAL_VALUATION->text();
    COMPLETE_TOTAL_TEXTBOX->setText(numbers::totalText(shown));
}

void SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer() {
    QStringList shown;
    for (int n = 1; n <= Rows; ++n)
        shown << row(n).TOTAL_USD_VALUATION_TEXTBOX->text();
    COMPLETE_USD_TOTAL_TEXTBOX->setText(numbers::totalText(shown));
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_Click(int n) {
    WalletRow& r = row(n);
    if (r.AUTOMATIC_CALCULATIONS_TICKBOX->value() == 1) {
        r.AUTO_CALCULATE_TIMER->setEnabled(true);
        r.TOTAL_USD_VALUATION_TEXTBOX->setBackColor(colours::windowBackground);
        r.TOTAL_VALUATION->setBackColor(colours::windowBackground);
    } else {
        r.AUTO_CALCULATE_TIMER->setEnabled(false);
        r.TOTAL_USD_VALUATION_TEXTBOX->setBackColor(colours::red);
        r.TOTAL_VALUATION->setBackColor(colours::red);
        r.WALLET_NAME_TEXTBOX->setBackColor(colours::red);
        r.WALLET_NAME_TEXTBOX->setForeColor(colours::black);
    }
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click() {
    const bool on = AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL->value() == 1;
    AUTO_CALCULATE_TIMER_TOTAL->setEnabled(on);
    COMPLETE_TOTAL_TEXTBOX->setForeColor(colours::windowText);
    COMPLETE_TOTAL_TEXTBOX->setBackColor(on ? colours::windowBackground : colours::red);
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click() {
    const bool on = AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL->value() == 1;
    AUTO_CALCULATE_USD_TIMER_TOTAL->setEnabled(on);
    COMPLETE_USD_TOTAL_TEXTBOX->setForeColor(colours::windowText);
    COMPLETE_USD_TOTAL_TEXTBOX->setBackColor(on ? colours::windowBackground : colours::red);
}

// ---- Highlighting and coin name ------------------------------------------

void SheetWindow::AMOUNT_IN_WALLET_GotFocus(int n) {
    row(n).AMOUNT_IN_WALLET->setBackColor(colours::cyan);
}
void SheetWindow::AMOUNT_IN_WALLET_LostFocus(int n) {
    row(n).AMOUNT_IN_WALLET->setBackColor(colours::white);
}
void SheetWindow::CURRENT_DOLLAR_VALUATION_GotFocus(int n) {
    row(n).CURRENT_DOLLAR_VALUATION->setBackColor(colours::cyan);
}
void SheetWindow::CURRENT_DOLLAR_VALUATION_LostFocus(int n) {
    row(n).CURRENT_DOLLAR_VALUATION->setBackColor(colours::white);
}

void SheetWindow::CRYPTO_NAME_TEXTBOX_GotFocus() {
    CRYPTO_NAME_TEXTBOX->setBackColor(colours::cyan);
    CRYPTO_NAME_TEXTBOX->setForeColor(colours::black);
}
void SheetWindow::CRYPTO_NAME_TEXTBOX_LostFocus() {
    CRYPTO_NAME_TEXTBOX->setBackColor(colours::windowBackground);
    CRYPTO_NAME_TEXTBOX->setForeColor(colours::windowText);
}
void SheetWindow::EXCHANGE_RATE_TEXTBOX_GotFocus() {
    EXCHANGE_RATE_TEXTBOX->setBackColor(colours::cyan);
    EXCHANGE_RATE_TEXTBOX->setForeColor(colours::black);
}
void SheetWindow::EXCHANGE_RATE_TEXTBOX_LostFocus() {
    EXCHANGE_RATE_TEXTBOX->setBackColor(colours::windowBackground);
    EXCHANGE_RATE_TEXTBOX->setForeColor(colours::windowText);
}

void SheetWindow::CRYPTO_NAME_TEXTBOX_Change() {
    Store& store = Store::instance();
    setWindowTitle(captionPrefix + CRYPTO_NAME_TEXTBOX->text());
    store.write(keys::cryptoNameForSheet, CRYPTO_NAME_TEXTBOX->text());
    // Only a loaded main window is relabelled: referring to a closed one
    // would bring it back hidden and keep the program alive.
    if (MainIntentions* main = Windows::find<MainIntentions>())
        main->setCoinName(store.read(keys::cryptoNameForLabel));
}

// ---- Pocket calculator ---------------------------------------------------

void SheetWindow::operate(int op, Button* pressed) {
    const auto operation = numbers::Operation(op);
    MATHS_SIGN_TEXTBOX->setText(numbers::operationSign(operation));
    for (Button* b : {ADD_BUTTON, SUBTRACT_BUTTON, MULTIPLY_BUTTON, DIVIDE_BUTTON})
        b->setBackColor(b == pressed ? colours::green : colours::buttonFace);
    OUTPUT_TEXTBOX->setText(
        numbers::calculate(operation, INPUT_A_TEXTBOX->text(), INPUT_B_TEXTBOX->text()));
}

void SheetWindow::ADD_BUTTON_Click() {
    operate(int(numbers::Operation::Add), ADD_BUTTON);
}
void SheetWindow::SUBTRACT_BUTTON_Click() {
    operate(int(numbers::Operation::Subtract), SUBTRACT_BUTTON);
}
void SheetWindow::MULTIPLY_BUTTON_Click() {
    operate(int(numbers::Operation::Multiply), MULTIPLY_BUTTON);
}
void SheetWindow::DIVIDE_BUTTON_Click() {
    operate(int(numbers::Operation::Divide), DIVIDE_BUTTON);
}

void SheetWindow::CLEAR_BUTTON_Click() {
    for (Button* b : {ADD_BUTTON, SUBTRACT_BUTTON, MULTIPLY_BUTTON, DIVIDE_BUTTON})
        b->setBackColor(colours::buttonFace);
    for (TextBox* t : {INPUT_A_TEXTBOX, INPUT_B_TEXTBOX, MATHS_SIGN_TEXTBOX, OUTPUT_TEXTBOX})
        t->setText(QString());
}

void SheetWindow::DISABLE_BUTTONS_TIMER_Timer() {
    const bool usable = numbers::calculatorUsable(INPUT_A_TEXTBOX->text(), INPUT_B_TEXTBOX->text());
    for (Button* b : {ADD_BUTTON, SUBTRACT_BUTTON, MULTIPLY_BUTTON, DIVIDE_BUTTON, CLEAR_BUTTON})
        b->setEnabled(usable);
}

void SheetWindow::INPUT_A_TEXTBOX_GotFocus() {
    INPUT_A_TEXTBOX->setBackColor(colours::cyan);
    INPUT_A_TEXTBOX->setForeColor(colours::black);
}
void SheetWindow::INPUT_A_TEXTBOX_LostFocus() {
    INPUT_A_TEXTBOX->setBackColor(colours::windowText);
    INPUT_A_TEXTBOX->setForeColor(colours::green);
}
void SheetWindow::INPUT_B_TEXTBOX_GotFocus() {
    INPUT_B_TEXTBOX->setBackColor(colours::cyan);
    INPUT_B_TEXTBOX->setForeColor(colours::black);
}
void SheetWindow::INPUT_B_TEXTBOX_LostFocus() {
    INPUT_B_TEXTBOX->setBackColor(colours::windowText);
    INPUT_B_TEXTBOX->setForeColor(colours::green);
}

// ---- Other windows -------------------------------------------------------

void SheetWindow::CALC_BUTTON_Click() {
    platform().shellExecute(handle(), QStringLiteral("runas"), QStringLiteral("calc.exe"),
                            QString(), QString(), 1);
}

void SheetWindow::SETTINGS_BUTTON_Click() {
    if (Form* settings = Windows::get(WindowKind::Settings))
        settings->showModal(this);
}

void SheetWindow::ABOUT_BUTTON_Click() {
    if (Form* about = Windows::get(WindowKind::About))
        about->showModal(this);
}

void SheetWindow::LOCK_BUTTON_Click() {
    // The sheet saves itself on the way out; nothing of it is touched after.
    unload();
    if (Form* lock = Windows::get(WindowKind::Lock))
        lock->showModal(nullptr);
}

void registerSheetWindow() {
    Windows::registerFactory(WindowKind::Sheet, [] { return new SheetWindow; });
}

} // namespace vq
