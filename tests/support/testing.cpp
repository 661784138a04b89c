#include "tests/support/testing.h"

#include "frame/app.h"
#include "settings/store.h"

#include <QFile>
#include <QTemporaryDir>

namespace vq::testing {

static int emptyCalls = 0;
static FakePlatform* fake = nullptr;

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

QString stored(const keys::Key& key) {
    return Store::instance().read(key.name, QStringLiteral("<none>"));
}

void setUpTestApplication(void (*registerWindows)()) {
    setUpApplication(*qApp);
    if (registerWindows)
        registerWindows();
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

void advance(const QObject* window) {
    for (Timer* t : window->findChildren<Timer*>())
        if (t->isRunning())
            emit t->tick();
}

void retype(QWidget* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    // One key press a character: QTest::keyClicks refuses those beyond Latin-1.
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), {});
}

} // namespace vq::testing
