#pragma once

#include "model/devicetype.h"

#include <QList>
#include <QWidget>

class QListWidgetItem;
class QModelIndex;
namespace Ui {
class DeviceSelector;
}

// The picker of a device type, its hardware revision and, when adding, a number of devices. It
// lists the catalogue types of the given device classes; types the caller does not offer are shown
// disabled after the offered ones: modules as supply overloads, controllers as I/O-board excesses.
// The entry under the pointer is announced with a power preview; a choice is reported and kept,
// and closing the picker is left to its owner.
class DeviceSelector : public QWidget
{
    Q_OBJECT

public:
    DeviceSelector(const QList<DeviceType_t>& offered, bool addMode, bool showTitle,
                   const QList<int>& classes, QWidget* parent = nullptr,
                   Qt::WindowFlags flags = Qt::WindowFlags());
    ~DeviceSelector() override;

    void setBoardLimit(int n);
    void setAddressLimit(int n);
    void setPowerBudget(int mW) { powerBudget = mW; }
    void setSupply(int mW) { supply = mW; }
    void setOwnConsumption(int mW) { ownConsumption = mW; }
    void setReplaceCount(int n) { replaceCount = n; }
    void setReserve(int mW) { reserve = mW; }
    int count() const;

    // The last choice; 0 while nothing was chosen.
    DeviceType_t chosenType() const { return type; }
    HardwareVersion chosenRevision() const { return revision; }
    // The most devices of a type that the limits allow to add at once.
    int maxCount(DeviceType_t t) const;
    // Announces a type as the pointer over its entry does.
    void announce(DeviceType_t t);

    static HardwareVersion revisionAt(int position);

signals:
    void editingFinished(DeviceType_t type, HardwareVersion revision);
    void devEntered(DeviceType_t type, HardwareVersion revision, int supply, int system,
                    int modules);

public slots:
    void onItemSelected(QListWidgetItem* item);
    void onItemEntered(const QModelIndex& index);
    void onItemClicked(QListWidgetItem* item);
    void onValueChanged(int value);
    void onRevisionChanged(int position);
    void on_selectItem_clicked();

protected:
    bool event(QEvent* event) override;

private:
    void fillList(const QList<DeviceType_t>& offered);
    void fitWidthToNames();
    static bool choosable(const QListWidgetItem* item);

    Ui::DeviceSelector* ui;
    DeviceType_t type = 0;
    HardwareVersion revision = 0;
    bool touched = false;
    int powerBudget = -1;
    int supply = -1;
    int ownConsumption = -1;
    int replaceCount = -1;
    int reserve = -1;
    int addressLimit = 99;
    int boardLimit = -1;
    int lastCount = 1;
    bool addMode;
    QList<int> classes;
};
