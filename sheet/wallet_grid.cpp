#include "sheet/wallet_grid.h"

#include "frame/colours.h"
#include "frame/twips.h"
#include "settings/convert.h"
#include "settings/store.h"
#include "sheet/sheet_controls.h"

#include <QFrame>

namespace vq {

const QString sheet::designCryptoName = QStringLiteral("Example: BTC");
const QString sheet::designExchangeRate = QStringLiteral("Example: 0.70");

namespace {

const QString designWalletName = QStringLiteral("Wallet Name");
const QString designFigure = QStringLiteral("00000000.00000000");
const QString designUsdTotal = QStringLiteral("TOTAL USD");
const QString designConvertedTotal = QStringLiteral("CONVERTED TOTAL");

constexpr int rowTop = 2160;
constexpr int rowPitch = 480;
constexpr int fieldHeight = 375;
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

// The thin dark lines of the grid, in twips.
const struct {
    const char* name;
    int left, top, width, height;
} gridLines[] = {
    {"GRID_LINE_TOP", 120, 1680, 13800, 15},       {"GRID_LINE_BOTTOM", 120, 6960, 14280, 15},
    {"GRID_LINE_NAME", 2400, 1680, 15, 5280},      {"GRID_LINE_AMOUNT", 4680, 1680, 15, 5280},
    {"GRID_LINE_CONVERTED", 9240, 1680, 15, 5280},
};

// "Wallet 3 amount": a caption-less row field is named by its row and column.
QString spokenRowName(int n, const char* column) {
    return QStringLiteral("Wallet %1 %2").arg(n).arg(QLatin1String(column));
}

QByteArray rowName(const char* prefix, int n) {
    return QByteArray(prefix) + QByteArray::number(n);
}

} // namespace

WalletGrid::WalletGrid(QWidget* sheet, TextBox* cryptoName, TextBox* exchangeRate) {
    for (const auto& h : headings) {
        auto* l = new Label(sheet, QLatin1String(h.caption));
        place(l, h.name, h.left, 1800, h.width, 330);
        l->setFont(boldFont(h.points));
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        if (h.back != colours::windowBackground)
            l->setColours(colours::windowText, h.back);
    }
    storedTexts_ = {{cryptoName, keys::cryptoNameForSheet, &sheet::designCryptoName},
                    {exchangeRate, keys::exchangeRate, &sheet::designExchangeRate}};
    buildRows(sheet);
    buildTotals(sheet);
    for (const auto& g : gridLines) {
        auto* line = new QFrame(sheet);
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        QPalette p = line->palette();
        p.setColor(QPalette::Window, Qt::darkGray);
        line->setPalette(p);
        line->setObjectName(QLatin1String(g.name));
        const QRect r = twips::rect(g.left, g.top, g.width, g.height);
        line->setGeometry(r.x(), r.y(), qMax(1, r.width()), qMax(1, r.height()));
    }
}

void WalletGrid::buildRows(QWidget* sheet) {
    for (int n = 1; n <= Rows; ++n) {
        WalletRow& r = row(n);
        const int top = rowTop + rowPitch * (n - 1);
        for (const RowField& f : rowFields) {
            TextBox* t = sheet::textBox(sheet, rowName(f.name, n).constData(), *f.text, f.left, top,
                                        f.width, fieldHeight, rowFont);
            if (f.redBackground)
                t->setBackColor(colours::red);
            t->setReadOnly(f.readOnly);
            t->setAccessibleName(spokenRowName(n, f.spoken));
            t->setAccessibleDescription(QLatin1String(f.help));
            r.*f.member = t;
        }
        r.AUTOMATIC_CALCULATIONS_TICKBOX = new TickBox(sheet);
        place(r.AUTOMATIC_CALCULATIONS_TICKBOX,
              rowName("AUTOMATIC_CALCULATIONS_TICKBOX_", n).constData(), 14040, top + 120, 255,
              255);
        r.AUTOMATIC_CALCULATIONS_TICKBOX->setAccessibleName(spokenRowName(n, "auto calc"));
        r.AUTOMATIC_CALCULATIONS_TICKBOX->setAccessibleDescription(
            QStringLiteral("Works out the wallet's values once a second while ticked."));
        r.AUTO_CALCULATE_TIMER = new Timer(sheet, rowName("AUTO_CALCULATE_TIMER_", n).constData());
        switches_.push_back(
            {r.AUTOMATIC_CALCULATIONS_TICKBOX, keys::rowTick(n), r.AUTO_CALCULATE_TIMER});
        for (TextBox* t : {r.AMOUNT_IN_WALLET, r.CURRENT_DOLLAR_VALUATION})
            sheet::highlightOnFocus(t, colours::white);
    }
    // The stored fields column by column, as they are loaded and saved.
    for (const RowField& f : rowFields)
        if (f.key)
            for (int n = 1; n <= Rows; ++n)
                storedTexts_.push_back({row(n).*f.member, f.key(n), f.text});
}

void WalletGrid::buildTotals(QWidget* sheet) {
    const auto total = [sheet](const char* name, const QString& text, int left, int width,
                               const char* tickName, int tickLeft, const char* timerName) {
        Total t;
        t.box = sheet::textBox(sheet, name, text, left, 7080, width, fieldHeight, rowFont);
        t.box->setReadOnly(true);
        t.box->setBackColor(colours::red);
        t.tick = new TickBox(sheet);
        place(t.tick, tickName, tickLeft, 7080, 255, 255);
        t.timer = new Timer(sheet, timerName);
        return t;
    };
    usd = total("COMPLETE_USD_TOTAL_TEXTBOX", designUsdTotal, 7080, 2055,
                "AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL", 9240, "AUTO_CALCULATE_USD_TIMER_TOTAL");
    usd.column = &WalletRow::TOTAL_USD_VALUATION_TEXTBOX;
    converted = total("COMPLETE_TOTAL_TEXTBOX", designConvertedTotal, 11760, 2175,
                      "AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", 14040, "AUTO_CALCULATE_TIMER_TOTAL");
    converted.column = &WalletRow::TOTAL_VALUATION;
    switches_.push_back({usd.tick, keys::usdTotalTick, usd.timer});
    switches_.push_back({converted.tick, keys::convertedTotalTick, converted.timer});
}

void WalletGrid::load() {
    for (const Switch& s : switches_)
        s.timer->setInterval(1000);
    // A stored coin name other than the design text runs the coin-name change.
    for (const StoredText& t : storedTexts_)
        t.box->setText(Store::instance().read(t.key));
    // A restored switch runs its click handler; the timer then follows the
    // key read a second time, as a truth value ("2" greys the box but runs).
    for (const Switch& s : switches_)
        s.box->setValue(readTick(s.key));
    for (const Switch& s : switches_)
        s.timer->setEnabled(readTruth(s.key));
}

void WalletGrid::save() const {
    Store& store = Store::instance();
    for (const StoredText& t : storedTexts_)
        store.write(t.key, t.box->text());
    for (const Switch& s : switches_)
        store.write(s.key, convert::integerText(s.box->value()));
}

void WalletGrid::clearToDesign() {
    // Each write that changes a field raises its handler before the next:
    // the coin name stores itself and relabels the main window, and every
    // ticked row or total freezes before its results are zeroed.
    Store::Batch batch;
    for (const StoredText& t : storedTexts_)
        t.box->setText(*t.design);
    usd.box->setText(designUsdTotal);
    converted.box->setText(designConvertedTotal);
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

void WalletGrid::stopTimers() {
    for (const Switch& s : switches_)
        s.timer->setEnabled(false);
}

QList<QWidget*> WalletGrid::tabChain() {
    QList<QWidget*> chain;
    for (int n = 1; n <= Rows; ++n)
        for (const RowField& f : rowFields)
            if (f.key)
                chain << row(n).*f.member;
    const auto column = [this, &chain](TextBox* WalletRow::*member) {
        for (int n = 1; n <= Rows; ++n)
            chain << row(n).*member;
    };
    column(usd.column);
    chain << usd.box;
    column(&WalletRow::CONVERTED_VALUATION);
    column(converted.column);
    chain << converted.box;
    for (const Switch& s : switches_)
        chain << s.box;
    return chain;
}

void WalletGrid::setNamesLocked(bool locked) {
    for (int n = 1; n <= Rows; ++n)
        row(n).WALLET_NAME_TEXTBOX->setLocked(locked);
}

} // namespace vq
