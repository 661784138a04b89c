#pragma once
// The sheet's grid: column headings, ten wallet rows and the two totals,
// built from one table of a row's fields. The same tables load, save and
// clear the grid and chain it for Tab, so no loop over the rows is written
// twice; the sheet window keeps the handlers that value the rows.

#include "frame/controls.h"
#include "settings/keys.h"

#include <QList>
#include <array>
#include <vector>

namespace vq {

// One wallet row; every control's name ends in "_" and the row number.
struct WalletRow {
    TextBox* WALLET_NAME_TEXTBOX = nullptr;
    TextBox* AMOUNT_IN_WALLET = nullptr;
    TextBox* CURRENT_DOLLAR_VALUATION = nullptr;
    TextBox* TOTAL_USD_VALUATION_TEXTBOX = nullptr;
    TextBox* CONVERTED_VALUATION = nullptr;
    TextBox* TOTAL_VALUATION = nullptr;
    TickBox* AUTOMATIC_CALCULATIONS_TICKBOX = nullptr;
    Timer* AUTO_CALCULATE_TIMER = nullptr;
};

// One total: its field, the row field it adds up, its switch.
struct Total {
    TextBox* box = nullptr;
    TextBox* WalletRow::*column = nullptr;
    TickBox* tick = nullptr;
    Timer* timer = nullptr;
};

namespace sheet {
// The texts the coin name and the rate are designed with; clear-all writes
// them back.
extern const QString designCryptoName;
extern const QString designExchangeRate;
} // namespace sheet

class WalletGrid {
public:
    static constexpr int Rows = keys::rowCount;

    // Builds the grid's controls on `sheet`; the coin name and the rate are
    // the sheet's own fields, stored and cleared with the grid's.
    WalletGrid(QWidget* sheet, TextBox* cryptoName, TextBox* exchangeRate);

    // Row n, 1 to 10.
    WalletRow& row(int n) { return rows_.at(size_t(n - 1)); }
    Total usd;
    Total converted;

    // The stored texts, then the switches (a restored switch runs its click
    // handler) and their timers.
    void load();
    // Writes every stored text, then every switch, into the caller's batch.
    void save() const;
    // Every field back to its design text, every switch off; the texts are
    // stored as they then read.
    void clearToDesign();
    void stopTimers();
    // Across each row the fields typed in, then each worked-out column down
    // the rows with its total, then the switches.
    QList<QWidget*> tabChain();
    void setNamesLocked(bool locked);

private:
    // A stored text field with the text clear-all writes back.
    struct StoredText {
        TextBox* box;
        keys::Key key;
        const QString* design;
    };
    // A calculation switch with its key and the timer it runs.
    struct Switch {
        TickBox* box;
        keys::Key key;
        Timer* timer;
    };
    void buildRows(QWidget* sheet);
    void buildTotals(QWidget* sheet);

    std::array<WalletRow, Rows> rows_;
    std::vector<StoredText> storedTexts_; // coin name, rate, then column by column
    std::vector<Switch> switches_;        // the ten rows, the dollar total, the converted total
};

} // namespace vq
