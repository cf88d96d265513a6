#pragma once

#include "communication/alarmbitchange.h"
#include "communication/request.h"

// Changes single bits in a range of holding registers without disturbing the others: reads the
// range, changes the bits in the image and writes the whole range back, in one run on the worker
// thread so no other request of the port comes between. Bits the controller latches between the
// read and the write are overwritten with the read image.
class ChangeAlarmRequest : public Request
{
public:
    ChangeAlarmRequest(Callback_t callback, int priority);

    // A failed read sets {1, 1819, result} and writes nothing; a failed write {1, 1822, result}.
    int doRequest(IoDevice& device) override;
    void notify() override;
    QList<QSharedPointer<Resource>> resources() const override;

    // Applied in list order; later changes see the earlier ones.
    QList<AlarmBitChange>& changes() { return m_changes; }
    const QList<AlarmBitChange>& changes() const { return m_changes; }

    // Changes `image`, the registers from `firstRegister` on (two bytes each, low byte first).
    // A change of a register outside the image or of a bit outside 0..15 is ignored.
    static void applyChanges(quint32 firstRegister, const QList<AlarmBitChange>& changes,
                             QByteArray* image);

private:
    QList<AlarmBitChange> m_changes;
};
