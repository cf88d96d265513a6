// The editors of analogue outputs, discrete inputs and outputs inside the editor viewer (one
// channel, two differing channels, monitoring), and the serial-port editor with each port shown.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editorfixture.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/editorviewer.h"
#include "widgets/tabbarnowheel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QToolTip>

namespace {

constexpr DeviceType_t kTav1020 = 0x0B0A140Au;
constexpr DeviceType_t kPex2000 = 0x0A14000Au;

// The product's brand: serial-port settings offered, polling switches left to the controller.
class ModeScope
{
public:
    explicit ModeScope(int mode) : saved(SettingsProvider::instance().mode)
    {
        SettingsProvider::instance().mode = mode;
    }
    ~ModeScope() { SettingsProvider::instance().mode = saved; }

private:
    int saved;
};

// The note a box shows under the pointer, as the user reads it.
void saveNote(QWidget* box, const QString& outDir, const QString& name)
{
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), box->toolTip(), box);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible())
            Gallery::save(w, outDir, name);
    }
    QToolTip::hideText();
}

struct Scene
{
    SystemModel* system = new SystemModel;
    Device::Ptr_t controller, module;
    EditorViewer* viewer = nullptr;

    Scene()
    {
        controller = add(kTav1020, 0, NodeId_t());
        module = add(kPex2000, 1, controller->id());
        viewer = new EditorViewer(system);
        system->setParent(viewer);
        viewer->resize(640, 420);
    }
    Device::Ptr_t add(DeviceType_t type, int number, const NodeId_t& owner)
    {
        DeviceHandle h;
        h.type = type;
        h.revision = 0;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = number;
        return system->addDevice(h);
    }
    QList<IoResource::Ptr_t> of(int kind) const
    {
        QList<IoResource::Ptr_t> out;
        for (const IoResource::Ptr_t& r : system->deviceResources(module->id(), false)) {
            if (r->kind() == kind && out.size() < 2)
                out << r;
        }
        return out;
    }
    // The three pictures of one kind: the first channel, both (differing), both while monitoring.
    void render(const QString& outDir, const QString& kind, const QList<IoResource::Ptr_t>& pair)
    {
        viewer->edit({}, {pair.first()});
        Gallery::save(viewer, outDir, "editors_" + kind + "_single");
        viewer->edit({}, pair);
        Gallery::save(viewer, outDir, "editors_" + kind + "_mixed");
        viewer->controlling(true);
        viewer->edit({}, pair);
        Gallery::save(viewer, outDir, "editors_" + kind + "_monitoring");
        viewer->controlling(false);
    }
};

void outputScenes(const QString& outDir)
{
    Scene scene;
    const QList<IoResource::Ptr_t> aouts = scene.of(ResourceKind::Aout);
    EditorFixture::setConfig(aouts[0], [](AbstractConfig& c) { c.aout.save = 2500; });
    EditorFixture::setConfig(aouts[1], [](AbstractConfig& c) { c.aout.save = 7300; });
    for (const IoResource::Ptr_t& r : aouts)
        EditorFixture::setValue(r, [](AbstractValue& v) { v.aout.value = 3700; });
    scene.render(outDir, "aout", aouts);
    // A safe state read from a file beyond the box's range: shown as held, marked, with its note.
    EditorFixture::setConfig(aouts[0], [](AbstractConfig& c) { c.aout.save = 65535; });
    scene.viewer->edit({}, {aouts[0]});
    Gallery::save(scene.viewer, outDir, "editors_aout_out_of_range");
    saveNote(scene.viewer->findChild<QAbstractSpinBox*>("spinBoxSaveMode"), outDir,
             "editors_aout_out_of_range_note");
    // One finer than the box's decimals: shown whole, marked, with its own note.
    EditorFixture::setConfig(aouts[0], [](AbstractConfig& c) { c.aout.save = 9999; });
    scene.viewer->edit({}, {aouts[0]});
    Gallery::save(scene.viewer, outDir, "editors_aout_finer");
    saveNote(scene.viewer->findChild<QAbstractSpinBox*>("spinBoxSaveMode"), outDir,
             "editors_aout_finer_note");

    const QList<IoResource::Ptr_t> douts = scene.of(ResourceKind::Dout);
    EditorFixture::setConfig(douts[0], [](AbstractConfig& c) { c.dout.save = 1; });
    for (const IoResource::Ptr_t& r : douts)
        EditorFixture::setValue(r, [](AbstractValue& v) { v.dout.control = 1; v.dout.value = 1; });
    scene.render(outDir, "dout", douts);
}

void inputScenes(const QString& outDir, const QString& kind)
{
    Scene scene;
    const QList<IoResource::Ptr_t> dins = scene.of(ResourceKind::Din);
    EditorFixture::setConfig(dins[0], [](AbstractConfig& c) { c.din.filterOn = true; c.din.filter = 3; });
    EditorFixture::setConfig(dins[1], [](AbstractConfig& c) { c.din.filterOn = false; c.din.filter = 2000; });
    scene.render(outDir, kind, dins);
    scene.viewer->edit({}, {dins[1]});
    Gallery::save(scene.viewer, outDir, "editors_" + kind + "_hardware_filter");
    EditorFixture::setConfig(dins[0], [](AbstractConfig& c) { c.din.filter = 30000; });
    scene.viewer->edit({}, {dins[0]});
    Gallery::save(scene.viewer, outDir, "editors_" + kind + "_out_of_range");
}

void serialPortScenes(const QString& outDir)
{
    SystemModel* system = new SystemModel;
    DeviceHandle h;
    h.type = kTav1020;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 0;
    system->addDevice(h);
    auto* editor = new EditorSerialPort;
    system->setParent(editor);
    editor->setPortsVisible(true);
    editor->setResources(system->serialPorts());
    Gallery::save(editor, outDir, "editors_serialport_com1");
    editor->portTabs()->setCurrentIndex(1);
    Gallery::save(editor, outDir, "editors_serialport_com2");
    // A rate read from a controller that the list does not offer: the box names none.
    EditorFixture::setConfig(system->serialPorts().first(),
                             [](AbstractConfig& c) { c.port.baud = 3750000; });
    editor->portTabs()->setCurrentIndex(0);
    Gallery::save(editor, outDir, "editors_serialport_unlisted_rate");
    // A safe time beyond the box's range in both ports (one alone would show the blank).
    for (const IoResource::Ptr_t& port : system->serialPorts())
        EditorFixture::setConfig(port, [](AbstractConfig& c) { c.port.safeTime = 4294967295u; });
    editor->setResources(system->serialPorts());
    Gallery::save(editor, outDir, "editors_serialport_out_of_range");
    editor->setPortsVisible(false);
    Gallery::save(editor, outDir, "editors_serialport_no_ports");
}

} // namespace

TAV_GALLERY_SCENES(editors)
{
    SettingsProvider::instance();
    SystemModel::registerMetaTypes();
    {
        const ModeScope mode(1);
        outputScenes(outDir);
        inputScenes(outDir, "din");
        serialPortScenes(outDir);
    }
    // Outside the product's brand the inputs also offer the device's polling switches.
    const ModeScope mode(0);
    inputScenes(outDir, "din_polling");
}
