#include "settings/keys.h"

namespace vq::keys {

namespace {
GeometryKeys geometry(const QString& l, const QString& t, const QString& w, const QString& h,
                      int dw, int dh) {
    return {{l, QStringLiteral("1000")},
            {t, QStringLiteral("1000")},
            {w, QString::number(dw)},
            {h, QString::number(dh)}};
}
Key rowKey(const char* prefix, int row, const char* def) {
    return {QLatin1String(prefix) + QString::number(row), QLatin1String(def)};
}
} // namespace

const GeometryKeys mainWindow =
    geometry("MINI-MAIN-Left", "MINI-MAIN-Top", "MINI-MAIN-Width", "MINI-MAIN-Height", 2400, 1260);
const Key cryptoNameForLabel{"CRYPTO_NAME", "CRYPTO-NAME"};
const Key clientLocked{"CLIENT_LOCKED", "0"};
const Key alwaysOnTopForMain{"AlwaysOnTopTimer_TICKBOX", "1"};
const Key alwaysOnTopForSettings{"AlwaysOnTopTimer_TICKBOX", "0"};

const GeometryKeys sheet =
    geometry("10ScreenLeft", "10ScreenTop", "10ScreenWidth", "10ScreenHeight", 14475, 8175);
const Key autosave{"AUTOSAVE_TICKBOX", "0"};
const Key nameChangeLock{"NAME_CHANGE_LOCK_TICKBOX", "0"};
const Key cryptoNameForSheet{"CRYPTO_NAME", "Example: BTC"};
const Key exchangeRate{"EXCHANGE_RATE_TEXTBOX", "Example: 0.70"};
const Key usdTotalTick{"AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL", "0"};
const Key convertedTotalTick{"AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", "0"};

Key walletName(int row) {
    return rowKey("WALLET_NAME_TEXTBOX_", row, "Wallet Name");
}
Key amountInWallet(int row) {
    return rowKey("AMOUNT_IN_WALLET_", row, "0");
}
Key currentDollarValuation(int row) {
    return rowKey("CURRENT_DOLLAR_VALUATION_", row, "0");
}
Key rowTick(int row) {
    return rowKey("AUTOMATIC_CALCULATIONS_TICKBOX_", row, "0");
}

const GeometryKeys settingsWindow =
    geometry("SettingsScreenLeft", "SettingsScreenTop", "SettingsScreenWidth",
             "SettingsScreenHeight", 4335, 3270);
const GeometryKeys aboutWindow =
    geometry("AboutLeft", "AboutTop", "AboutWidth", "AboutHeight", 4860, 3645);
const GeometryKeys lockWindow =
    geometry("CLIENT-LOCK-WINDOW-Left", "CLIENT-LOCK-WINDOW-Top", "CLIENT-LOCK-WINDOW-Width",
             "CLIENT-LOCK-WINDOW-Height", 6615, 3690);
const GeometryKeys passwordWindow =
    geometry("CLIENT-SET-PASSWORD-WINDOW-Left", "CLIENT-SET-PASSWORD-WINDOW-Top",
             "CLIENT-SET-PASSWORD-WINDOW-Width", "CLIENT-SET-PASSWORD-WINDOW-Height", 6360, 4110);
const Key lockPassword{"LOCK-PASSWORD", ""};

std::vector<CatalogueEntry> catalogue() {
    std::vector<CatalogueEntry> all;
    auto addGeometry = [&](const GeometryKeys& g) {
        for (const Key* k : {&g.left, &g.top, &g.width, &g.height})
            all.push_back({k->name, Kind::Geometry});
    };
    addGeometry(mainWindow);
    all.push_back({cryptoNameForLabel.name, Kind::Text});
    all.push_back({clientLocked.name, Kind::TickBox});
    all.push_back({alwaysOnTopForMain.name, Kind::TickBox});
    all.push_back({autosave.name, Kind::TickBox});
    all.push_back({nameChangeLock.name, Kind::TickBox});
    addGeometry(sheet);
    all.push_back({exchangeRate.name, Kind::Text});
    for (int n = 1; n <= rowCount; ++n) {
        all.push_back({walletName(n).name, Kind::Text});
        all.push_back({amountInWallet(n).name, Kind::Text});
        all.push_back({currentDollarValuation(n).name, Kind::Text});
        all.push_back({rowTick(n).name, Kind::TickBox});
    }
    all.push_back({usdTotalTick.name, Kind::TickBox});
    all.push_back({convertedTotalTick.name, Kind::TickBox});
    addGeometry(settingsWindow);
    addGeometry(aboutWindow);
    addGeometry(lockWindow);
    all.push_back({lockPassword.name, Kind::Text});
    addGeometry(passwordWindow);
    return all;
}

} // namespace vq::keys
