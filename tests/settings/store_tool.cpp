// store_tool: drives the settings store from a separate process for the
// settings tests.
//   store_tool write SECTION      stdin "KEY<TAB>HEX" lines, written in one batch
//   store_tool read SECTION       stdin "KEY<TAB>HEXDEFAULT" lines; prints "KEY<TAB>HEX"
//   store_tool spam SECTION PREFIX COUNT   PREFIX_i = i, one write each
// SECTION "-" uses the executable's own name. Exit code 0 when every write
// reached the disk.
#include "settings/store.h"
#include "tests/settings/protocol.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using vq::Store;
using namespace vq::testing;

namespace {

QList<QPair<QString, QByteArray>> readPairs() {
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    QList<QPair<QString, QByteArray>> pairs;
    for (const QByteArray& line : in.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            pairs.append({QString::fromUtf8(line), QByteArray()});
        else
            pairs.append({QString::fromUtf8(line.left(tab)), line.mid(tab + 1)});
    }
    return pairs;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: store_tool write|read|spam SECTION ...\n", stderr);
        return 2;
    }
    const QString command = args[1];
    Store& store = Store::instance();
    if (args[2] != QLatin1String("-"))
        store.setSectionOverride(args[2]);

    if (command == QLatin1String("write")) {
        {
            Store::Batch batch;
            for (const auto& [key, hex] : readPairs())
                store.write(key, fromHexUnits(hex));
        }
        return store.healthy() && !store.hasPending() ? 0 : 1;
    }
    if (command == QLatin1String("read")) {
        QByteArray out;
        for (const auto& [key, hex] : readPairs())
            out += key.toUtf8() + '\t' + toHexUnits(store.read(key, fromHexUnits(hex))) + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    }
    if (command == QLatin1String("spam") && args.size() >= 5) {
        const QString prefix = args[3];
        const int count = args[4].toInt();
        bool ok = true;
        for (int i = 0; i < count; ++i) {
            store.write(prefix + QLatin1Char('_') + QString::number(i), QString::number(i));
            ok = ok && store.healthy();
        }
        return ok ? 0 : 1;
    }
    std::fputs("unknown command\n", stderr);
    return 2;
}
