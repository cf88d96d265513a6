#include "widgets/infowidget.h"

#include "ui_infowidget.h"

#include <QEvent>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>

InfoWidget::InfoWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::InfoWidget)
{
    ui->setupUi(this);
    sections = {{ui->s1Lab, ui->s1Body}, {ui->s2Lab, ui->s2Body}};
    applyStyle();
}

InfoWidget::~InfoWidget()
{
    delete ui;
}

void InfoWidget::setTitle(int section, const QString& text)
{
    if (isSection(section))
        sections.at(section).title->setText(text);
}

void InfoWidget::setData(int section, const QStringList& rows)
{
    if (!isSection(section))
        return;
    QLabel* title = sections.at(section).title;
    QTableWidget* body = sections.at(section).body;
    title->setVisible(!rows.isEmpty());
    body->setVisible(!rows.isEmpty());
    if (rows.isEmpty())
        resize(width(), title->minimumHeight() + body->minimumHeight());

    body->clear();
    body->setRowCount(rows.size());
    body->setColumnCount(2);
    sections[section].rows = rows;
    fitColumns();

    for (int r = 0; r < rows.size(); ++r) {
        const QString& row = rows.at(r);
        const int colon = row.indexOf(QLatin1Char(':'));
        auto* name = new QTableWidgetItem(colon < 0 ? row : row.left(colon));
        name->setForeground(QBrush(QColor(0x48, 0x4b, 0x4c)));
        name->setFont(nameFont);
        body->setItem(r, 0, name);
        auto* value = new QTableWidgetItem(colon < 0 ? QString() : row.mid(colon + 1));
        value->setForeground(QBrush(cellColor(section, r)));
        value->setFont(valueFont);
        body->setItem(r, 1, value);
        body->setRowHeight(r, rowHeight);
    }
}

void InfoWidget::fitColumns()
{
    int widest = 0;
    for (const Section& s : qAsConst(sections))
        widest = qMax(widest, widestName(s.rows));
    // The ratios share the width out; a name longer than its share takes what it needs from the
    // values' share, which is far wider than the short numbers and models it holds.
    for (const Section& s : qAsConst(sections)) {
        const int width = s.body->minimumWidth();
        const int nameShare = int(width * nameColumnRatio);
        const int nameWidth = qMin(qMax(nameShare, widest), width / 2 + width / 4);
        s.body->setColumnWidth(0, nameWidth);
        s.body->setColumnWidth(1, int(width * valueColumnRatio) - (nameWidth - nameShare));
    }
}

int InfoWidget::widestName(const QStringList& rows) const
{
    const QFontMetrics metrics(nameFont);
    // The cell's own margins on both sides, as the item delegate draws it.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    int widest = 0;
    for (const QString& row : rows)
        widest = qMax(widest, metrics.horizontalAdvance(row.section(QLatin1Char(':'), 0, 0)));
    return widest + margins + 1;
}

QColor InfoWidget::cellColor(int section, int row) const
{
    return cellColors.value(colorKey(section, row), QColor(Qt::black));
}

void InfoWidget::setCellColor(int section, int row, const QColor& colour)
{
    if (colour == QColor(Qt::black))
        cellColors.remove(colorKey(section, row));
    else
        cellColors.insert(colorKey(section, row), colour);
}

void InfoWidget::setSectionMinimumSize(int section, const QSize& size)
{
    if (!isSection(section))
        return;
    sections.at(section).body->setMinimumSize(size);
    updateGeometry();
}

void InfoWidget::setSectionSizes(const QSize& title, const QSize& body, int height)
{
    rowHeight = height;
    for (const Section& s : qAsConst(sections)) {
        s.title->setMinimumSize(title);
        s.body->setMinimumSize(body);
    }
    updateGeometry();
}

void InfoWidget::setColumnRatio(double name, double value)
{
    nameColumnRatio = name;
    valueColumnRatio = value;
}

void InfoWidget::applyStyle()
{
    for (const Section& s : qAsConst(sections)) {
        s.body->setSelectionMode(QAbstractItemView::NoSelection);
        s.title->setFont(titleFont);
        QPalette palette = s.title->palette();
        palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(Qt::black));
        s.title->setPalette(palette);
    }
}

void InfoWidget::hideEvent(QHideEvent* event)
{
    emit hidden();
    QWidget::hideEvent(event);
}

void InfoWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Form"));
        ui->s1Lab->setText(tr("Template"));
        ui->s2Lab->setText(tr("Template"));
    }
    QWidget::changeEvent(event);
}
