#include "alarms/alarmswidget.h"

#include "widgets/stylesource.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int IconSize = 24;
constexpr int Margin = 6;
constexpr int CountWidth = 34;

// Active alarms stand out, latched ones ask for attention, masked ones stay quiet.
const QColor CountColours[3] = {QColor(0xe5484d), QColor(0xf2a33a), QColor(0x9fa4ab)};

} // namespace

AlarmsWidget::AlarmsWidget(const QIcon& alarmIcon, QWidget* parent)
    : QWidget(parent)
    , icon(alarmIcon)
{
    // The indicator draws its counts in the banner's large font only.
    QFont small;
    applyBannerStyle(this, large, small);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setCounts(0, 0, 0);
}

void AlarmsWidget::setCounts(int active, int latched, int masked)
{
    counts[0] = active;
    counts[1] = latched;
    counts[2] = masked;
    describeCounts();
    update();
}

void AlarmsWidget::describeCounts()
{
    setToolTip(tr("Активные: %1\nНеквитированные: %2\nЗамаскированные: %3")
                   .arg(counts[0])
                   .arg(counts[1])
                   .arg(counts[2]));
}

void AlarmsWidget::changeEvent(QEvent* event)
{
    // The tooltip tells the counts: a new language tells the same counts again.
    if (event->type() == QEvent::LanguageChange)
        describeCounts();
    QWidget::changeEvent(event);
}

QSize AlarmsWidget::sizeHint() const
{
    return QSize(Margin * 3 + IconSize + 3 * CountWidth, 40);
}

void AlarmsWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect iconRect(Margin, (height() - IconSize) / 2, IconSize, IconSize);
    icon.paint(&painter, iconRect);
    painter.setFont(large);
    QRect cell(iconRect.right() + Margin, 0, CountWidth, height());
    for (int i = 0; i < 3; ++i) {
        painter.setPen(counts[i] > 0 ? CountColours[i] : palette().color(QPalette::Text));
        painter.drawText(cell, Qt::AlignCenter, QString::number(counts[i]));
        cell.translate(CountWidth, 0);
    }
}

void AlarmsWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
