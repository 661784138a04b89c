// store_tool: drives the settings store from a separate process for the
// settings tests.
//   store_tool write SECTION      stdin "KEY<TAB>HEX" lines, written in one batch
//   store_tool writeeach SECTION  the same, one write (one file replacement) per key
//   store_tool read SECTION       stdin "KEY<TAB>HEXDEFAULT" lines; prints "KEY<TAB>HEX"
//   store_tool loop SECTION N     batches of N keys GEN_00.. all holding one
//                                 generation, counting up from the stored one,
//                                 until killed (or 60 s); prints "started G"
//                                 after the first batch
//   store_tool spam SECTION PREFIX COUNT   PREFIX_i = i, one write each
// SECTION "-" uses the executable's own name. Exit code 0 when every write
// reached the disk.
#include "settings/store.h"
#include "tests/settings/protocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
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

QString genKey(int i) {
    return QStringLiteral("GEN_%1").arg(i, 2, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: store_tool write|writeeach|read|loop|spam SECTION ...\n", stderr);
        return 2;
    }
    const QString command = args[1];
    Store& store = Store::instance();
    if (args[2] != QLatin1String("-"))
        store.setSectionOverride(args[2]);

    if (command == QLatin1String("write") || command == QLatin1String("writeeach")) {
        const auto pairs = readPairs();
        if (command == QLatin1String("write")) {
            Store::Batch batch;
            for (const auto& [key, hex] : pairs)
                store.write(key, fromHexUnits(hex));
        } else {
            for (const auto& [key, hex] : pairs)
                store.write(key, fromHexUnits(hex));
        }
        std::puts(store.healthy() ? "ok" : "failed");
        return store.healthy() && !store.hasPending() ? 0 : 1;
    }
    if (command == QLatin1String("read")) {
        QByteArray out;
        for (const auto& [key, hex] : readPairs())
            out += key.toUtf8() + '\t' + toHexUnits(store.read(key, fromHexUnits(hex))) + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    }
    if (command == QLatin1String("loop") && args.size() >= 4) {
        const int n = args[3].toInt();
        int generation = store.read(genKey(0), QStringLiteral("0")).toInt();
        QElapsedTimer limit;
        limit.start();
        bool announced = false;
        while (limit.elapsed() < 60000) { // bounded, should the test die first
            ++generation;
            const QString value = QString::number(generation);
            {
                Store::Batch batch;
                for (int i = 0; i < n; ++i)
                    store.write(genKey(i), value);
            }
            if (!announced) {
                std::printf("started %d\n", generation);
                std::fflush(stdout);
                announced = true;
            }
        }
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
