#pragma once
// The real compact main window and wallet sheet with the settings window
// open over them, as the sheet's SETTINGS button leaves them.

#include "compact/main_window.h"
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

// The settings window's clear-all button and the tick box that arms it.
const QString clearAllButton = QStringLiteral("CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON");
const QString armingBox = QStringLiteral("ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX");

// Row n's control of the given name: "AMOUNT_IN_WALLET" and 3 find "AMOUNT_IN_WALLET_3".
template <class T = TextBox> T* cell(const QObject* w, const char* name, int n) {
    return control<T>(w, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(n));
}

// The eleven boxes the name lock acts on, all locked (1), all free (0) or mixed (-1).
inline int nameLockState(const QObject* sheet) {
    int locked = control<TextBox>(sheet, "CRYPTO_NAME_TEXTBOX")->locked() ? 1 : 0;
    for (int n = 1; n <= SheetWindow::Rows; ++n)
        locked += cell(sheet, "WALLET_NAME_TEXTBOX", n)->locked() ? 1 : 0;
    return locked == 11 ? 1 : locked == 0 ? 0 : -1;
}

} // namespace vq::testing
