#include "shell/debugoperations.h"

#include "model/flatconfiguration.h"
#include "model/systemmodel.h"
#include "shell/mapbuilder.h"
#include "shell/prompts.h"

#include <QAction>
#include <QDataStream>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// Writes `bytes` as the whole file; the number of bytes written, 0 when it did not open.
qint64 writeWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    return qMax<qint64>(file.write(bytes), 0);
}

// A module file: the record count 1, the block's byte count, then the block, little-endian.
QByteArray moduleFile(const QByteArray& block)
{
    QByteArray content;
    QDataStream out(&content, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << qint16(1) << qint16(block.size());
    out.writeRawData(block.constData(), block.size());
    return content;
}

} // namespace

DebugOperations::DebugOperations(SystemModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

DebugOperations::~DebugOperations() = default;

void DebugOperations::createActions()
{
    for (QAction*& action : m_actions)
        action = new QAction(this);
    onActivated(m_actions[MapTest], &QAction::triggered, this, [this] { createMapFile(); });
    connect(m_actions[OpenFolder], SIGNAL(triggered()), this, SLOT(openFolder()));
    onActivated(m_actions[BinaryDump], &QAction::triggered, this,
                [this] { writeSystemToBinary(); });
    m_actions[ScanSystems]->setCheckable(true);
    connect(m_actions[ScanSystems], SIGNAL(triggered(bool)), this, SIGNAL(scanSystem(bool)));
    m_actions[EndlessUpgrade]->setCheckable(true);
    connect(m_actions[EndlessUpgrade], SIGNAL(triggered(bool)), this,
            SIGNAL(needPerpetualUpgrade(bool)));
    m_menuList = {m_actions[MapTest], m_actions[OpenFolder], m_actions[ScanSystems],
                  m_actions[EndlessUpgrade], m_actions[BinaryDump]};
    retranslate();
}

QList<QAction*> DebugOperations::toolBarActions() const
{
    return {};
}

QMap<QString, QList<QAction*>> DebugOperations::menuActions() const
{
    return {{tr("Инженерный режим!"), m_menuList}};
}

void DebugOperations::retranslate()
{
    m_actions[MapTest]->setText(tr("Тест map"));
    m_actions[OpenFolder]->setText(tr("Открыть папку запуска"));
    m_actions[BinaryDump]->setText(tr("Сохранить конфигурацию в бинарный файл"));
    m_actions[ScanSystems]->setText(tr("Сканировать cистемы"));
    m_actions[EndlessUpgrade]->setText(tr("Обновлять бесконечно"));
}

QStringList DebugOperations::menuTitles() const
{
    return {tr("Инженерный режим!")};
}

void DebugOperations::systemLost()
{
    emit scanSystem(m_actions[ScanSystems] && m_actions[ScanSystems]->isChecked());
}

void DebugOperations::systemFound(LiveSystem::Ptr_t system)
{
    if (system && system->isValid())
        emit scanSystem(false);
}

void DebugOperations::createMapFile()
{
    // The same map the File menu exports, under the name the programming environment's tests use.
    MapBuilder::exportMap(m_model, QStringLiteral("memory.map"));
}

void DebugOperations::openFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::currentPath()));
}

void DebugOperations::writeSystemToBinary()
{
    const QString name = Prompts::current().saveFileName(
        tr("Cохранить в бинарный файл"), m_model->systemKey() + QStringLiteral(".bin"),
        tr("Bin files (*.bin)"), QStringLiteral("bin"));
    if (name.isEmpty())
        return;
    QByteArray image;
    QMap<NodeId_t, QByteArray> blocks;
    FlatConfiguration flat(m_model);
    if (!flat.compose(image, &blocks)) {
        qDebug() << Q_FUNC_INFO << "Can't get binary data from configuration";
        return;
    }
    const qint64 written = writeWhole(name, image);
    if (written == 0 || written != image.size())
        qDebug() << Q_FUNC_INFO << "Error during write config to the file" << name << written;
    writePexConfigurations(blocks, QFileInfo(name).absolutePath());
}

QString DebugOperations::moduleFileName(const QString& displayName)
{
    QString name = displayName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name + QStringLiteral(".bin");
}

void DebugOperations::writePexConfigurations(const QMap<NodeId_t, QByteArray>& blocks,
                                             const QString& folder)
{
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        const Device::Ptr_t device = m_model->device(it.key());
        if (!device || device->deviceClass() != Device::PexClass)
            continue;
        const Device::Ptr_t owner = m_model->device(device->owner());
        if (!owner)
            continue;
        const QString path =
            folder + QLatin1Char('/') + moduleFileName(device->displayName(owner->number()));
        const QByteArray content = moduleFile(it.value());
        const qint64 written = writeWhole(path, content);
        if (written == 0 || written != content.size())
            qDebug() << Q_FUNC_INFO << "Error during write config to the file" << path << written;
    }
}
