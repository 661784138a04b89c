// Writes the settings store from a process of its own for tst_store; exits 0 once on disk.
//   store_tool SECTION           stdin "KEY<TAB>TEXT" lines, TEXT the hex of its UTF-16 units
//   store_tool SECTION P COUNT   for each i < COUNT one batch: P = i and P_i = i
#include "settings/store.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    vq::Store& store = vq::Store::instance();
    store.setSectionOverride(args.value(1));
    for (int i = 0; i < args.value(3).toInt(); ++i) {
        vq::Store::Batch batch;
        store.write(args[2], QString::number(i));
        store.write(args[2] + '_' + QString::number(i), QString::number(i));
    }
    QFile in;
    if (args.size() == 2 && in.open(stdin, QIODevice::ReadOnly)) {
        vq::Store::Batch batch;
        for (const QByteArray& line : in.readAll().split('\n')) {
            const QByteArray units = QByteArray::fromHex(line.mid(line.indexOf('\t') + 1));
            const QString text(reinterpret_cast<const QChar*>(units.data()), units.size() / 2);
            if (!line.isEmpty())
                store.write(QString::fromUtf8(line.left(line.indexOf('\t'))), text);
        }
    }
    return store.healthy() && !store.hasPending() ? 0 : 1;
}
