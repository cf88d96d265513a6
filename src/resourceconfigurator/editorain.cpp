#include "resourceconfigurator/editorain.h"

#include "model/ain.h"
#include "resourceconfigurator/editoraincalibr.h"
#include "resourceconfigurator/editorainrules.h"
#include "resourceconfigurator/editorainconfig.h"
#include "ui_editorain.h"
#include "widgets/tabbarnowheel.h"

#include <QEvent>

EditorAin::EditorAin(QWidget* parent)
    : Editor(parent)
    , ui(new Ui::EditorAin)
    , tabs(new TabBarNoWheel(this))
    , config(new EditorAinConfig(this))
    , calibr(new EditorAinCalibr(this))
{
    ui->setupUi(this);

    applyEditorTabStyle(tabs, QColor(0x44, 0x48, 0x4e), QColor(0x38, 0x3b, 0x3f), 30);
    // The tabs and the pages are added in the same order, so one index names both.
    tabs->addTab(QString());
    tabs->addTab(QString());
    retranslate();
    ui->verticalLayout->insertWidget(0, tabs);
    connect(tabs, &QTabBar::currentChanged, this, &EditorAin::onTabChanged);

    ui->stackedWidget->addWidget(config);
    ui->stackedWidget->addWidget(calibr);
    for (Editor* page : {static_cast<Editor*>(config), static_cast<Editor*>(calibr)}) {
        connect(page, qOverload<const QMap<IoResource::Ptr_t, AbstractConfig>&>(&Editor::change),
                this, qOverload<const QMap<IoResource::Ptr_t, AbstractConfig>&>(&Editor::change));
        connect(page, &Editor::control, this, &Editor::control);
        page->setPalette(editorPalette(palette()));
        page->setAutoFillBackground(true);
    }
}

EditorAin::~EditorAin()
{
    delete ui;
}

void EditorAin::retranslate()
{
    tabs->setTabText(settingsIndex, tr("Настройки"));
    tabs->setTabText(calibrationIndex, tr("Калибровка"));
}

void EditorAin::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Form"));
        retranslate();
    }
    Editor::changeEvent(event);
}

QWidget* EditorAin::currentPage() const
{
    return ui->stackedWidget->currentWidget();
}

void EditorAin::onTabChanged(int index)
{
    if (index >= 0 && index < ui->stackedWidget->count())
        ui->stackedWidget->setCurrentIndex(index);
}

bool EditorAin::calibrationAvailable(const QList<IoResource::Ptr_t>& resources)
{
    if (resources.isEmpty())
        return false;
    const AinConfig first = EditorAinRules::ainConfig(resources.first());
    if (first.range == Ain::Discrete)
        return false;
    const bool sensor = EditorAinRules::hasSensor(first.range);
    if (sensor && first.tsType == 0)
        return false;
    for (const IoResource::Ptr_t& r : resources) {
        const AinConfig c = EditorAinRules::ainConfig(r);
        if (c.range != first.range || (sensor && c.tsType != first.tsType))
            return false;
    }
    return true;
}

void EditorAin::setResources(QList<IoResource::Ptr_t> resources)
{
    // Ended here, before a page is hidden or refilled, the entry reaches the frame's own change.
    const Refill refill(this, resources);
    const bool available = calibrationAvailable(resources);
    tabs->setTabEnabled(calibrationIndex, available);
    if (!tabs->isTabEnabled(calibrationIndex))
        ui->stackedWidget->setCurrentIndex(settingsIndex);
    // The calibration page is told of every selection, also of those it has no table for, so
    // that it never keeps an earlier one to show or to write into.
    calibr->setResources(resources);
    config->setResources(resources);
}

void EditorAin::installShortcutFilter(QObject* filter)
{
    config->installShortcutFilter(filter);
    calibr->installShortcutFilter(filter);
}

void EditorAin::setControlling(bool controlling)
{
    config->setControlling(controlling);
}
