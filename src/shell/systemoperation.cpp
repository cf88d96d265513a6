#include "shell/systemoperation.h"

#include "widgets/layoutmetrics.h"
#include "widgets/tabbarnowheel.h"

#include <QFont>

SystemOperation::SystemOperation(QObject* parent)
    : QObject(parent)
    , m_tabBar(new TabBarNoWheel(nullptr))
{
    // Document mode and the dark palette come with the wheel-less bar itself.
    QFont font(QStringLiteral("Segoe UI"));
    font.setPixelSize(12);
    m_tabBar->setFont(font);
    m_tabBar->setMinimumHeight(24);
    // Every tab of the bar is as wide as the bar's minimum: two tabs of half the side panel fill
    // it, where two of the whole width would push one tab behind the scroll arrows.
    m_tabBar->setMinimumWidth(panelWidthSmall() / 2);
}

SystemOperation::~SystemOperation()
{
    if (m_tabBar && !m_tabBar->parent())
        delete m_tabBar;
}

void SystemOperation::createTabBar()
{
    m_resourcesTab = m_tabBar->addTab(QString());
    m_systemTab = m_tabBar->addTab(QString());
    retranslate();
    connect(m_tabBar, &QTabBar::currentChanged, this, &SystemOperation::tabChanged);
}

void SystemOperation::retranslate()
{
    m_tabBar->setTabText(m_resourcesTab, tr("Ресурсы"));
    m_tabBar->setTabText(m_systemTab, tr("Система"));
}

bool SystemOperation::isSystemTabCurrent() const
{
    return m_tabBar->currentIndex() == m_systemTab;
}

bool SystemOperation::isResourcesTabCurrent() const
{
    return m_tabBar->currentIndex() == m_resourcesTab;
}

QTabBar* SystemOperation::tabBar() const
{
    return m_tabBar;
}

void SystemOperation::tabChanged(int index)
{
    if (index == m_resourcesTab)
        emit editResources();
    else if (index == m_systemTab)
        emit editSystem();
}

void SystemOperation::showOnPage()
{
    if (m_tabBar->parentWidget())
        m_tabBar->show();
}

void SystemOperation::setSystemEditable(bool editable)
{
    showOnPage();
    m_tabBar->setTabEnabled(m_systemTab, editable);
}

void SystemOperation::setResourceEditable(bool editable)
{
    showOnPage();
    m_tabBar->setTabEnabled(m_resourcesTab, editable);
}

void SystemOperation::goEditSystem()
{
    showOnPage();
    m_tabBar->setCurrentIndex(m_systemTab);
}

void SystemOperation::goEditResources()
{
    showOnPage();
    m_tabBar->setCurrentIndex(m_resourcesTab);
}
