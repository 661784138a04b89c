#include "sheet/status_bar.h"

#include "settings/store.h"

#include <QDateTime>
#include <QLocale>

namespace vq {

namespace {
const QString statusText = QStringLiteral("Status");
const QString savingFailedText = QStringLiteral("Saving failed");
} // namespace

SheetStatusBar::SheetStatusBar(QWidget* sheet, int heightPx) : QStatusBar(sheet) {
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(false);
    setAutoFillBackground(true);
    setFixedHeight(heightPx);
    STATUS_PANEL = new QLabel(statusText, this);
    DATE_PANEL = new QLabel(this);
    TIME_PANEL = new QLabel(this);
    STATUS_PANEL->setObjectName(QStringLiteral("STATUS_PANEL"));
    DATE_PANEL->setObjectName(QStringLiteral("DATE_PANEL"));
    TIME_PANEL->setObjectName(QStringLiteral("TIME_PANEL"));
    DATE_PANEL->setAccessibleDescription(QStringLiteral("Today's date."));
    TIME_PANEL->setAccessibleDescription(QStringLiteral("The current time."));
    for (QLabel* l : {STATUS_PANEL, DATE_PANEL, TIME_PANEL}) {
        // A locale's date or time format is text, never markup.
        l->setTextFormat(Qt::PlainText);
        l->setContentsMargins(6, 0, 6, 0);
    }
    addWidget(STATUS_PANEL, 1);
    addPermanentWidget(DATE_PANEL);
    addPermanentWidget(TIME_PANEL);

    // The time panel shows hours and minutes, so one wake-up a minute, at the
    // turn of the minute, keeps both panels current (midnight included).
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &SheetStatusBar::updateClock);
    updateClock();

    Store& store = Store::instance();
    connect(&store, &Store::healthChanged, this, &SheetStatusBar::showStoreHealth);
    showStoreHealth(store.healthy());
}

QString hoursAndMinutes(QString format) {
    for (qsizetype i = format.indexOf(QLatin1Char('s')); i >= 0;
         i = format.indexOf(QLatin1Char('s'))) {
        qsizetype from = i, to = i;
        while (to < format.size() && format[to] == QLatin1Char('s'))
            ++to;
        if (from > 0 &&
            (format[from - 1] == QLatin1Char(':') || format[from - 1] == QLatin1Char('.')))
            --from;
        format.remove(from, to - from);
    }
    return format;
}

void SheetStatusBar::updateClock() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    DATE_PANEL->setText(locale.toString(now.date(), QLocale::ShortFormat));
    TIME_PANEL->setText(
        locale.toString(now.time(), hoursAndMinutes(locale.timeFormat(QLocale::ShortFormat))));
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    clock_.start(60000 - intoMinute + 20);
}

void SheetStatusBar::showStoreHealth(bool healthy) {
    STATUS_PANEL->setText(healthy ? statusText : savingFailedText);
}

} // namespace vq
