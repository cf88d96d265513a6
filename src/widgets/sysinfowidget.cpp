#include "widgets/sysinfowidget.h"

#include "catalogue/settingsprovider.h"
#include "widgets/flatbutton.h"
#include "widgets/systemdetails.h"
#include "widgets/textstyles.h"
#include "widgets/utils/widgetutils.h"

#include <QPainter>

namespace {
constexpr qint64 reopenGuardMs = 300;
}

SysInfoWidget::SysInfoWidget(const QIcon& icon, QWidget* parent)
    : QWidget(parent)
{
    applySysInfoWidgetStyle(this);
    detailButton = new FlatButton(icon, this);
    connect(detailButton, &QAbstractButton::clicked, this, &SysInfoWidget::showDetail);
    QPalette buttonPalette = palette();
    buttonPalette.setBrush(QPalette::All, QPalette::Button, QBrush(QColor(0x38, 0x3b, 0x3f)));
    buttonPalette.setBrush(QPalette::All, QPalette::Highlight, QBrush(QColor(0x38, 0x3b, 0x3f)));
    detailButton->setPalette(buttonPalette);
    setMinimumSize(220, 44);
    // Sized from the minimum height: a badge built without a parent is 480 pixels high until a
    // tool bar lays it out, and the button belongs at the badge's right end at the minimum size.
    detailButton->resize(minimumHeight(), minimumHeight() - 4);
    detailButton->move(minimumWidth() - detailButton->width() - 4, 2);
    detailButton->hide();
}

void SysInfoWidget::reset()
{
    modelName.clear();
    serial.clear();
    detailButton->hide();
    repaint();
    setEnabled(false);
    emit hideDetail();
}

void SysInfoWidget::setSystemInfo(const SystemInfo_t& newInfo)
{
    info = newInfo;
    DeviceTemplate tpl;
    modelName = SettingsProvider::instance().deviceTemplate(DeviceType_t(info.cpuId), info.hw,
                                                            &tpl, false)
        ? tpl.name
        : QString();
    serial = serialNumberText(info.kernelSn);
    setEnabled(true);
    detailButton->show();
    repaint();
}

QString SysInfoWidget::serialNumberText(quint32 serialNumber)
{
    return QStringLiteral("SN - %1").arg(serialNumber, 7, 10, QLatin1Char('0'));
}

void SysInfoWidget::updateSystemInfo(const SystemInfo_t& newInfo)
{
    info = newInfo;
}

void SysInfoWidget::setTextFont(const QFont& model, const QFont& serialNumber)
{
    modelFont = model;
    serialFont = serialNumber;
}

void SysInfoWidget::showDetail(bool)
{
    if (sinceDetailClosed.isValid() && sinceDetailClosed.elapsed() < reopenGuardMs)
        return;
    sinceDetailClosed.invalidate();
    auto* details = new SystemDetails(info, this);
    details->setWindowFlags(Qt::Popup);
    details->move(mapToGlobal(QPoint(25, height() + 2)));
    details->show();
    connect(details, &InfoWidget::hidden, this, [this, details] {
        details->deleteLater();
        sinceDetailClosed.start();
    });
    connect(this, &SysInfoWidget::hideDetail, details, &QWidget::hide);
}

void SysInfoWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (modelName.isEmpty() || serial.isEmpty())
        return;
    QPainter painter(this);
    const QRect frame(QPoint(25, 1), QPoint(width() - 5, height() - 5));
    painter.setPen(palette().color(QPalette::Window));
    painter.setBrush(palette().brush(QPalette::Window));
    painter.drawRect(frame);
    const QRect text = frame.adjusted(11, 4, -1, -4);
    painter.setPen(palette().color(QPalette::BrightText));
    painter.setFont(modelFont);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, modelName);
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(serialFont);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom, serial);
}

void applySysInfoWidgetStyle(SysInfoWidget* widget)
{
    if (!widget)
        return;
    const QColor dark(0x44, 0x48, 0x4e);
    QPalette p = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::WindowText,
                                           QPalette::Highlight})
        p.setBrush(QPalette::All, role, QBrush(dark));
    p.setBrush(QPalette::All, QPalette::BrightText, QBrush(Qt::white));
    p.setBrush(QPalette::All, QPalette::Text, QBrush(QColor(0x9f, 0xa4, 0xab)));
    widget->setPalette(p);
    widget->setTextFont(makeFont(fontFamilyHeros, 14, false), makeFont(fontFamilyHeros, 12, false));
}
