#include "sheet/sheet_window.h"

#include "frame/colours.h"
#include "frame/picture_button.h"
#include "frame/pictures.h"
#include "frame/platform.h"
#include "frame/twips.h"
#include "frame/windows.h"
#include "numbers/numbers.h"
#include "settings/convert.h"
#include "settings/store.h"
#include "sheet/pocket_calculator.h"
#include "sheet/sheet_controls.h"
#include "sheet/status_bar.h"

#include <QFrame>

namespace vq {

namespace {

// The texts the sheet is designed with; clearing all saved data writes them
// back.
const QString designWalletName = QStringLiteral("Wallet Name");
const QString designFigure = QStringLiteral("00000000.00000000");
const QString designUsdTotal = QStringLiteral("TOTAL USD");
const QString designConvertedTotal = QStringLiteral("CONVERTED TOTAL");
const QString designCryptoName = QStringLiteral("Example: BTC");
const QString designExchangeRate = QStringLiteral("Example: 0.70");

const QString captionPrefix = QStringLiteral("VELMORA - QUORIX-V2 - ");

constexpr int rowTop = 2160;
constexpr int rowPitch = 480;
constexpr int fieldHeight = 375;
constexpr int statusBarHeight = 270;
constexpr double rowFont = 8.25;

// One text field of a wallet row; the ten rows are built, loaded, saved,
// cleared and chained for Tab from this table.
struct RowField {
    const char* name;   // the control's name without the row number
    const char* spoken; // its column as a screen reader says it after "Wallet n"
    const char* help;   // what the field holds, for the accessible description
    int left, width;
    const QString* text;
    bool redBackground;
    bool readOnly;
    TextBox* WalletRow::*member;
    const keys::Key& (*key)(int row); // null: worked out, never stored
};

const RowField rowFields[] = {
    {"WALLET_NAME_TEXTBOX_", "name", "The wallet's name. Its colours show the row's state.", 120,
     2175, &designWalletName, true, false, &WalletRow::WALLET_NAME_TEXTBOX, &keys::walletName},
    {"AMOUNT_IN_WALLET_", "amount", "Coin held in the wallet.", 2520, 2055, &designFigure, false,
     false, &WalletRow::AMOUNT_IN_WALLET, &keys::amountInWallet},
    {"CURRENT_DOLLAR_VALUATION_", "current USD value", "Price of one coin in US dollars.", 4800,
     2055, &designFigure, false, false, &WalletRow::CURRENT_DOLLAR_VALUATION,
     &keys::currentDollarValuation},
    {"TOTAL_USD_VALUATION_TEXTBOX_", "total USD value",
     "The wallet's value in US dollars, worked out while auto calc is ticked.", 7080, 2055,
     &designFigure, true, true, &WalletRow::TOTAL_USD_VALUATION_TEXTBOX, nullptr},
    {"CONVERTED_VALUATION_", "converted value",
     "Price of one coin in the converted currency, worked out while auto calc is ticked.", 9360,
     2175, &designFigure, false, true, &WalletRow::CONVERTED_VALUATION, nullptr},
    {"TOTAL_VALUATION_", "total value",
     "The wallet's value in the converted currency, worked out while auto calc is ticked.", 11760,
     2175, &designFigure, true, true, &WalletRow::TOTAL_VALUATION, nullptr},
};

// The column headings above the rows.
const struct {
    const char* name;
    const char* caption;
    int left, width;
    double points;
    uint32_t back;
} headings[] = {
    {"LABEL_WALLET_NAME", "Wallet Name", 120, 2175, 9.75, colours::windowBackground},
    {"LABEL_WALLET_TOTAL", "Wallet Total", 2520, 2055, 9.75, colours::windowBackground},
    {"LABEL_CURRENT_USD_VALUATION", "Current USD Value", 4800, 2055, 9.75, colours::lightGreen},
    {"LABEL_TOTAL_USD_VALUATION", "Total USD Value", 7080, 2055, 9.75, colours::lightGreen},
    {"LABEL_CONVERTED_VALUATION", "CONVERTED Value", 9360, 2175, 9.75, colours::lightYellow},
    {"LABEL_TOTAL_VALUATION", "TOTAL Value", 11760, 2175, 9.75, colours::lightYellow},
    {"AUTOMATIC_CALCULATIONS_LABEL", "Auto Calc", 13920, 435, 8.25, colours::windowBackground},
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

} // namespace

SheetWindow::SheetWindow()
    : Form(Kind, "VL_QUORIX_10_SCREEN",
           Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(captionPrefix);

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
    ABOUT_BUTTON =
        sheet::button(this, "ABOUT_BUTTON", QStringLiteral("ABOUT"), 7440, 1200, 855, 375);
    CALC_BUTTON =
        sheet::button(this, "CALC_BUTTON", QStringLiteral("CALCULATOR"), 8520, 240, 1695, 375);
    SETTINGS_BUTTON =
        sheet::button(this, "SETTINGS_BUTTON", QStringLiteral("SETTINGS"), 10440, 240, 1575, 375);
    CLOSE_BUTTON =
        sheet::button(this, "CLOSE_BUTTON", QStringLiteral("CLOSE"), 12120, 240, 1815, 375);

    CRYPTO_NAME_LABEL = new Label(this, QStringLiteral("Crypto Name:"));
    place(CRYPTO_NAME_LABEL, "CRYPTO_NAME_LABEL", 8520, 840, 1500, 255);
    CRYPTO_NAME_LABEL->setFont(boldFont(8.25));
    CRYPTO_NAME_LABEL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CRYPTO_NAME_TEXTBOX =
        sheet::textBox(this, "CRYPTO_NAME_TEXTBOX", designCryptoName, 10080, 720, 3855, 390, 12);
    CRYPTO_NAME_TEXTBOX->setAlignment(Qt::AlignCenter);

    LABEL_DOLLAR_EQUALS = new Label(this, QStringLiteral("Exchange Rate:"));
    place(LABEL_DOLLAR_EQUALS, "LABEL_DOLLAR_EQUALS", 8520, 1320, 1500, 255);
    LABEL_DOLLAR_EQUALS->setFont(boldFont(8.25));
    LABEL_DOLLAR_EQUALS->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXCHANGE_RATE_TEXTBOX = sheet::textBox(this, "EXCHANGE_RATE_TEXTBOX", designExchangeRate, 10080,
                                           1200, 3855, 390, 12);
    EXCHANGE_RATE_TEXTBOX->setAlignment(Qt::AlignCenter);

    calculator_ = new PocketCalculator(this);

    for (const auto& h : headings) {
        auto* l = new Label(this, QLatin1String(h.caption));
        place(l, h.name, h.left, 1800, h.width, 330);
        l->setFont(boldFont(h.points));
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        if (h.back != colours::windowBackground)
            l->setColours(colours::windowText, h.back);
    }

    buildRows();
    buildTotals();

    AUTOSAVE_TIMER = new Timer(this, "AUTOSAVE_TIMER");

    NAME_CHANGE_LOCK_TICKBOX = new TickBox(this, QStringLiteral("Lock Crypto Names"));
    place(NAME_CHANGE_LOCK_TICKBOX, "NAME_CHANGE_LOCK_TICKBOX", 3600, 7680, 2415, 255);
    NAME_CHANGE_LOCK_TICKBOX->setFont(boldFont(8.25));

    gridLine(this, "GRID_LINE_TOP", 120, 1680, 13800, 15);
    gridLine(this, "GRID_LINE_BOTTOM", 120, 6960, 14280, 15);
    gridLine(this, "GRID_LINE_NAME", 2400, 1680, 15, 5280);
    gridLine(this, "GRID_LINE_AMOUNT", 4680, 1680, 15, 5280);
    gridLine(this, "GRID_LINE_CONVERTED", 9240, 1680, 15, 5280);

    sbStatusBar = new SheetStatusBar(this, twips::toPx(statusBarHeight));
    setTabChain();
    nameForScreenReaders();

    sheet::highlightOnFocus(CRYPTO_NAME_TEXTBOX, colours::windowBackground, colours::windowText);
    sheet::highlightOnFocus(EXCHANGE_RATE_TEXTBOX, colours::windowBackground, colours::windowText);
    connect(CLOSE_BUTTON, &QPushButton::clicked, this, &SheetWindow::CLOSE_BUTTON_Click);
    connect(CALC_BUTTON, &QPushButton::clicked, this, &SheetWindow::CALC_BUTTON_Click);
    connect(SETTINGS_BUTTON, &QPushButton::clicked, this, &SheetWindow::SETTINGS_BUTTON_Click);
    connect(ABOUT_BUTTON, &QPushButton::clicked, this, &SheetWindow::ABOUT_BUTTON_Click);
    connect(LOCK_BUTTON, &QPushButton::clicked, this, &SheetWindow::LOCK_BUTTON_Click);
    connect(CRYPTO_NAME_TEXTBOX, &TextBox::change, this, &SheetWindow::CRYPTO_NAME_TEXTBOX_Change);
    connect(AUTOSAVE_TIMER, &Timer::tick, this, &SheetWindow::AUTOSAVE_TIMER_Timer);

    setFixedSize(twips::size(14355, 8985));
    // The window opens with the focus on the first control of the tab order.
    CLOSE_BUTTON->setFocus();
}

void SheetWindow::nameForScreenReaders() {
    // Fields without a caption of their own are named after what stands next
    // to them; buttons and tick boxes with a caption speak that caption.
    sheet::nameForScreenReaders({
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
    });
}

void SheetWindow::buildRows() {
    storedTexts_ = {{CRYPTO_NAME_TEXTBOX, keys::cryptoNameForSheet, &designCryptoName},
                    {EXCHANGE_RATE_TEXTBOX, keys::exchangeRate, &designExchangeRate}};
    for (int n = 1; n <= Rows; ++n) {
        WalletRow& r = row(n);
        const int top = rowTop + rowPitch * (n - 1);
        for (const RowField& f : rowFields) {
            TextBox* t = sheet::textBox(this, rowName(f.name, n).constData(), *f.text, f.left, top,
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
        switches_.push_back(
            {r.AUTOMATIC_CALCULATIONS_TICKBOX, keys::rowTick(n), r.AUTO_CALCULATE_TIMER});

        connect(r.AUTOMATIC_CALCULATIONS_TICKBOX, &TickBox::click, this,
                [this, n] { AUTOMATIC_CALCULATIONS_TICKBOX_Click(n); });
        connect(r.AUTO_CALCULATE_TIMER, &Timer::tick, this,
                [this, n] { AUTO_CALCULATE_TIMER_Timer(n); });
        for (TextBox* t : {r.AMOUNT_IN_WALLET, r.CURRENT_DOLLAR_VALUATION})
            sheet::highlightOnFocus(t, colours::white);
    }
    // The stored fields column by column, as they are loaded and saved.
    for (const RowField& f : rowFields)
        if (f.key)
            for (int n = 1; n <= Rows; ++n)
                storedTexts_.push_back({row(n).*f.member, f.key(n), f.text});
}

void SheetWindow::buildTotals() {
    COMPLETE_USD_TOTAL_TEXTBOX = sheet::textBox(this, "COMPLETE_USD_TOTAL_TEXTBOX", designUsdTotal,
                                                7080, 7080, 2055, 375, rowFont);
    AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL = new TickBox(this);
    place(AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL, "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL",
          9240, 7080, 255, 255);
    AUTO_CALCULATE_USD_TIMER_TOTAL = new Timer(this, "AUTO_CALCULATE_USD_TIMER_TOTAL");

    COMPLETE_TOTAL_TEXTBOX = sheet::textBox(this, "COMPLETE_TOTAL_TEXTBOX", designConvertedTotal,
                                            11760, 7080, 2175, 375, rowFont);
    AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL = new TickBox(this);
    place(AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL, "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", 14040, 7080,
          255, 255);
    AUTO_CALCULATE_TIMER_TOTAL = new Timer(this, "AUTO_CALCULATE_TIMER_TOTAL");

    usdTotal_ = {COMPLETE_USD_TOTAL_TEXTBOX, &WalletRow::TOTAL_USD_VALUATION_TEXTBOX,
                 AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL, AUTO_CALCULATE_USD_TIMER_TOTAL};
    convertedTotal_ = {COMPLETE_TOTAL_TEXTBOX, &WalletRow::TOTAL_VALUATION,
                       AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL, AUTO_CALCULATE_TIMER_TOTAL};
    switches_.push_back({usdTotal_.tick, keys::usdTotalTick, usdTotal_.timer});
    switches_.push_back({convertedTotal_.tick, keys::convertedTotalTick, convertedTotal_.timer});
    for (const Total* t : {&usdTotal_, &convertedTotal_}) {
        t->box->setReadOnly(true);
        t->box->setBackColor(colours::red);
    }
    connect(usdTotal_.tick, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click);
    connect(convertedTotal_.tick, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click);
    connect(usdTotal_.timer, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer);
    connect(convertedTotal_.timer, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer);
}

void SheetWindow::resizeEvent(QResizeEvent* e) {
    Form::resizeEvent(e);
    const int h = sbStatusBar->height();
    sbStatusBar->setGeometry(0, height() - h, width(), h);
    sbStatusBar->raise();
}

void SheetWindow::setTabChain() {
    // Across each row the fields typed in, then each worked-out column down
    // the rows with its total, then the switches.
    QList<QWidget*> chain{CLOSE_BUTTON};
    const auto column = [this, &chain](const RowField& f) {
        for (int n = 1; n <= Rows; ++n)
            chain << row(n).*f.member;
    };
    for (int n = 1; n <= Rows; ++n)
        for (const RowField& f : rowFields)
            if (f.key)
                chain << row(n).*f.member;
    column(rowFields[3]);
    chain << COMPLETE_USD_TOTAL_TEXTBOX;
    column(rowFields[4]);
    column(rowFields[5]);
    chain << COMPLETE_TOTAL_TEXTBOX;
    for (const Switch& s : switches_)
        chain << s.box;
    chain << EXCHANGE_RATE_TEXTBOX << CALC_BUTTON << calculator_->tabStops() << SETTINGS_BUTTON
          << ABOUT_BUTTON << CRYPTO_NAME_TEXTBOX << LOCK_BUTTON << NAME_CHANGE_LOCK_TICKBOX;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// ---- Loading -------------------------------------------------------------

void SheetWindow::Form_Load() {
    setWindowTitle(captionPrefix + CRYPTO_NAME_TEXTBOX->text());

    calculator_->setGuardRunning(true);
    for (const Switch& s : switches_)
        s.timer->setInterval(1000);
    AUTOSAVE_TIMER->setInterval(60000);

    restoreGeometry(keys::sheet);
    AUTOSAVE_TICKBOX = readTick(keys::autosave);
    // A stored coin name other than the design text runs the coin-name change.
    for (const StoredText& t : storedTexts_)
        t.box->setText(Store::instance().read(t.key));
    // A restored switch runs its click handler; the timer then follows the
    // key read a second time, as a truth value ("2" greys the box but runs).
    for (const Switch& s : switches_)
        s.box->setValue(readTick(s.key));
    for (const Switch& s : switches_)
        s.timer->setEnabled(readTruth(s.key));
    NAME_CHANGE_LOCK_TICKBOX->setValue(readTick(keys::nameChangeLock));
    setNamesLocked(NAME_CHANGE_LOCK_TICKBOX->value() == 1);
    AUTOSAVE_TIMER->setEnabled(AUTOSAVE_TICKBOX == 1);
}

// ---- Saving --------------------------------------------------------------

QList<QPair<QString, QString>> SheetWindow::savedFields(bool withPosition) {
    QList<QPair<QString, QString>> f;
    if (withPosition) {
        f.append({keys::sheet.left.name, convert::floatText(float(Left()))});
        f.append({keys::sheet.top.name, convert::floatText(float(Top()))});
    }
    for (const StoredText& t : storedTexts_)
        f.append({t.key.name, t.box->text()});
    for (const Switch& s : switches_)
        f.append({s.key.name, convert::integerText(s.box->value())});
    return f;
}

void SheetWindow::saveSheet(bool withPosition) {
    Store::Batch batch;
    Store& store = Store::instance();
    for (const auto& [key, text] : savedFields(withPosition))
        store.write(key, text);
}

void SheetWindow::stopTimers() {
    for (const Switch& s : switches_)
        s.timer->setEnabled(false);
    AUTOSAVE_TIMER->setEnabled(false);
    calculator_->setGuardRunning(false);
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
    AUTOSAVE_TICKBOX = on ? 1 : 0;
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
    for (const StoredText& t : storedTexts_)
        t.box->setText(*t.cleared);
    COMPLETE_USD_TOTAL_TEXTBOX->setText(designUsdTotal);
    COMPLETE_TOTAL_TEXTBOX->setText(designConvertedTotal);
    for (const Switch& s : switches_)
        s.box->setValue(0);
    for (const RowField& f : rowFields)
        if (!f.key)
            for (int n = 1; n <= Rows; ++n)
                (row(n).*f.member)->setText(*f.text);
    // Stored from the fields as they now read; the switches are stored by
    // the sheet's next save.
    for (const StoredText& t : storedTexts_)
        Store::instance().write(t.key, t.box->text());
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

void SheetWindow::addUp(const Total& total) {
    QStringList shown;
    for (int n = 1; n <= Rows; ++n)
        shown << (row(n).*total.column)->text();
    total.box->setText(numbers::totalText(shown));
}

void SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer() {
    addUp(convertedTotal_);
}

void SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer() {
    addUp(usdTotal_);
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

void SheetWindow::switchTotal(const Total& total) {
    const bool on = total.tick->value() == 1;
    total.timer->setEnabled(on);
    total.box->setForeColor(colours::windowText);
    total.box->setBackColor(on ? colours::windowBackground : colours::red);
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click() {
    switchTotal(convertedTotal_);
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click() {
    switchTotal(usdTotal_);
}

// ---- Coin name -------------------------------------------------------------

void SheetWindow::CRYPTO_NAME_TEXTBOX_Change() {
    Store& store = Store::instance();
    setWindowTitle(captionPrefix + CRYPTO_NAME_TEXTBOX->text());
    store.write(keys::cryptoNameForSheet, CRYPTO_NAME_TEXTBOX->text());
    // Only a loaded main window is relabelled: referring to a closed one
    // would bring it back hidden and keep the program alive.
    if (MainIntentions* main = Windows::find<MainIntentions>())
        main->setCoinName(store.read(keys::cryptoNameForLabel));
}

// ---- Other windows -------------------------------------------------------

void SheetWindow::CALC_BUTTON_Click() {
    // With administrator rights, as the desktop asks for them.
    platform().startCalculator(true);
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
