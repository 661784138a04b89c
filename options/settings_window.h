#pragma once
// The settings window: three switches that act at once on the other windows
// and are stored at once (always on top, auto-save every minute, the lock on
// the coin and wallet names), and the armed clear-all of the saved sheet.

#include "frame/controls.h"
#include "frame/form.h"

namespace vq {

class SettingsWindow : public Form {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Settings;
    SettingsWindow();

private:
    TickBox* NAME_CHANGE_LOCK_TICKBOX;
    TickBox* AUTOSAVE_TICKBOX;
    Button* CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON;
    TickBox* ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX;
    TickBox* AlwaysOnTopTimer_TICKBOX;
    Button* OK_BUTTON;

    void AlwaysOnTopTimer_TICKBOX_Click();
    void AUTOSAVE_TICKBOX_Click();
    void NAME_CHANGE_LOCK_TICKBOX_Click();
    void ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX_Click();
    void CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_Click();
    void OK_BUTTON_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

void registerSettingsWindow();

} // namespace vq
