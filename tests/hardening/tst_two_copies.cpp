// Two copies of the tool under one executable name share one section. Run
// at the same time, each writing keys of its own and typing the coin name,
// they lose nothing of each other's: only the coin name, which both write,
// holds what the last writer gave it.
#include "tests/settings/store_test_util.h"

#include <QProcess>
#include <QtTest>

using namespace vq::testing;

class TwoCopiesTest : public QObject {
    Q_OBJECT
private slots:
    void copiesKeepEachOthersKeys();
};

void TwoCopiesTest::copiesKeepEachOthersKeys() {
    FreshStore fresh;
    const int count = 150;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess copies[2];
    const QString tags[2] = {QStringLiteral("A"), QStringLiteral("B")};
    for (int i = 0; i < 2; ++i) {
        copies[i].setProcessEnvironment(env);
        copies[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        copies[i].start(QStringLiteral(DRIVER_PATH),
                        {QStringLiteral("copy"), tags[i], QString::number(count)});
    }
    QStringList lastNames;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(copies[i].waitForFinished(60000));
        QCOMPARE(copies[i].exitStatus(), QProcess::NormalExit);
        QCOMPARE(copies[i].exitCode(), 0);
        const QByteArray out = copies[i].readAllStandardOutput().trimmed();
        QVERIFY(out.startsWith("last "));
        lastNames << QString::fromUtf8(out.mid(5));
    }

    // The section is the driver's own executable name.
    const QString section = QFileInfo(QStringLiteral(DRIVER_PATH)).completeBaseName();
    const FileView view = viewOf(fresh.file());
    QCOMPARE(view.status, QSettings::NoError);
    int lost = 0;
    for (const QString& tag : tags)
        for (int i = 0; i < count; ++i)
            if (view.values.value(QStringLiteral("%1/%2_%3").arg(section, tag).arg(i)).toString() !=
                QStringLiteral("%1-%2").arg(tag).arg(i))
                ++lost;
    const QString name = view.values.value(section + QStringLiteral("/CRYPTO_NAME")).toString();
    qInfo("two copies: %d writes each, keys lost: %d, coin name left by the last writer: %s", count,
          lost, qPrintable(name));
    QCOMPARE(lost, 0);
    QVERIFY2(lastNames.contains(name), qPrintable(name));
}

QTEST_GUILESS_MAIN(TwoCopiesTest)
#include "tst_two_copies.moc"
