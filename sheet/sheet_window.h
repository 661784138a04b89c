#pragma once
// The wallet sheet: ten wallet rows valued once a second while ticked, the
// coin name, the exchange rate, two totals and the pocket calculator strip.
// All its data are the texts and states of its controls.

#include "frame/controls.h"
#include "frame/form.h"
#include "frame/intentions.h"

#include <QPair>
#include <QStatusBar>
#include <QTimer>
#include <array>

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

class SheetWindow : public Form, public SheetIntentions {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Sheet;
    static constexpr int Rows = 10;
    // The texts the sheet is designed with; clearing all saved data writes
    // them back.
    static const QString designWalletName;
    static const QString designFigure;
    static const QString designUsdTotal;
    static const QString designConvertedTotal;
    static const QString designCryptoName;
    static const QString designExchangeRate;
    SheetWindow();

    void setAutoSave(bool on) override;
    void setNamesLocked(bool locked) override;
    void clearAllToDesign() override;

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

    // Pocket calculator
    TextBox* INPUT_A_TEXTBOX;
    TextBox* MATHS_SIGN_TEXTBOX;
    TextBox* INPUT_B_TEXTBOX;
    TextBox* OUTPUT_TEXTBOX;
    Button* ADD_BUTTON;
    Button* SUBTRACT_BUTTON;
    Button* MULTIPLY_BUTTON;
    Button* DIVIDE_BUTTON;
    Button* CLEAR_BUTTON;
    Timer* DISABLE_BUTTONS_TIMER;

    // Totals
    TextBox* COMPLETE_USD_TOTAL_TEXTBOX;
    TickBox* AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL;
    Timer* AUTO_CALCULATE_USD_TIMER_TOTAL;
    TextBox* COMPLETE_TOTAL_TEXTBOX;
    TickBox* AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL;
    Timer* AUTO_CALCULATE_TIMER_TOTAL;

    // Switches mirrored from the settings window
    TickBox* AUTOSAVE_TICKBOX;
    Timer* AUTOSAVE_TIMER;
    TickBox* NAME_CHANGE_LOCK_TICKBOX;

    QStatusBar* sbStatusBar;
    // Its three panels: status, the current date, the current time.
    QLabel* STATUS_PANEL;
    QLabel* DATE_PANEL;
    QLabel* TIME_PANEL;

    // Column headings
    Label* LABEL_WALLET_NAME;
    Label* LABEL_WALLET_TOTAL;
    Label* LABEL_CURRENT_USD_VALUATION;
    Label* LABEL_TOTAL_USD_VALUATION;
    Label* LABEL_CONVERTED_VALUATION;
    Label* LABEL_TOTAL_VALUATION;
    Label* AUTOMATIC_CALCULATIONS_LABEL;

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
    void AMOUNT_IN_WALLET_GotFocus(int n);
    void AMOUNT_IN_WALLET_LostFocus(int n);
    void CURRENT_DOLLAR_VALUATION_GotFocus(int n);
    void CURRENT_DOLLAR_VALUATION_LostFocus(int n);
    void CRYPTO_NAME_TEXTBOX_GotFocus();
    void CRYPTO_NAME_TEXTBOX_LostFocus();
    void EXCHANGE_RATE_TEXTBOX_GotFocus();
    void EXCHANGE_RATE_TEXTBOX_LostFocus();
    void CRYPTO_NAME_TEXTBOX_Change();
    void ADD_BUTTON_Click();
    void SUBTRACT_BUTTON_Click();
    void MULTIPLY_BUTTON_Click();
    void DIVIDE_BUTTON_Click();
    void CLEAR_BUTTON_Click();
    void DISABLE_BUTTONS_TIMER_Timer();
    void INPUT_A_TEXTBOX_GotFocus();
    void INPUT_A_TEXTBOX_LostFocus();
    void INPUT_B_TEXTBOX_GotFocus();
    void INPUT_B_TEXTBOX_LostFocus();
    void CALC_BUTTON_Click();
    void SETTINGS_BUTTON_Click();
    void ABOUT_BUTTON_Click();
    void LOCK_BUTTON_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void buildRows();
    void buildCalculator();
    void buildStatusBar();
    void setTabChain();
    void nameForScreenReaders();
    void saveSheet(bool withPosition);
    void stopTimers();
    void operate(int op, Button* pressed);
    void showStoreHealth(bool healthy);
    void updateClock();

    std::array<WalletRow, Rows> rows_;
    QTimer clock_;
};

void registerSheetWindow();

} // namespace vq
