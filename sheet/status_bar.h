#pragma once
// The sheet's status bar: whether saving works, today's date and the time.

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace vq {

class SheetStatusBar : public QStatusBar {
    Q_OBJECT
public:
    SheetStatusBar(QWidget* sheet, int heightPx);

private:
    void showStoreHealth(bool healthy);
    void updateClock();

    // Its three panels: status, the current date, the current time.
    QLabel* STATUS_PANEL;
    QLabel* DATE_PANEL;
    QLabel* TIME_PANEL;
    QTimer clock_;
};

// A locale's time format without its seconds (and the separator before them).
QString hoursAndMinutes(QString format);

} // namespace vq
