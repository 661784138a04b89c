#pragma once
// The compact start-up window: product title, coin name and the button to the
// wallet sheet. It carries the lock state and the always-on-top switch for the
// other windows, and keeps itself above other windows while that switch is on.

#include "frame/controls.h"
#include "frame/form.h"
#include "frame/intentions.h"

namespace vq {

class MainWindow : public Form, public MainIntentions {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Main;
    MainWindow();

    int lockState() const override;
    void setLocked(bool locked) override;
    void setCoinName(const QString& name) override;
    void setAlwaysOnTop(bool on) override;
    void exitLocked() override;

private:
    // The main button's captions while the tool is locked and unlocked.
    static const QString lockedCaption;
    static const QString unlockedCaption;

    Label* VELMORA_QUORIX_TITLE;
    Label* CRYPTO_NAME_START_LABEL;
    Button* VL_QUORIX_MAIN_BUTTON;
    // The lock state (1 locked) and the always-on-top switch as tick-box
    // values: hidden switches, never shown.
    int CLIENT_LOCKED_TICKBOX = 0;
    int AlwaysOnTopTimer_TICKBOX = 1;
    Timer* AlwaysOnTopTimer;
    Timer* LOCK_UNLOAD_TIMER;

    void AlwaysOnTopTimer_Timer();
    void LOCK_UNLOAD_TIMER_Timer();
    void VL_QUORIX_MAIN_BUTTON_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

void registerMainWindow();

} // namespace vq
