#include "settings/keys.h"

namespace vq::keys {

namespace {
// Filled as the keys below are defined, in this file's order: the one list of
// key names, so that no name is spelled twice. A name read with two defaults
// is listed once.
std::vector<CatalogueEntry>& definedKeys() {
    static std::vector<CatalogueEntry> all;
    return all;
}

Key define(const QString& name, const QString& def, Kind kind) {
    auto& all = definedKeys();
    if (std::none_of(all.begin(), all.end(), [&](const auto& e) { return e.name == name; }))
        all.push_back({name, kind});
    return {name, def};
}

Key define(const char* name, const char* def, Kind kind) {
    return define(QLatin1String(name), QLatin1String(def), kind);
}

GeometryKeys geometry(const char* prefix, int width, int height,
                      const char* const (&sides)[4] = {"Left", "Top", "Width", "Height"}) {
    const auto side = [prefix, &sides](int i, const QString& def) {
        return define(QLatin1String(prefix) + QLatin1String(sides[i]), def, Kind::Geometry);
    };
    return {side(0, QStringLiteral("1000")), side(1, QStringLiteral("1000")),
            side(2, QString::number(width)), side(3, QString::number(height))};
}

std::array<Key, rowCount> rowKeys(const char* prefix, const char* def, Kind kind) {
    std::array<Key, rowCount> keys;
    for (int n = 1; n <= rowCount; ++n)
        keys[size_t(n - 1)] =
            define(QLatin1String(prefix) + QString::number(n), QLatin1String(def), kind);
    return keys;
}
} // namespace

const GeometryKeys mainWindow = geometry("MINI-MAIN-", 2400, 1260);
const Key cryptoNameForLabel = define("CRYPTO_NAME", "CRYPTO-NAME", Kind::Text);
const Key clientLocked = define("CLIENT_LOCKED", "0", Kind::TickBox);
const Key alwaysOnTopForMain = define("AlwaysOnTopTimer_TICKBOX", "1", Kind::TickBox);
const Key alwaysOnTopForSettings = define("AlwaysOnTopTimer_TICKBOX", "0", Kind::TickBox);

const GeometryKeys sheet = geometry("10Screen", 14475, 8175);
const Key autosave = define("AUTOSAVE_TICKBOX", "0", Kind::TickBox);
const Key nameChangeLock = define("NAME_CHANGE_LOCK_TICKBOX", "0", Kind::TickBox);
const Key cryptoNameForSheet = define("CRYPTO_NAME", "Example: BTC", Kind::Text);
const Key exchangeRate = define("EXCHANGE_RATE_TEXTBOX", "Example: 0.70", Kind::Text);
const Key usdTotalTick = define("AUTOMATIC_CALCULATIONS_TICKBOX_USD_TOTAL", "0", Kind::TickBox);
const Key convertedTotalTick = define("AUTOMATIC_CALCULATIONS_TICKBOX_TOTAL", "0", Kind::TickBox);
const std::array<Key, rowCount> walletNames =
    rowKeys("WALLET_NAME_TEXTBOX_", "Wallet Name", Kind::Text);
const std::array<Key, rowCount> amountsInWallet = rowKeys("AMOUNT_IN_WALLET_", "0", Kind::Text);
const std::array<Key, rowCount> currentDollarValuations =
    rowKeys("CURRENT_DOLLAR_VALUATION_", "0", Kind::Text);
const std::array<Key, rowCount> rowTicks =
    rowKeys("AUTOMATIC_CALCULATIONS_TICKBOX_", "0", Kind::TickBox);

const GeometryKeys settingsWindow = geometry("SettingsScreen", 4335, 3270);
const GeometryKeys aboutWindow = geometry("About", 4860, 3645);
const GeometryKeys lockWindow = geometry("CLIENT-LOCK-WINDOW-", 6615, 3690);
const GeometryKeys passwordWindow = geometry("CLIENT-SET-PASSWORD-WINDOW-", 6360, 4110);
const Key lockPassword = define("LOCK-PASSWORD", "", Kind::Text);

std::vector<CatalogueEntry> catalogue() {
    return definedKeys();
}

} // namespace vq::keys
