#pragma once

#include "alarms/alarmitem.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTableWidget;

namespace Alarms {
class SystemAlarms;
}

// The alarm list of the selected system, kept current while it is open, with acknowledge,
// acknowledge-all and mask. Not modal: the user keeps working while it is open.
class AlrmsManager : public QDialog
{
    Q_OBJECT

public:
    enum Column { DeviceColumn, AlarmColumn, StateColumn, ColumnCount };

    AlrmsManager(Alarms::SystemAlarms* alarms, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    QPushButton* acknowledgeButton() const { return ackButton; }
    QPushButton* acknowledgeAllButton() const { return ackAllButton; }
    QPushButton* maskButton() const { return m_maskButton; }

public slots:
    void refresh();
    void acknowledge();
    void acknowledgeAll();
    void toggleMask();

private:
    int selectedRow() const;
    void updateButtons();

    Alarms::SystemAlarms* alarms;
    // The alarms as the table shows them.
    QList<AlarmItem> shown;
    QTableWidget* m_table;
    QPushButton* ackButton;
    QPushButton* ackAllButton;
    QPushButton* m_maskButton;
};
