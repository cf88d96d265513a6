#pragma once

#include "model/systeminfo.h"

#include <QElapsedTimer>
#include <QFont>
#include <QWidget>

class FlatButton;
class QIcon;

// The tool-bar badge of the connected controller: its model name above its serial number, with a
// button that opens the system details pop-up.
class SysInfoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SysInfoWidget(const QIcon& icon, QWidget* parent = nullptr);

    void reset();
    void setSystemInfo(const SystemInfo_t& info);
    // Keeps the data for the next pop-up; the badge's texts stay as they are.
    void updateSystemInfo(const SystemInfo_t& info);
    void setTextFont(const QFont& modelFont, const QFont& serialFont);

    const QString& modelText() const { return modelName; }
    const QString& serialText() const { return serial; }
    // A controller's serial number as the badge shows it.
    static QString serialNumberText(quint32 serial);

public slots:
    void showDetail(bool checked);

signals:
    void hideDetail();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SystemInfo_t info;
    QFont modelFont;
    QFont serialFont;
    QString modelName;
    QString serial;
    FlatButton* detailButton = nullptr;
    // Started when the last pop-up closed: the click that closed it must not reopen it.
    QElapsedTimer sinceDetailClosed;
};

// The badge's palette and its two fonts.
void applySysInfoWidgetStyle(SysInfoWidget* widget);
