#include "upgrade/upgradefirmwaredialog.h"

#include "upgrade/upgrademanager.h"
#include "widgets/infowidget.h"
#include "widgets/stylesource.h"
#include "widgets/systemdetails.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

UpgradeFirmwareDialog::UpgradeFirmwareDialog(QWidget* parent)
    : QDialog(parent)
    , m_manager(new UpgradeManager(this))
    , m_details(new InfoWidget(this))
    , m_noController(new QLabel(this))
    , m_close(new QPushButton(this))
{
    setModal(true);
    applyDialogStyle(this);
    applyUpgradeDetailsStyle(m_details);
    m_details->applyStyle();
    m_noController->setAlignment(Qt::AlignCenter);
    m_noController->setMinimumSize(310, 60);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_details);
    layout->addWidget(m_noController);
    layout->addLayout(buttons);

    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_manager, &UpgradeManager::systemChanged, this, &UpgradeFirmwareDialog::showSystem);
    retranslate();
}

QString UpgradeFirmwareDialog::titleText(bool perpetual)
{
    QString title = tr("Обновление ПО контроллера");
    if (perpetual)
        title += QStringLiteral("[Perpetual]");
    return title;
}

void UpgradeFirmwareDialog::setDebugPerpetualUpgrade(bool on)
{
    m_perpetual = on;
    setWindowTitle(titleText(on));
}

void UpgradeFirmwareDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void UpgradeFirmwareDialog::retranslate()
{
    setWindowTitle(titleText(m_perpetual));
    m_noController->setText(tr("Контроллер не подключён"));
    m_close->setText(tr("Закрыть"));
    showSystem();
}

void UpgradeFirmwareDialog::showSystem()
{
    const bool connected = m_manager->hasSystem();
    m_details->setTitle(0, tr("Подключённый контроллер"));
    m_details->setData(0, connected ? SystemDetails::deviceRows(m_manager->system()) : QStringList());
    m_details->setData(1, {});
    m_details->setVisible(connected);
    m_noController->setVisible(!connected);
    adjustSize();
}
