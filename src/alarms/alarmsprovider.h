#pragma once

#include "alarms/alarmitem.h"
#include "communication/request.h"
#include "model/busentry.h"
#include "model/systeminfo.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

namespace Alarms {

// Polls the alarm registers of the selected system and sends the user's acknowledge and mask
// changes back. Each device owns three words (its own alarms, its analogue inputs, its analogue
// outputs) in each half of the two alarm blocks: "alarm-reg" holds the active words, then the
// latched ones; "alarm-reg-ctrl" the mask words, then the clear words.
class AlarmsProvider : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 3000;
    static constexpr int MonitoringPollIntervalMs = 1500;

    explicit AlarmsProvider(QObject* parent = nullptr);
    ~AlarmsProvider() override;

    bool isPolling() const { return timer.isActive(); }
    int pollInterval() const { return timer.interval(); }
    bool isPollPending() const { return !pending.expired(); }

    // The alarms of `devices` from the "alarm-reg" words (`states`) and the mask words (`masks`),
    // two bytes per word, low byte first; words missing from short data count as zero.
    static QList<AlarmItem> decode(const QList<BusEntry>& devices, const QByteArray& states,
                                   const QByteArray& masks);

signals:
    void sendRequest(Request::Ptr_t request);
    void updateAlarms(QList<AlarmItem> alarms);

public slots:
    void monitoring(bool on);
    void systemLost();
    void systemSelected(SystemInfo_t info);
    void changeAlarms(QList<AlarmItem> alarms);
    void enableCheckAlarm(bool on);
    // One round of reads; skipped while the last one is still under way.
    void poll();

private:
    struct Poll;
    bool blockEntries(ProtoEntry* states, ProtoEntry* controls) const;
    void readDone(const std::shared_ptr<Poll>& round, bool masks, const Request& request);
    void updateTimer();

    QList<BusEntry> devices;
    bool selected = false;
    bool enabled = true;
    bool monitoringOn = false;
    // Grows when the system is lost or replaced; answers of an older session are ignored.
    quint64 session = 0;
    // Alive while a poll's requests are queued or running: they hold the round.
    std::weak_ptr<Poll> pending;
    QTimer timer;
};

} // namespace Alarms
