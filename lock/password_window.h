#pragma once
// Sets the lock password: asked twice, stored when both entries agree. The
// open lock window takes the new password at once.

#include "frame/controls.h"
#include "frame/form.h"

namespace vq {

class PasswordWindow : public Form {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::Password;
    PasswordWindow();

private:
    Label* VELMORA_QUORIX_TITLE;
    Label* SET_LOCK_PASSWORD_TITLE_TEXTBOX;
    Label* CHAT_LOCK_BUTTON;
    Label* LOCK_PICTURE;
    Label* ENTER_NEW_PASSWORD_LABEL;
    TextBox* ENTER_NEW_PASSWORD_TEXTBOX;
    Label* RE_ENTER_NEW_PASSWORD_LABEL;
    TextBox* RE_ENTER_NEW_PASSWORD_TEXTBOX;
    Button* CHANGE_PASSWORD_BUTTON;
    Button* CANCEL_BUTTON;
    TickBox* SHOW_PASSWORD_TICKBOX;

    void CHANGE_PASSWORD_BUTTON_Click();
    void CANCEL_BUTTON_Click();
    void SHOW_PASSWORD_TICKBOX_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

} // namespace vq
