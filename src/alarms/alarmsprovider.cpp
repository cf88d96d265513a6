#include "alarms/alarmsprovider.h"

#include "alarms/alarmreadrequest.h"
#include "catalogue/settingsprovider.h"
#include "communication/changealarmrequest.h"

#include <QDebug>

namespace Alarms {

namespace {

constexpr int BitsPerWord = 16;

quint16 wordAt(const QByteArray& data, int word)
{
    const int at = word * 2;
    if (word < 0 || at + 1 >= data.size())
        return 0;
    return quint16(quint8(data.at(at)) | (quint8(data.at(at + 1)) << 8));
}

void fillTexts(AlarmItem* item)
{
    const SettingsProvider* provider = SettingsProvider::loaded();
    AlarmText text;
    if (provider && provider->alarmText(item->code(), &text)) {
        item->description = text.description;
        item->display = text.display;
    }
}

} // namespace

struct AlarmsProvider::Poll
{
    quint64 session = 0;
    QByteArray states;
    QByteArray masks;
    int left = 2;
    bool ok = true;
};

AlarmsProvider::AlarmsProvider(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<QList<AlarmItem>>("QList<AlarmItem>");
    timer.setInterval(PollIntervalMs);
    connect(&timer, &QTimer::timeout, this, &AlarmsProvider::poll);
}

AlarmsProvider::~AlarmsProvider() = default;

QList<AlarmItem> AlarmsProvider::decode(const QList<BusEntry>& devices, const QByteArray& states,
                                        const QByteArray& masks)
{
    QList<AlarmItem> items;
    const int words = devices.size() * AlarmItem::GroupCount;
    for (int device = 0; device < devices.size(); ++device) {
        for (int group = 0; group < AlarmItem::GroupCount; ++group) {
            AlarmItem item;
            item.device = device;
            item.deviceType = devices.at(device).type;
            item.revision = devices.at(device).revision;
            item.group = group;
            const quint16 active = wordAt(states, item.word());
            const quint16 latched = wordAt(states, words + item.word());
            const quint16 masked = wordAt(masks, item.word());
            for (int bit = 0; bit < BitsPerWord; ++bit) {
                const quint16 m = quint16(1u << bit);
                if (((active | latched | masked) & m) == 0)
                    continue;
                item.bit = bit;
                item.active = active & m;
                item.latched = latched & m;
                item.masked = masked & m;
                fillTexts(&item);
                items.append(item);
            }
        }
    }
    return items;
}

void AlarmsProvider::monitoring(bool on)
{
    monitoringOn = on;
    updateTimer();
}

void AlarmsProvider::systemLost()
{
    ++session;
    selected = false;
    devices.clear();
    pending.reset();
    updateTimer();
    emit updateAlarms({});
}

void AlarmsProvider::systemSelected(SystemInfo_t info)
{
    ++session;
    selected = true;
    devices = detectedDevices(info);
    pending.reset();
    updateTimer();
    poll();
}

void AlarmsProvider::enableCheckAlarm(bool on)
{
    enabled = on;
    updateTimer();
}

void AlarmsProvider::updateTimer()
{
    timer.setInterval(monitoringOn ? MonitoringPollIntervalMs : PollIntervalMs);
    if (enabled && selected)
        timer.start();
    else
        timer.stop();
}

bool AlarmsProvider::blockEntries(ProtoEntry* states, ProtoEntry* controls) const
{
    const SettingsProvider* provider = SettingsProvider::loaded();
    if (!provider || devices.isEmpty() || !provider->sysEntry(QStringLiteral("alarm-reg"), states)
        || !provider->sysEntry(QStringLiteral("alarm-reg-ctrl"), controls))
        return false;
    const quint32 words = quint32(devices.size() * AlarmItem::GroupCount);
    states->registers = 2 * words;
    controls->registers = 2 * words;
    return true;
}

void AlarmsProvider::poll()
{
    ProtoEntry states;
    ProtoEntry controls;
    if (!enabled || !selected || isPollPending() || !blockEntries(&states, &controls))
        return;
    // The clear words are write-only in effect: only the mask half is read.
    controls.registers /= 2;
    auto round = std::make_shared<Poll>();
    round->session = session;
    pending = round;
    emit sendRequest(Request::Ptr_t(new AlarmReadRequest(
        states, [this, round](const Request& r) { readDone(round, false, r); },
        Request::MonitoringPriority)));
    emit sendRequest(Request::Ptr_t(new AlarmReadRequest(
        controls, [this, round](const Request& r) { readDone(round, true, r); },
        Request::MonitoringPriority)));
}

void AlarmsProvider::readDone(const std::shared_ptr<Poll>& round, bool masks,
                              const Request& request)
{
    if (round->session != session)
        return;
    round->ok = round->ok && request.error().ok();
    (masks ? round->masks : round->states) = request.readData();
    if (--round->left > 0)
        return;
    if (!round->ok) {
        qDebug() << "AlarmsProvider: alarm poll failed";
        return;
    }
    emit updateAlarms(decode(devices, round->states, round->masks));
}

void AlarmsProvider::changeAlarms(QList<AlarmItem> alarms)
{
    ProtoEntry states;
    ProtoEntry controls;
    if (!selected || !blockEntries(&states, &controls))
        return;
    const qint32 clearHalf = qint32(controls.registers / 2);
    auto request = QSharedPointer<ChangeAlarmRequest>::create(
        [this, s = session](const Request&) {
            if (s == session)
                poll();
        },
        Request::ControlPriority);
    request->registers() = controls;
    for (const AlarmItem& item : qAsConst(alarms)) {
        const qint32 word = qint32(controls.offset) + item.word();
        switch (item.change) {
        case AlarmItem::Acknowledge:
            request->changes().append({word + clearHalf, item.bit, 1});
            break;
        case AlarmItem::Mask:
        case AlarmItem::Unmask:
            request->changes().append({word, item.bit, item.change == AlarmItem::Mask ? 1 : 0});
            break;
        case AlarmItem::NoChange:
            break;
        }
    }
    if (!request->changes().isEmpty())
        emit sendRequest(request);
}

} // namespace Alarms
