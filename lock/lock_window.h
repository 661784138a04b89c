#pragma once
// The lock window: locks the tool behind the stored password and unlocks it
// again. The lock state itself is the compact main window's; this window only
// switches it. The password is kept in plain text: the lock keeps the sheet
// out of casual reach, no more. The password window beside it in lock/ sets
// the password.

#include "frame/controls.h"
#include "frame/form.h"
#include "frame/intentions.h"
#include "frame/picture_button.h"

namespace vq {

// The entry passes only as the same characters: case counts, nothing is
// trimmed, and two empty texts match.
bool passwordsMatch(const QString& entry, const QString& password);

class LockWindow : public Form, public LockIntentions {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Lock;
    LockWindow();

    void setStoredPassword(const QString& password) override;

private:
    Label* VELMORA_QUORIX_TITLE;
    Label* QUORIX_VERSION;
    Label* VL_QUORIX_CREATOR;
    PictureButton* LOCK_BUTTON;
    Button* PASSWORD_MANAGER_BUTTON;
    TickBox* SHOW_PASSWORD_TICKBOX;
    TextBox* ENTER_PASSWORD_TEXTBOX;
    Button* EXIT_QUORIX_BUTTON;
    Button* CANCEL_BUTTON;
    // The stored password the entry is tested against; never shown, so never
    // a control that another program could read.
    QString CURRENT_PASSWORD_TEXTBOX;

    void LOCK_BUTTON_Click();
    void CANCEL_BUTTON_Click();
    void EXIT_QUORIX_BUTTON_Click();
    void PASSWORD_MANAGER_BUTTON_Click();
    void SHOW_PASSWORD_TICKBOX_Click();
    void VL_QUORIX_CREATOR_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void showLockedLayout();
    void showUnlockedLayout();
};

// Registers the lock window and the password window with the window registry.
void registerLockWindows();

} // namespace vq
