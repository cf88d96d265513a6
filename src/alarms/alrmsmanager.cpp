#include "alarms/alrmsmanager.h"

#include "alarms/systemalarms.h"
#include "catalogue/settingsprovider.h"
#include "widgets/stylesource.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString deviceText(const AlarmItem& item)
{
    const SettingsProvider* provider = SettingsProvider::loaded();
    const QString model = provider ? provider->modelName(item.deviceType, item.revision) : QString();
    return QObject::tr("%1. %2").arg(item.device + 1).arg(model);
}

QString alarmText(const AlarmItem& item)
{
    const QString text = item.display.isEmpty()
                             ? QObject::tr("Авария %1").arg(item.code())
                             : item.display;
    if (item.group == AlarmItem::Own)
        return text;
    return QObject::tr("%1, канал %2").arg(text).arg(item.bit + 1);
}

QString stateText(const AlarmItem& item)
{
    QStringList states;
    if (item.active)
        states.append(QObject::tr("активна"));
    if (item.latched)
        states.append(QObject::tr("не квитирована"));
    if (item.masked)
        states.append(QObject::tr("замаскирована"));
    return states.join(QStringLiteral(", "));
}

} // namespace

AlrmsManager::AlrmsManager(Alarms::SystemAlarms* alarmSet, QWidget* parent)
    : QDialog(parent)
    , alarms(alarmSet)
    , m_table(new QTableWidget(0, ColumnCount, this))
    , ackButton(new QPushButton(tr("Квитировать"), this))
    , ackAllButton(new QPushButton(tr("Квитировать все"), this))
    , m_maskButton(new QPushButton(tr("Маскировать"), this))
{
    setWindowTitle(tr("Аварии"));
    applyDialogStyle(this);
    m_table->setHorizontalHeaderLabels({tr("Устройство"), tr("Авария"), tr("Состояние")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    applyAlarmTableStyle(m_table);

    auto* close = new QPushButton(tr("Закрыть"), this);
    for (QPushButton* button : {ackButton, ackAllButton, m_maskButton, close}) {
        applyDarkButtonStyle(button);
        // The dark style draws its text to the very edge; a margin keeps the buttons apart.
        button->setMinimumSize(button->sizeHint() + QSize(16, 8));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ackButton);
    buttons->addWidget(ackAllButton);
    buttons->addWidget(m_maskButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    resize(620, 360);

    connect(ackButton, &QPushButton::clicked, this, &AlrmsManager::acknowledge);
    connect(ackAllButton, &QPushButton::clicked, this, &AlrmsManager::acknowledgeAll);
    connect(m_maskButton, &QPushButton::clicked, this, &AlrmsManager::toggleMask);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &AlrmsManager::updateButtons);
    if (alarms)
        connect(alarms, &Alarms::SystemAlarms::listChanged, this, &AlrmsManager::refresh);
    refresh();
}

int AlrmsManager::selectedRow() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void AlrmsManager::refresh()
{
    // A poll may add or remove alarms above the selected one: the selection follows its alarm,
    // so that a button pressed after the poll acts on the alarm the user chose.
    const int selected = selectedRow();
    const bool hadSelection = selected >= 0 && selected < shown.size();
    const AlarmItem kept = hadSelection ? shown.at(selected) : AlarmItem();
    const QList<AlarmItem> items = alarms ? alarms->alarms() : QList<AlarmItem>();
    shown = items;
    m_table->setRowCount(items.size());
    for (int row = 0; row < items.size(); ++row) {
        const AlarmItem& item = items.at(row);
        const QString texts[ColumnCount] = {deviceText(item), alarmText(item), stateText(item)};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* cell = new QTableWidgetItem(texts[column]);
            cell->setToolTip(item.description);
            m_table->setItem(row, column, cell);
        }
    }
    m_table->resizeColumnToContents(DeviceColumn);
    m_table->resizeColumnToContents(AlarmColumn);
    int keep = -1;
    for (int i = 0; hadSelection && keep < 0 && i < items.size(); ++i)
        keep = items.at(i).sameAlarm(kept) ? i : -1;
    if (keep >= 0)
        m_table->selectRow(keep);
    else
        m_table->clearSelection();
    updateButtons();
}

void AlrmsManager::updateButtons()
{
    const int row = selectedRow();
    const QList<AlarmItem> items = alarms ? alarms->alarms() : QList<AlarmItem>();
    const bool valid = row >= 0 && row < items.size();
    ackButton->setEnabled(valid && items.at(row).latched);
    m_maskButton->setEnabled(valid);
    m_maskButton->setText(valid && items.at(row).masked ? tr("Снять маску") : tr("Маскировать"));
    bool anyLatched = false;
    for (const AlarmItem& item : items)
        anyLatched = anyLatched || item.latched;
    ackAllButton->setEnabled(anyLatched);
}

void AlrmsManager::acknowledge()
{
    if (alarms)
        alarms->acknowledge(selectedRow());
}

void AlrmsManager::acknowledgeAll()
{
    if (alarms)
        alarms->acknowledgeAll();
}

void AlrmsManager::toggleMask()
{
    const int row = selectedRow();
    if (alarms && row >= 0 && row < alarms->alarms().size())
        alarms->setMasked(row, !alarms->alarms().at(row).masked);
}
