#pragma once
// The wallet sheet: ten wallet rows valued once a second while ticked, the
// coin name, the exchange rate, two totals and the pocket calculator strip.
// All its data are the texts and states of its controls. Other windows reach
// it only through its intentions. Beside it in sheet/: the pocket calculator,
// the status bar and the small builders they share; its number rules are in
// numbers/.

#include "frame/controls.h"
#include "frame/form.h"
#include "frame/intentions.h"
#include "settings/keys.h"

#include <QPair>
#include <array>
#include <vector>

namespace vq {

class PocketCalculator;
class SheetStatusBar;

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

class SheetWindow : public Form, public SheetIntentions {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Sheet;
    static constexpr int Rows = keys::rowCount;
    SheetWindow();

    void setAutoSave(bool on) override;
    void setNamesLocked(bool locked) override;
    void clearAllToDesign() override;

private:
    // Row n, 1 to 10.
    WalletRow& row(int n) { return rows_.at(size_t(n - 1)); }

    Label* VELMORA_QUORIX_TITLE;
    Button* LOCK_BUTTON;
    Button* ABOUT_BUTTON;
    Button* CALC_BUTTON;
    Button* SETTINGS_BUTTON;
    Button* CLOSE_BUTTON;
    Label* CRYPTO_NAME_LABEL;
    TextBox* CRYPTO_NAME_TEXTBOX;
    Label* LABEL_DOLLAR_EQUALS;
    TextBox* EXCHANGE_RATE_TEXTBOX;

    // Totals
    TextBox* COMPLETE_USD_TOTAL_TEXTBOX;
    TickBox* AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL;
    Timer* AUTO_CALCULATE_USD_TIMER_TOTAL;
    TextBox* COMPLETE_TOTAL_TEXTBOX;
    TickBox* AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL;
    Timer* AUTO_CALCULATE_TIMER_TOTAL;

    // Switches mirrored from the settings window
    // The auto-save switch as a tick-box value, mirrored from the settings.
    int AUTOSAVE_TICKBOX = 0;
    Timer* AUTOSAVE_TIMER;
    TickBox* NAME_CHANGE_LOCK_TICKBOX;

    // The keys the sheet saves with their texts, in the order they are
    // written: 46 with the position (close and unload), 44 without (auto-save).
    QList<QPair<QString, QString>> savedFields(bool withPosition);

    // Handlers
    void CLOSE_BUTTON_Click();
    void AUTOSAVE_TIMER_Timer();
    void AUTO_CALCULATE_TIMER_Timer(int n);
    void AUTO_CALCULATE_TIMER_TOTAL_Timer();
    void AUTO_CALCULATE_USD_TIMER_TOTAL_Timer();
    void AUTOMATIC_CALCULATIONS_TICKBOX_Click(int n);
    void AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL_Click();
    void AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL_Click();
    void CRYPTO_NAME_TEXTBOX_Change();
    void CALC_BUTTON_Click();
    void SETTINGS_BUTTON_Click();
    void ABOUT_BUTTON_Click();
    void LOCK_BUTTON_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // A stored text field: the coin name, the rate, and the names, amounts
    // and prices of the ten rows, in the order they are loaded and saved.
    struct StoredText {
        TextBox* box;
        keys::Key key;
        const QString* cleared; // the text clear-all writes back
    };
    // A calculation switch with its key and the timer it runs: the ten rows,
    // then the dollar total, then the converted total.
    struct Switch {
        TickBox* box;
        keys::Key key;
        Timer* timer;
    };
    // One total: its field, the row field it adds up, its switch.
    struct Total {
        TextBox* box;
        TextBox* WalletRow::*column;
        TickBox* tick;
        Timer* timer;
    };

    void buildRows();
    void buildTotals();
    void setTabChain();
    void nameForScreenReaders();
    void saveSheet(bool withPosition);
    void stopTimers();
    void addUp(const Total& total);
    void switchTotal(const Total& total);

    std::array<WalletRow, Rows> rows_;
    std::vector<StoredText> storedTexts_;
    std::vector<Switch> switches_;
    Total usdTotal_{};
    Total convertedTotal_{};
    PocketCalculator* calculator_;
    SheetStatusBar* sbStatusBar;
};

void registerSheetWindow();

} // namespace vq
