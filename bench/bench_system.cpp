// Median times of the system's two stored forms, for a full system at the 22-board limit and for a
// mode-0 system of 245 devices: the JSON text written from the model and read back into a fresh one,
// beside a bare QJsonDocument round trip of the same text (the part no model work can save); and the
// flat image composed and parsed, with its cost per resource, which stays flat when the work is
// linear in the system's size.
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"
#include "model/flatconfiguration.h"
#include "model/systemmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<bool()>& work, bool* ok)
{
    std::vector<qint64> ns;
    *ok = true;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        *ok = work() && *ok;
        ns.push_back(timer.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

// The module whose configuration records take the fewest bytes, so that a 245-device image stays
// within its 16-bit length fields.
DeviceType_t smallestModule(const SettingsProvider& p)
{
    static const int recordSize[] = {38, 10, 4, 4};
    const auto bytes = [&p](DeviceType_t t) {
        int sum = 0;
        for (const IoChannel& c : p.templates.value(t).channels)
            sum += recordSize[c.kind & 3];
        return sum;
    };
    DeviceType_t best = p.pexTypes.first();
    for (DeviceType_t t : p.pexTypes) {
        if (bytes(t) < bytes(best))
            best = t;
    }
    return best;
}

void build(SystemModel& model, SystemInfo_t& info, DeviceType_t controller, DeviceType_t module,
           int modules)
{
    DeviceHandle h;
    h.type = controller;
    h.revision = 0;
    h.id = SystemModel::newNodeId();
    h.number = 0;
    const NodeId_t owner = model.addDevice(h)->id();
    info.cpuId = controller;
    info.hw = 0;
    info.kernelSn = 1;
    for (int i = 1; i <= modules; ++i) {
        h.type = module;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = i;
        model.addDevice(h);
        BusEntry e;
        e.type = module;
        e.revision = 0;
        info.bus.append(e);
    }
}

void measure(QTextStream& out, const QString& name, DeviceType_t controller, DeviceType_t module,
             int modules, int runs)
{
    SystemModel model;
    SystemInfo_t info;
    build(model, info, controller, module, modules);

    // The model's round trip and the bare one take turns, so that a load coming or going on the
    // machine weighs on both alike.
    bool ok = true;
    bool bareOk = true;
    QByteArray text;
    std::vector<qint64> modelNs;
    std::vector<qint64> bareNs;
    for (int i = 0; i < runs; ++i) {
        modelNs.push_back(Bench::timed([&model, &text, &ok] {
            QJsonObject data;
            ok = model.writeJson(data) && ok;
            text = QJsonDocument(data).toJson(QJsonDocument::Compact);
            SystemModel copy;
            ok = copy.readJson(QJsonDocument::fromJson(text).object()) && ok;
        }));
        bareNs.push_back(Bench::timed([&text, &bareOk] {
            bareOk = !QJsonDocument(QJsonDocument::fromJson(text).object())
                          .toJson(QJsonDocument::Compact)
                          .isEmpty()
                && bareOk;
        }));
    }
    const double json = Bench::medianMs(modelNs);
    const double bare = Bench::medianMs(bareNs);
    const double resources = model.resources().size();
    out << name << ": " << model.devices().size() << " devices, " << model.resources().size()
        << " resources\n  JSON write + read:      " << QString::number(json, 'f', 3) << " ms"
        << (ok && bareOk ? "" : " (FAILED)") << ", bare QJsonDocument round trip of the same "
        << text.size() << " bytes " << QString::number(bare, 'f', 3) << " ms, ratio "
        << QString::number(bare > 0 ? json / bare : 0, 'f', 2) << "\n";

    QByteArray image;
    const double flat = medianMs(runs, [&model, &info, &image] {
        if (!FlatConfiguration(&model).compose(image)) {
            image.clear();
            return false;
        }
        const int body = quint8(image[2]) | quint8(image[3]) << 8;
        SystemModel copy;
        return FlatConfiguration(&copy).parse(info, image.left(4 + body), image.mid(4 + body + 6));
    }, &ok);
    out << "  image compose + parse: " << QString::number(flat, 'f', 3) << " ms, "
        << QString::number(flat * 1000 / resources, 'f', 3) << " us per resource"
        << (ok ? QStringLiteral(" (%1 bytes)").arg(image.size())
               : image.isEmpty() ? QStringLiteral(" (compose refused: the image does not fit)")
                                 : QStringLiteral(" (parse FAILED)"))
        << "\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Bench::Environment environment;
    const int runs = int(Bench::argument(argc, argv, 1, 50, 1));
    QTextStream out(stdout);

    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& p = SettingsProvider::instance();
    // 22 boards: a two-board controller and ten two-board modules.
    const DeviceType_t twoBoardModule = Bench::twoBoardModule(p);
    measure(out, QStringLiteral("22-board system"), 0x0B0A140Au, twoBoardModule, 10, runs);

    QCoreApplication::setApplicationName(QStringLiteral("bench"));
    const SettingsProvider& mode0 = SettingsProvider::instance(QStringLiteral("reload"));
    measure(out, QStringLiteral("mode-0 system"), 0x0B0A140Au, smallestModule(mode0), 244, qMax(1, runs / 5));
    return 0;
}
