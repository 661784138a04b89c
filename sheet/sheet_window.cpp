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

#include <algorithm>

namespace vq {

namespace {
const QString captionPrefix = QStringLiteral("VELMORA - QUORIX-V2 - ");
constexpr int statusBarHeight = 270;
// The sheet's copy of the name-lock switch lies under the status bar.
constexpr int nameLockLeft = 3600, nameLockTop = 7680;
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
    CRYPTO_NAME_TEXTBOX = sheet::textBox(this, "CRYPTO_NAME_TEXTBOX", sheet::designCryptoName,
                                         10080, 720, 3855, 390, 12);
    CRYPTO_NAME_TEXTBOX->setAlignment(Qt::AlignCenter);

    LABEL_DOLLAR_EQUALS = new Label(this, QStringLiteral("Exchange Rate:"));
    place(LABEL_DOLLAR_EQUALS, "LABEL_DOLLAR_EQUALS", 8520, 1320, 1500, 255);
    LABEL_DOLLAR_EQUALS->setFont(boldFont(8.25));
    LABEL_DOLLAR_EQUALS->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EXCHANGE_RATE_TEXTBOX = sheet::textBox(this, "EXCHANGE_RATE_TEXTBOX", sheet::designExchangeRate,
                                           10080, 1200, 3855, 390, 12);
    EXCHANGE_RATE_TEXTBOX->setAlignment(Qt::AlignCenter);

    calculator_ = new PocketCalculator(this);

    grid_ = std::make_unique<WalletGrid>(this, CRYPTO_NAME_TEXTBOX, EXCHANGE_RATE_TEXTBOX);
    for (int n = 1; n <= Rows; ++n) {
        connect(grid_->row(n).AUTOMATIC_CALCULATIONS_TICKBOX, &TickBox::click, this,
                [this, n] { AUTOMATIC_CALCULATIONS_TICKBOX_Click(n); });
        connect(grid_->row(n).AUTO_CALCULATE_TIMER, &Timer::tick, this,
                [this, n] { AUTO_CALCULATE_TIMER_Timer(n); });
    }
    connect(grid_->usd.tick, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click);
    connect(grid_->converted.tick, &TickBox::click, this,
            &SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click);
    connect(grid_->usd.timer, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer);
    connect(grid_->converted.timer, &Timer::tick, this,
            &SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer);

    AUTOSAVE_TIMER = new Timer(this, "AUTOSAVE_TIMER");

    NAME_CHANGE_LOCK_TICKBOX = new TickBox(this, QStringLiteral("Lock Crypto Names"));
    place(NAME_CHANGE_LOCK_TICKBOX, "NAME_CHANGE_LOCK_TICKBOX", nameLockLeft, nameLockTop, 2415,
          255);
    NAME_CHANGE_LOCK_TICKBOX->setFont(boldFont(8.25));

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
        {grid_->usd.box, "Total USD", "The sum of the wallets' US dollar values."},
        {grid_->converted.box, "Converted total", "The sum of the wallets' converted values."},
        {grid_->usd.tick, "Auto calc total USD",
         "Adds up the US dollar total once a second while ticked."},
        {grid_->converted.tick, "Auto calc converted total",
         "Adds up the converted total once a second while ticked."},
        {NAME_CHANGE_LOCK_TICKBOX, nullptr,
         "The settings window's name lock decides whether the names can be edited."},
    });
}

SheetWindow::~SheetWindow() = default;

void SheetWindow::resizeEvent(QResizeEvent* e) {
    Form::resizeEvent(e);
    const int h = sbStatusBar->height();
    sbStatusBar->setGeometry(0, height() - h, width(), h);
    sbStatusBar->raise();
    // The window's outer size is fixed, so a thinner frame leaves a taller
    // client and the status bar lower. A window manager draws its frame in
    // device pixels: at a scale of 2 it is half as thick in Qt's pixels, and
    // the status bar would uncover the top of the name-lock box. The box
    // keeps below the status bar's top, so it stays covered at every scale.
    NAME_CHANGE_LOCK_TICKBOX->move(twips::toPx(nameLockLeft),
                                   std::max(twips::toPx(nameLockTop), height() - h));
}

void SheetWindow::setTabChain() {
    chainTabs(QList<QWidget*>{CLOSE_BUTTON} + grid_->tabChain() +
              QList<QWidget*>{EXCHANGE_RATE_TEXTBOX, CALC_BUTTON} + calculator_->tabStops() +
              QList<QWidget*>{SETTINGS_BUTTON, ABOUT_BUTTON, CRYPTO_NAME_TEXTBOX, LOCK_BUTTON,
                              NAME_CHANGE_LOCK_TICKBOX});
}

// ---- Loading -------------------------------------------------------------

void SheetWindow::Form_Load() {
    setTitleText(this, captionPrefix + CRYPTO_NAME_TEXTBOX->text());

    calculator_->setGuardRunning(true);
    AUTOSAVE_TIMER->setInterval(60000);

    restoreGeometry(keys::sheet);
    AUTOSAVE_TICKBOX = readTick(keys::autosave);
    grid_->load();
    NAME_CHANGE_LOCK_TICKBOX->setValue(readTick(keys::nameChangeLock));
    setNamesLocked(NAME_CHANGE_LOCK_TICKBOX->value() == 1);
    AUTOSAVE_TIMER->setEnabled(AUTOSAVE_TICKBOX == 1);
}

// ---- Saving --------------------------------------------------------------

void SheetWindow::saveSheet(bool withPosition) {
    // 46 keys with the position (close and unload), 44 without (auto-save).
    Store::Batch batch;
    Store& store = Store::instance();
    if (withPosition) {
        store.write(keys::sheet.left.name, convert::floatText(float(Left())));
        store.write(keys::sheet.top.name, convert::floatText(float(Top())));
    }
    grid_->save();
}

void SheetWindow::stopTimers() {
    grid_->stopTimers();
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
    grid_->setNamesLocked(locked);
}

void SheetWindow::clearAllToDesign() {
    grid_->clearToDesign();
}

// ---- Valuation -----------------------------------------------------------

void SheetWindow::AUTO_CALCULATE_TIMER_Timer(int n) {
    WalletRow& r = grid_->row(n);
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
        shown << (grid_->row(n).*total.column)->text();
    total.box->setText(numbers::totalText(shown));
}

void SheetWindow::AUTO_CALCULATE_TIMER_TOTAL_Timer() {
    addUp(grid_->converted);
}

void SheetWindow::AUTO_CALCULATE_USD_TIMER_TOTAL_Timer() {
    addUp(grid_->usd);
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_Click(int n) {
    WalletRow& r = grid_->row(n);
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
    switchTotal(grid_->converted);
}

void SheetWindow::AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click() {
    switchTotal(grid_->usd);
}

// ---- Coin name -------------------------------------------------------------

void SheetWindow::CRYPTO_NAME_TEXTBOX_Change() {
    Store& store = Store::instance();
    setTitleText(this, captionPrefix + CRYPTO_NAME_TEXTBOX->text());
    store.write(keys::cryptoNameForSheet, CRYPTO_NAME_TEXTBOX->text());
    // Only a loaded main window is relabelled: referring to a closed one
    // would bring it back hidden and keep the program alive.
    if (MainIntentions* main = Windows::find<MainIntentions>())
        main->setCoinName(store.read(keys::cryptoNameForLabel));
}

// ---- Other windows -------------------------------------------------------

void SheetWindow::CALC_BUTTON_Click() {
    // As the user: a calculator needs no administrator's rights.
    platform().startCalculator();
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
