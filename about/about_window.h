#pragma once
// The about window: title, version, freeware note and author in green on
// black. It remembers where the user left it, but only when left with OK.

#include "frame/controls.h"
#include "frame/form.h"

namespace vq {

class AboutWindow : public Form {
    Q_OBJECT
public:
    static constexpr WindowKind Kind = WindowKind::About;
    AboutWindow();

private:
    // Shown in place of the creator's name on a double click.
    static const QString contactAddress;

    Label* VELMORA_QUORIX_TITLE;
    Label* VELMORA_QUORIX_VERSION;
    Label* VELMORA_QUORIX_FREEWARE;
    Label* VL_QUORIX_CREATOR;
    Button* OK_BUTTON;

    void VL_QUORIX_CREATOR_DblClick();
    void OK_BUTTON_Click();

protected:
    void Form_Load() override;
};

void registerAboutWindow();

} // namespace vq
