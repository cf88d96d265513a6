#pragma once

#include "communication/channel.h"
#include "communication/livesystem.h"
#include "communication/portenumerator.h"
#include "communication/request.h"
#include "communication/serialportinfo.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QTimer>

// The one entry point of all device traffic: owns the open channels, knows the active one,
// stamps and routes requests, ticks the keep-alive and scans the serial ports. A port whose
// controller was found and whose channel was dropped since (silence, another controller, a halt)
// is opened again by itself at the keep-alive's pace while it stays listed, quietly, until a
// controller is found there again: a controller that owes its password clear is paid as soon
// as it answers, and one swapped in can be selected without a restart. A port where no
// controller was ever found is left alone: it may hold another kind of device. GUI thread only.
class Communication : public QObject
{
    Q_OBJECT

public:
    using ChannelPtr_t = QSharedPointer<Channel>;

    static constexpr int KeepAliveIntervalMs = 8000;
    // A port found hung in this many scans in a row is not offered for restart any more.
    static constexpr int MaxHangupReports = 9;

    explicit Communication(QObject* parent = nullptr);
    ~Communication() override;

    int keepAliveInterval() const { return m_keepAliveInterval; }
    // Tests shorten the keep-alive period; the program keeps 8000 ms.
    void setKeepAliveInterval(int ms);
    bool isKeepAliveRunning() const { return keepAliveTimer.isActive(); }

    // Seams for the platform: the system's port list (the extra ports of TAVCFG_EXTRA_PORTS are
    // always added) and the rule that tells a hung USB port from a failed open.
    void setSystemPortSource(PortEnumerator::Source_t source);
    void setHangupRule(Channel::HangupRule_t rule);

    Channel::Id_t activeChannel() const { return active; }
    QList<Channel::Id_t> channelIds() const { return channels.keys(); }
    SerialPortInfo portOf(const Channel::Id_t& id) const { return ports.value(id); }
    int droppedChannelCount() const { return droppedChannels.size(); }
    // Ports whose controller was lost and that are looked at again.
    int lostPortCount() const { return lostPorts.size(); }
    int hangupCount(const QString& portName) const { return hangupCounts.value(portName); }
    ChannelPtr_t findChannel(const Channel::Id_t& id) const;

    // The last stamp handed out in this process.
    static quint64 lastStamp();

    // The program is closing: from now on a controller is sent only password clears, whoever
    // asks, so no work that takes the password starts after the close began. What is queued
    // already runs on.
    void admitOnlyPasswordClears() { clearsOnly = true; }
    bool admitsOnlyPasswordClears() const { return clearsOnly; }

public slots:
    void runComPortScan();
    void activate(Channel::Id_t id);
    void sendRequestTo(Channel::Id_t id, Request::Ptr_t request);
    void sendRequest(Request::Ptr_t request);
    // The controller found behind the channel's port.
    void setController(Channel::Id_t id, LiveSystem::Ptr_t system);
    void monitoringMode(bool on);
    void dropAllChannels();
    void dropActiveChannel();
    void dropChannel(Channel::Id_t id = Channel::Id_t(), bool restart = false);
    void checkForKeepAlive();

signals:
    void channelWasFound(Channel::Id_t id);
    void channelWasLost(Channel::Id_t id);
    void needKeepAlive();
    void restartHangupPort(QList<QString> serialNumbers);
    // A write's identity read on the channel found `found` in the place of its controller.
    void anotherControllerFound(Channel::Id_t id, ControllerIdentity found);
    // A port listed by the system that could not be opened, with the cause.
    void portOpenFailed(const SerialPortInfo& port, const App::Error& error);

private:
    // `quiet`: a port looked at again, whose failures the user has heard of already.
    void openNewPort(const SerialPortInfo& port, QList<SerialPortInfo>* hung, bool quiet = false);
    void lookAgain();
    void removeVanishedPort(const SerialPortInfo& port);
    Channel::Id_t knownPortId(const SerialPortInfo& port) const;
    void reportHangups(const QList<SerialPortInfo>& hung);

    int m_keepAliveInterval = KeepAliveIntervalMs;
    QMap<Channel::Id_t, ChannelPtr_t> channels;
    QMap<Channel::Id_t, SerialPortInfo> ports;
    QMap<QString, int> hangupCounts;
    Channel::Id_t active;
    QTimer keepAliveTimer;
    // Channels on which a controller was found, and the ports that lost theirs.
    QSet<Channel::Id_t> identified;
    QSet<SerialPortInfo> lostPorts;
    QTimer lookAgainTimer;
    QList<ChannelPtr_t> droppedChannels;
    PortEnumerator::Source_t systemPorts;
    Channel::HangupRule_t hangupRule;
    bool clearsOnly = false;
};
