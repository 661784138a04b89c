#pragma once
// What the save-loop driver types into the sheet in generation g, so that a
// test can tell from the store file alone which save each key came from.
// Even generations end in an auto-save tick, odd ones in a close and reopen.

#include "settings/keys.h"

#include <QList>
#include <QPair>
#include <QString>

namespace vq::hardening {

// The sheet saves under the tool's own section whatever the driver is called.
inline const QString section = QStringLiteral("VELMORA-QUORIX");

inline bool closesIn(qint64 g) {
    return g % 2 == 1;
}

// Ends in ';' so that no complete name is a prefix of another.
inline QString coinName(qint64 g) {
    return QStringLiteral("C%1;").arg(g);
}

// Whole pixels (15 twips), so that the window gives the same figure back.
inline int leftOf(qint64 g) {
    return 15 * int(100 + g % 200);
}
inline int topOf(qint64 g) {
    return 15 * int(80 + g % 100);
}

// The keys every save writes except CRYPTO_NAME (which each keystroke writes
// as well) and the position (close only), with their texts in generation g.
inline QList<QPair<QString, QString>> batchOf(qint64 g) {
    QList<QPair<QString, QString>> f;
    f.append({keys::exchangeRate.name, QStringLiteral("0.%1").arg(g)});
    for (int n = 1; n <= keys::rowCount; ++n)
        f.append({keys::walletName(n).name, QStringLiteral("Wallet %1 gen %2").arg(n).arg(g)});
    for (int n = 1; n <= keys::rowCount; ++n)
        f.append({keys::amountInWallet(n).name, QStringLiteral("%1.%2").arg(g).arg(n)});
    for (int n = 1; n <= keys::rowCount; ++n)
        f.append(
            {keys::currentDollarValuation(n).name, QStringLiteral("%1.%2").arg(100 * n).arg(g)});
    // Half the rows ticked, a different half each generation.
    for (int n = 1; n <= keys::rowCount; ++n)
        f.append({keys::rowTick(n).name, (n + g) % 2 ? QStringLiteral("1") : QStringLiteral("0")});
    f.append({keys::convertedTotalTick.name, g % 3 ? QStringLiteral("1") : QStringLiteral("0")});
    f.append({keys::usdTotalTick.name, QStringLiteral("1")});
    return f;
}

// The generation a stored first wallet name belongs to, or -1.
inline qint64 generationOf(const QString& walletName1) {
    static const QString prefix = QStringLiteral("Wallet 1 gen ");
    if (!walletName1.startsWith(prefix))
        return -1;
    bool ok = false;
    const qint64 g = walletName1.mid(prefix.size()).toLongLong(&ok);
    return ok ? g : -1;
}

} // namespace vq::hardening
