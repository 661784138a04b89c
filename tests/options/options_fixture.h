#pragma once
// The real compact main window and wallet sheet with the settings window
// open over them, as the sheet's SETTINGS button leaves them.

#include "frame/main_window.h"
#include "frame/windows.h"
#include "options/settings_window.h"
#include "settings/store.h"
#include "sheet/sheet_window.h"
#include "tests/support/testing.h"

namespace vq::testing {

using Seed = QMap<QString, QString>;

inline void registerWindows() {
    setUpTestApplication();
    Windows::registerFactory(MainWindow::Kind, [] { return new MainWindow; });
    registerSheetWindow();
    registerSettingsWindow();
}

// What the store holds under a key, or "<none>".
inline QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<none>"));
}

// The eleven boxes the name lock acts on, all locked (1), all free (0) or mixed (-1).
inline int nameLockState(SheetWindow* sheet) {
    int locked = sheet->CRYPTO_NAME_TEXTBOX->locked() ? 1 : 0;
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        locked += sheet->row(n).WALLET_NAME_TEXTBOX->locked() ? 1 : 0;
    return locked == 11 ? 1 : locked == 0 ? 0 : -1;
}

// A user's click. TickBox's click() is its click event, which would run the
// handler without changing the box.
inline void userClick(QAbstractButton* b) {
    b->QAbstractButton::click();
}

} // namespace vq::testing
