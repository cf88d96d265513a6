#pragma once

#include "communication/livesystem.h"
#include "model/nodeid.h"
#include "shell/abstractoperations.h"

#include <QMap>
#include <QObject>

class QAction;
class SystemModel;

// The engineering menu, present only when the program was started with "-dev": a register map
// test file, the start folder, binary dumps of the system image and of each expansion module's
// block, an offline port scan switch and an endless firmware upgrade switch. Failures are logged,
// never shown.
class DebugOperations : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    DebugOperations(SystemModel* model, QObject* parent = nullptr);
    ~DebugOperations() override;


    void createActions();

    enum Action { MapTest, OpenFolder, BinaryDump, ScanSystems, EndlessUpgrade, ActionCount };
    QAction* action(Action which) const { return m_actions[which]; }

    // The module file's name for a device display name: separators would leave the folder.
    static QString moduleFileName(const QString& displayName);

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

signals:
    void scanSystem(bool on);
    void needPerpetualUpgrade(bool on);

public slots:
    void systemLost();
    void systemFound(LiveSystem::Ptr_t system);
    void createMapFile();
    void openFolder();
    void writeSystemToBinary();

private:
    void writePexConfigurations(const QMap<NodeId_t, QByteArray>& blocks, const QString& folder);

    SystemModel* m_model;
    QAction* m_actions[ActionCount] = {};
    QList<QAction*> m_menuList;
};
