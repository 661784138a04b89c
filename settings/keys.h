#pragma once
// The catalogue of every stored key with its default. Nothing outside this
// file spells a key: stored data depends on the exact names, which follow no
// single scheme.

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <vector>

namespace vq::keys {

// A key as one reader sees it: the same name can have a different default for
// different readers (CRYPTO_NAME, AlwaysOnTopTimer_TICKBOX).
struct Key {
    QString name;
    QString def;
};

enum class Kind { Geometry, TickBox, Text };

// The frame around the client area that the default sizes allow for: 6 by
// 25 pixels, borders and a title bar.
constexpr int designFrameWidth = 90, designFrameHeight = 375;

// Geometry keys of one window, read in the order Left, Top, Width, Height.
// The Width and Height defaults are the one statement of the window's size,
// frame included: the window's load fits its client area to that less the
// frame the window manager really gives, growing rather than shrinking the
// client under a frame taller than the designed one (tst_looks checks that
// every control still shows).
struct GeometryKeys {
    Key left, top, width, height;
};

// Compact main window
extern const GeometryKeys mainWindow;
extern const Key cryptoNameForLabel; // CRYPTO_NAME as the main window shows it
extern const Key clientLocked;
extern const Key alwaysOnTopForMain;     // main window's default: on
extern const Key alwaysOnTopForSettings; // settings window's default: off

// Wallet sheet
extern const GeometryKeys sheet;
extern const Key autosave;
extern const Key nameChangeLock;
extern const Key cryptoNameForSheet; // CRYPTO_NAME as the sheet's text box shows it
extern const Key exchangeRate;
extern const Key usdTotalTick;
extern const Key convertedTotalTick;
inline constexpr int rowCount = 10;
// The keys of wallet rows 1 to 10, one array a field.
extern const std::array<Key, rowCount> walletNames;
extern const std::array<Key, rowCount> amountsInWallet;
extern const std::array<Key, rowCount> currentDollarValuations;
extern const std::array<Key, rowCount> rowTicks;
inline const Key& walletName(int row) {
    return walletNames.at(size_t(row - 1));
}
inline const Key& amountInWallet(int row) {
    return amountsInWallet.at(size_t(row - 1));
}
inline const Key& currentDollarValuation(int row) {
    return currentDollarValuations.at(size_t(row - 1));
}
inline const Key& rowTick(int row) {
    return rowTicks.at(size_t(row - 1));
}

// Other windows
extern const GeometryKeys settingsWindow;
extern const GeometryKeys aboutWindow;
extern const GeometryKeys lockWindow;
extern const GeometryKeys passwordWindow;
extern const Key lockPassword;

struct CatalogueEntry {
    QString name;
    Kind kind;
};
// Every distinct key name with its kind, in the order they are defined,
// for tests and tools; its size is the number of keys the store can hold.
std::vector<CatalogueEntry> catalogue();

} // namespace vq::keys
