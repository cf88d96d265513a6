// The resource page: a grouped system's tree in edit and monitoring mode, a filtered tree, the
// editor viewer's messages, and the device information page with a controller's readings.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editordefault.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/filterpanel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourceconfigurator/resourcefixture.h"
#include "widgets/flatbutton.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// A controller and three modules in two groups ("Щит 1" and "Щит 2") and one ungrouped.
SystemModel* groupedSystem()
{
    using namespace ResourceFixture;
    auto* system = new SystemModel;
    const Device::Ptr_t c =
        add(*system, ModelFixture::kTav1020, 0, Gallery::demo("Щит 1", "Panel 1"));
    add(*system, kPex5000, 1, Gallery::demo("Щит 1", "Panel 1"), c->id());
    add(*system, kPex2000, 2, Gallery::demo("Щит 2", "Panel 2"), c->id());
    add(*system, kPex2000, 3, QString(), c->id());
    return system;
}

QList<IoResource::Ptr_t> ofKind(SystemModel* system, int number, int kind)
{
    QList<IoResource::Ptr_t> out;
    for (const DeviceHandle& h : system->deviceHandles()) {
        if (h.number != number)
            continue;
        for (const IoResource::Ptr_t& r : system->deviceResources(h.id, false)) {
            if (r->kind() == kind)
                out << r;
        }
    }
    return out;
}

ResourceConfigurator* makePage(SystemModel* system)
{
    auto* page = new ResourceConfigurator(system);
    system->setParent(page);
    page->resize(1000, 720);
    // The hint label's text arrives with the first language change.
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(page, &change);
    page->systemChanged();
    page->view()->expandAll();
    return page;
}

// Live values as the monitoring loop would leave them.
void fillValues(SystemModel* system)
{
    // In bus order: the resources' own map is keyed by random ids, and the pictures must not
    // change from one run to the next.
    QList<IoResource::Ptr_t> inBusOrder;
    for (const DeviceHandle& h : system->deviceHandles())
        inBusOrder += system->deviceResources(h.id, true);
    int i = 0;
    for (const IoResource::Ptr_t& r : qAsConst(inBusOrder)) {
        AbstractValue v;
        r->exportValue(v);
        ++i;
        v.ain.raw = 4.0 + i % 16;
        v.ain.value = 12.5 + i;
        v.aout.value = quint16(1000 * (i % 10));
        v.din.value = i % 2;
        v.din.counter = quint32(i % 3);
        v.dout.value = quint16(i % 2);
        r->importValue(v);
    }
    const QList<IoResource::Ptr_t> ains = ofKind(system, 1, ResourceKind::Ain);
    AbstractValue frozen;
    ains[2]->exportValue(frozen);
    frozen.ain.freeze = 1;
    ains[2]->importValue(frozen);
    AbstractValue overload;
    ains[4]->exportValue(overload);
    overload.ain.status = 1;
    ains[4]->importValue(overload);
    AbstractValue frozenOverload = overload;
    ains[6]->exportValue(frozenOverload);
    frozenOverload.ain.freeze = 1;
    frozenOverload.ain.status = 3;
    ains[6]->importValue(frozenOverload);
}

} // namespace

TAV_GALLERY_SCENES(resourceconfigurator)
{
    SettingsProvider::instance();
    SystemModel::registerMetaTypes();

    {
        SystemModel* system = groupedSystem();
        ResourceConfigurator* page = makePage(system);
        Gallery::save(page, outDir, "resourceconfigurator_page_grouped_edit");
        const QList<IoResource::Ptr_t> dins = ofKind(system, 2, ResourceKind::Din);
        system->resourceUpdated({dins[1]->id(), dins[4]->id()});
        Gallery::save(page, outDir, "resourceconfigurator_page_two_inputs_selected");
        page->editorViewer()->edit({}, {dins[0], ofKind(system, 2, ResourceKind::Dout).first()});
        Gallery::save(page, outDir, "resourceconfigurator_page_mixed_selection");

        page->view()->clearSelection();
        page->filterPanel()->button(ResourceKind::Din)->click();
        page->filterPanel()->button(ResourceKind::Dout)->click();
        page->view()->expandAll();
        page->view()->scrollToTop();
        Gallery::save(page, outDir, "resourceconfigurator_page_filtered_din_dout");
        Gallery::save(page->filterPanel(), outDir, "resourceconfigurator_filterpanel_din_dout");
    }
    {
        SystemModel* system = groupedSystem();
        ResourceConfigurator* page = makePage(system);
        page->monitoringMode(true);
        page->view()->expandAll();
        fillValues(system);
        page->onChangeValues(system->resources().keys());
        // The controller folded, so the module with the frozen and overloaded inputs shows.
        page->view()->collapse(page->proxy()->mapFromSource(
            page->model()->indexes({system->deviceHandles().first().id}).first()));
        Gallery::save(page, outDir, "resourceconfigurator_page_monitoring");
        page->view()->selectRows(
            {page->proxy()->mapFromSource(page->model()->indexes({ofKind(system, 1, ResourceKind::Ain)[4]->id()}).first())});
        Gallery::save(page->view(), outDir, "resourceconfigurator_tree_monitoring_selected_overload");
    }
    {
        SystemModel* system = groupedSystem();
        auto* viewer = new EditorViewer(system);
        system->setParent(viewer);
        viewer->resize(640, 420);
        Gallery::save(viewer, outDir, "resourceconfigurator_viewer_nothing_selected");
        viewer->edit({}, {ofKind(system, 1, ResourceKind::Ain)[0], ofKind(system, 1, ResourceKind::Aout)[0]});
        Gallery::save(viewer, outDir, "resourceconfigurator_viewer_different_kinds");
        viewer->edit({}, {ofKind(system, 1, ResourceKind::Ain)[0]});
        Gallery::save(viewer, outDir, "resourceconfigurator_viewer_no_editor");
        const DeviceHandle controller = system->deviceHandles().first();
        viewer->edit({system->device(controller.id)}, {});
        Gallery::save(viewer, outDir, "resourceconfigurator_viewer_controller");
    }
    {
        SystemModel* system = groupedSystem();
        auto* info = new EditorDefault;
        system->setParent(info);
        // The viewer's colours, which the page has inside the resource page.
        QPalette dark = info->palette();
        dark.setColor(QPalette::Window, QColor(0x44, 0x48, 0x4e));
        dark.setColor(QPalette::WindowText, Qt::white);
        info->setPalette(dark);
        info->resize(720, 460);
        const Device::Ptr_t controller = system->device(system->deviceHandles().first().id);
        Device::Readings_t readings{};
        readings[0] = 24.1;
        readings[2] = 12.05;
        readings[3] = 3.31;
        readings[4] = 36.4;
        controller->setReadings(readings);
        controller->setSupplyFlags(1);
        info->setDevices({controller});
        Gallery::save(info, outDir, "resourceconfigurator_editordefault_controller_offline");
        info->setControlling(true);
        info->updateValues({controller});
        Gallery::save(info, outDir, "resourceconfigurator_editordefault_controller_readings");
        info->setDevices({});
        Gallery::save(info, outDir, "resourceconfigurator_editordefault_hint");
    }
}
