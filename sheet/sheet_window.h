#pragma once
// The wallet sheet: ten wallet rows valued once a second while ticked, the
// coin name, the exchange rate, two totals and the pocket calculator strip.
// All its data are the texts and states of its controls. Other windows reach
// it only through its intentions. Beside it in sheet/: the wallet grid with
// its field tables, the pocket calculator, the status bar and the small
// builders they share; its number rules are in numbers/.

#include "frame/controls.h"
#include "frame/form.h"
#include "frame/intentions.h"
#include "sheet/wallet_grid.h"

#include <memory>

namespace vq {

class PocketCalculator;
class SheetStatusBar;

class SheetWindow : public Form, public SheetIntentions {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Sheet;
    static constexpr int Rows = keys::rowCount;
    SheetWindow();
    ~SheetWindow() override;

    void setAutoSave(bool on) override;
    void setNamesLocked(bool locked) override;
    void clearAllToDesign() override;

private:
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

    // The auto-save switch as a tick-box value, mirrored from the settings.
    int AUTOSAVE_TICKBOX = 0;
    Timer* AUTOSAVE_TIMER;
    TickBox* NAME_CHANGE_LOCK_TICKBOX;

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
    void setTabChain();
    void nameForScreenReaders();
    void saveSheet(bool withPosition);
    void stopTimers();
    void addUp(const Total& total);
    void switchTotal(const Total& total);

    std::unique_ptr<WalletGrid> grid_;
    PocketCalculator* calculator_;
    SheetStatusBar* sbStatusBar;
};

void registerSheetWindow();

} // namespace vq
