#include "tests/support/testing.h"

#include "frame/app.h"
#include "frame/controls.h"
#include "frame/windows.h"
#include "settings/store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vq::testing {

namespace {
int emptyCalls = 0;
FakePlatform* fake = nullptr;
} // namespace

QString useFreshStore() {
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    Store::instance().flush();
    dirs.push_back(std::make_unique<QTemporaryDir>());
    const QString base = dirs.back()->path();
    qputenv("HOME", base.toUtf8());
    qputenv("XDG_CONFIG_HOME", (base + "/.config").toUtf8());
    Store::instance().setSectionOverride(QStringLiteral("VELMORA-QUORIX"));
    return Store::instance().filePath();
}

void seedStore(const QMap<QString, QString>& values) {
    Store::Batch batch;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        Store::instance().write(it.key(), it.value());
}

QByteArray storeFileContents() {
    QFile f(Store::instance().filePath());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void setUpTestApplication() {
    setUpApplication(*qApp);
    auto p = std::make_unique<FakePlatform>();
    fake = p.get();
    setPlatform(std::move(p));
    Windows::setOnEmpty([] { ++emptyCalls; });
}

int emptyCount() {
    return emptyCalls;
}

FakePlatform& fakePlatform() {
    return *fake;
}

void unloadAll() {
    for (auto kind : {WindowKind::Password, WindowKind::Lock, WindowKind::About,
                      WindowKind::Settings, WindowKind::Sheet, WindowKind::Main})
        if (Form* f = Windows::find(kind))
            f->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void click(const QObject* window, const QString& name) {
    control<QAbstractButton>(window, name)->click();
}

void fire(const QObject* window, const QString& timerName) {
    emit control<Timer>(window, timerName)->tick();
}

} // namespace vq::testing
