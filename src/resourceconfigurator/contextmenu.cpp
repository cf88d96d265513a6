#include "resourceconfigurator/contextmenu.h"

#include <QAction>

ContextMenu::ContextMenu(QWidget* parent)
    : QMenu(parent)
{
    const QMap<int, QString> texts{
        {CollapseDevice, tr("Свернуть - ...")},
        {CollapseOthers, tr("Свернуть другие устройства")},
        {CollapseAll, tr("Свернуть все устройства ")},
        {ExpandAll, tr("Развернуть все устройства ")},
        {HideSelected, tr("Скрыть выбранные ресурсы")},
        {HideOthers, tr("Скрыть другие ресурсы")},
        {ShowAll, tr("Показать всё ")},
    };
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        auto* a = new QAction(it.value(), this);
        a->setEnabled(it.key() == CollapseAll || it.key() == ShowAll);
        m_actions.insert(it.key(), a);
    }
    addAction(m_actions.value(CollapseDevice));
    addAction(m_actions.value(CollapseOthers));
    addAction(m_actions.value(CollapseAll));
    addAction(m_actions.value(ExpandAll));
    addSeparator();
    addAction(m_actions.value(HideOthers));
    addAction(m_actions.value(HideSelected));
    addAction(m_actions.value(ShowAll));
}

ContextMenu::ContextMenu(const State& state, QWidget* parent)
    : ContextMenu(parent)
{
    applyState(state);
}

int ContextMenu::actionCode(QAction* action) const
{
    if (!action)
        return NoAction;
    return m_actions.key(action, NoAction);
}

void ContextMenu::applyState(const State& state)
{
    QAction* device = m_actions.value(CollapseDevice);
    if (state.deviceName.isEmpty()) {
        device->setText(tr("Свернуть - ..."));
        device->setEnabled(false);
    } else {
        device->setText(tr("Свернуть - ") + state.deviceName);
        device->setEnabled(true);
    }
    device->setEnabled(state.deviceExpanded);
    m_actions.value(CollapseOthers)->setEnabled(!state.othersCollapsed);
    m_actions.value(ExpandAll)->setEnabled(!state.allExpanded);
    m_actions.value(HideSelected)->setEnabled(state.hasSelection);
    m_actions.value(HideOthers)->setEnabled(state.hasSelection);
    m_actions.value(ShowAll)->setEnabled(state.hasFilter);
    m_actions.value(CollapseAll)->setEnabled(!(state.othersCollapsed && !state.deviceExpanded));
}
