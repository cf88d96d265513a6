// The analogue-input editor: the settings page in every input mode (odd and even inputs, a
// three-wire pair, monitoring with the freeze switch, a mixed selection) and each calibration
// panel.
#include "gallery.h"

#include "model/ain.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editorain.h"
#include "resourceconfigurator/editorainrules.h"
#include "widgets/tabbarnowheel.h"

namespace {

constexpr DeviceType_t kPex5000 = 0x0A32000Au;

QList<IoResource::Ptr_t> analogueInputs(SystemModel* system)
{
    DeviceHandle h;
    h.type = kPex5000;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 1;
    const Device::Ptr_t d = system->addDevice(h);
    QList<IoResource::Ptr_t> out;
    for (const IoResource::Ptr_t& r : system->deviceResources(d->id(), false)) {
        if (r->kind() == ResourceKind::Ain)
            out << r;
    }
    return out;
}

void setMode(const IoResource::Ptr_t& input, qint32 range, qint32 sensor, qint32 pollAin = 2)
{
    AbstractConfig c;
    input->exportConfig(c);
    EditorAinRules::switchMode(c.ain, range);
    c.ain.pollAin = pollAin;
    if (sensor) {
        c.ain.tsType = sensor;
        c.ain.sensors[0] = EditorAinRules::sensorParameters(sensor);
    }
    input->importConfig(c);
}

void render(EditorAin* editor, const QList<IoResource::Ptr_t>& selection, bool calibration,
            const QString& outDir, const QString& name)
{
    editor->setResources(selection);
    editor->tabBar()->setCurrentIndex(calibration ? EditorAin::calibrationIndex
                                                  : EditorAin::settingsIndex);
    Gallery::save(editor, outDir, name);
}

} // namespace

TAV_GALLERY_SCENES(aineditors)
{
    SystemModel system;
    const QList<IoResource::Ptr_t> ains = analogueInputs(&system);
    EditorAin editor;
    editor.resize(680, 500);
    // The viewer's background around the pages.
    QPalette p = editor.palette();
    p.setColor(QPalette::All, QPalette::Window, QColor(0x44, 0x48, 0x4e));
    editor.setPalette(p);

    const struct { qint32 range; qint32 sensor; const char* name; } modes[] = {
        {Ain::Voltage, 0, "voltage"}, {Ain::Current, 0, "current"}, {Ain::Rtd, 2, "rtd"},
        {Ain::Ntc, 103, "ntc"}, {Ain::Discrete, 0, "din"},
    };
    for (const auto& m : modes) {
        setMode(ains.at(0), m.range, m.sensor);
        setMode(ains.at(1), m.range, m.sensor, 1);
        render(&editor, {ains.at(0)}, false, outDir,
               QStringLiteral("aineditors_settings_%1_odd").arg(QLatin1String(m.name)));
        render(&editor, {ains.at(1)}, false, outDir,
               QStringLiteral("aineditors_settings_%1_even_raw").arg(QLatin1String(m.name)));
        if (m.range != Ain::Discrete)
            render(&editor, {ains.at(0)}, true, outDir,
                   QStringLiteral("aineditors_calibration_%1").arg(QLatin1String(m.name)));
    }

    setMode(ains.at(2), Ain::Rtd3Wire, 91);
    setMode(ains.at(3), Ain::Rtd3Wire, 91);
    render(&editor, {ains.at(2), ains.at(3)}, false, outDir,
           QStringLiteral("aineditors_settings_rtd3wire_pair"));
    render(&editor, {ains.at(2)}, true, outDir,
           QStringLiteral("aineditors_calibration_rtd_user_sensor"));

    setMode(ains.at(4), Ain::Rtd, 2);
    editor.setControlling(true);
    render(&editor, {ains.at(4)}, false, outDir,
           QStringLiteral("aineditors_settings_rtd_monitoring"));
    editor.setControlling(false);

    setMode(ains.at(5), Ain::Ntc, 103);
    render(&editor, {ains.at(4), ains.at(5)}, false, outDir,
           QStringLiteral("aineditors_settings_mixed_rtd_ntc"));

    // Two thermistors of one sensor whose resistances differ: that cell shows blank.
    setMode(ains.at(6), Ain::Ntc, 103);
    AbstractConfig c;
    ains.at(6)->exportConfig(c);
    c.ain.sensors[0].rref = 4700;
    ains.at(6)->importConfig(c);
    render(&editor, {ains.at(5), ains.at(6)}, true, outDir,
           QStringLiteral("aineditors_calibration_ntc_mixed"));

    // A user's sensor read from a file with values beyond the cells' ranges: each shown as held.
    setMode(ains.at(7), Ain::Rtd, 91);
    ains.at(7)->exportConfig(c);
    c.ain.sensors[0].rref = -1;
    c.ain.sensors[0].abFactor = -0.5;
    c.ain.scOffset = 20000.0f;
    ains.at(7)->importConfig(c);
    render(&editor, {ains.at(7)}, true, outDir,
           QStringLiteral("aineditors_calibration_out_of_range"));
}
