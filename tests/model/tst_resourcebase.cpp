// Node ids, the resource base, pairing of analogue inputs, the JSON identity and the visitor hook.
#include "model/ain.h"
#include "model/aout.h"
#include "catalogue/settingsprovider.h"
#include "model/din.h"
#include "model/dout.h"
#include "model/ioresource.h"
#include "model/nodeid.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/serialport.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

namespace {

// A resource of any kind code with the kinds' own parts left empty, to drive the shared base.
class ProbeResource : public IoResource
{
public:
    ProbeResource(int kind, int* destroyed = nullptr)
        : IoResource(QUuid::createUuid()), m_kind(kind), m_destroyed(destroyed)
    {
    }
    ~ProbeResource() override
    {
        if (m_destroyed)
            ++*m_destroyed;
    }
    int kind() const override { return m_kind; }
    bool decode(const QByteArray&) override { return true; }
    void encode(QByteArray*) const override {}
    QString typeName() const override { return QStringLiteral("PROBE"); }
    void exportConfig(AbstractConfig& config) const override { config.kind = m_kind; }
    void importConfig(const AbstractConfig&) override {}
    void exportValue(AbstractValue& value) const override { value.kind = m_kind; }
    void importValue(const AbstractValue&) override {}
    void accept(ResourceVisitor&) override {}
    bool readJson(const QJsonObject& json) override
    {
        return readJsonFrame(json, [this](const QJsonObject& settings) {
            seenSettings = settings;
            return !settings.isEmpty();
        });
    }
    QJsonObject settingsJson() const override { return {{"save", 7}}; }

    QJsonObject seenSettings;

private:
    int m_kind;
    int* m_destroyed;
};

IoResource::Ptr_t probe(int kind, int* destroyed = nullptr)
{
    return IoResource::Ptr_t(new ProbeResource(kind, destroyed));
}

// Records which kind operation each visit reached and with which object.
class KindRecorder : public ResourceVisitor
{
public:
    using ResourceVisitor::visit;
    void visit(Din* r) override { seen << qMakePair(int(ResourceKind::Din), (void*)r); }
    void visit(Dout* r) override { seen << qMakePair(int(ResourceKind::Dout), (void*)r); }
    void visit(Ain* r) override { seen << qMakePair(int(ResourceKind::Ain), (void*)r); }
    void visit(Aout* r) override { seen << qMakePair(int(ResourceKind::Aout), (void*)r); }
    void visit(SerialPort* r) override
    {
        seen << qMakePair(int(ResourceKind::SerialPort), (void*)r);
    }

    QList<QPair<int, void*>> seen;
};

} // namespace

class ResourceBaseTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void imageIdsCountFromOneAndRestart()
    {
        NodeId::resetImageIds();
        const NodeId_t first = NodeId::nextImageId(0x1234, 0xABCD);
        const NodeId_t second = NodeId::nextImageId(7, 8);
        QCOMPARE(first.data1, 1u);
        QCOMPARE(first.data2, quint16(0x1234));
        QCOMPARE(first.data3, quint16(0xABCD));
        QCOMPARE(first.data4[0], uchar(1));
        for (int i = 1; i < 8; ++i)
            QCOMPARE(first.data4[i], uchar(0));
        QCOMPARE(second.data1, 2u);
        QVERIFY(first != second);
        QCOMPARE(QUuid(first.toString()), first);

        NodeId::resetImageIds();
        QCOMPARE(NodeId::nextImageId(7, 8), NodeId_t(1, 7, 8, 1, 0, 0, 0, 0, 0, 0, 0));
    }

    void roleMapAnswersZerosForUnassignedRoles()
    {
        const IoResource::Ptr_t r = probe(ResourceKind::Din);
        QCOMPARE(r->role(ValueRole::DinState), ProtoEntry());
        QVERIFY(r->role(ValueRole::DinState).isNull());

        r->setRole(ValueRole::DinState, {2, 0, 100, 1});
        r->setRole(ValueRole::DinState, {2, 0, 101, 1});
        r->setRole(ValueRole::DinCounter, {4, 0, 1000, 2});
        QCOMPARE(r->role(ValueRole::DinState), (ProtoEntry{2, 0, 101, 1}));
        QCOMPARE(r->roles().size(), 2);
        QVERIFY(r->role(ValueRole::CounterReset).isNull());

        // The live-value map and the block register entry are separate.
        QVERIFY(r->registers().isNull());
        r->setRegisters({3, 16, 4016, 2});
        QCOMPARE(r->registers(), (ProtoEntry{3, 16, 4016, 2}));
        QCOMPARE(r->role(ValueRole::DinState), (ProtoEntry{2, 0, 101, 1}));
        QVERIFY(Resource::noEntry().isNull());
    }

    void rolesWithoutWordGetNoRegisters()
    {
        for (int role : {-1, 0, 4, 14})
            QCOMPARE(Resource::roleWord(role), QString("cant parse role"));
    }

    // The words key the register map: a word that drifts from the catalogue silently leaves a live
    // value without registers.
    void everyPolledRoleHasACatalogueEntry()
    {
        for (const QString& df : {QString(), QString("vio4")}) {
            env.setVendorChoice(df);
            const SettingsProvider& p =
                SettingsProvider::instance(df.isEmpty() ? "drovanix" : "holmark");
            for (int kind = ResourceKind::Ain; kind <= ResourceKind::Dout; ++kind) {
                QList<int> roles;
                QVERIFY(SettingsProvider::rolesOfKind(kind, &roles));
                for (int role : roles) {
                    ProtoEntry entry;
                    QVERIFY2(p.iortEntry(Resource::roleWord(role), &entry),
                             qPrintable(Resource::roleWord(role)));
                    QVERIFY(!entry.isNull());
                }
            }
            ProtoEntry untouched{9, 9, 9, 9};
            QVERIFY(!p.iortEntry(Resource::roleWord(ValueRole::AinExtra), &untouched));
            QCOMPARE(untouched, (ProtoEntry{9, 9, 9, 9}));
        }
    }

    void pairingTakesInputsTwoByTwo()
    {
        const IoResource::Ptr_t a = probe(ResourceKind::Ain);
        const IoResource::Ptr_t dout = probe(ResourceKind::Dout);
        const IoResource::Ptr_t b = probe(ResourceKind::Ain);
        const IoResource::Ptr_t c = probe(ResourceKind::Ain);
        IoResource::pairAnalogInputs({a, dout, IoResource::Ptr_t(), b, c});

        QCOMPARE(a->partner(), b);
        QCOMPARE(b->partner(), a);
        QVERIFY(a->isPrimary() && !a->isSecondary());
        QVERIFY(!b->isPrimary() && b->isSecondary());
        QVERIFY(c->partner().isNull());
        QVERIFY(c->isPrimary() && !c->isSecondary());
        QVERIFY(dout->partner().isNull());

        // Pairing anew shifts the pairs; the input left over must not keep its old partner.
        const IoResource::Ptr_t d = probe(ResourceKind::Ain);
        IoResource::pairAnalogInputs({a, b, c, d});
        QCOMPARE(c->partner(), d);
        IoResource::pairAnalogInputs({b, c, d});
        QCOMPARE(b->partner(), c);
        QVERIFY(c->isSecondary());
        QVERIFY(d->partner().isNull());
        QVERIFY(d->isPrimary());
    }

    void couplingNeedsAPartnerAndCoversThePair()
    {
        const IoResource::Ptr_t a = probe(ResourceKind::Ain);
        const IoResource::Ptr_t b = probe(ResourceKind::Ain);
        a->setCoupled(true);
        QVERIFY(!a->isCoupled());

        IoResource::pairAnalogInputs({a, b});
        QVERIFY(!a->isCoupled());
        a->setCoupled(true);
        QVERIFY(a->isCoupled());
        QVERIFY(b->isCoupled());
        b->setCoupled(false);
        QVERIFY(!a->isCoupled());
        QVERIFY(!b->isCoupled());
    }

    void aPairDoesNotKeepItselfAlive()
    {
        int destroyed = 0;
        IoResource::Ptr_t a = probe(ResourceKind::Ain, &destroyed);
        IoResource::Ptr_t b = probe(ResourceKind::Ain, &destroyed);
        IoResource::pairAnalogInputs({a, b});
        a->setCoupled(true);

        a.reset();
        QCOMPARE(destroyed, 1);
        QVERIFY(b->partner().isNull());
        QVERIFY(b->isPrimary());
        QVERIFY(!b->isSecondary());
        QVERIFY(!b->isCoupled());
        b->setCoupled(true);
        b.reset();
        QCOMPARE(destroyed, 2);
    }

    void createMakesTheFiveKinds()
    {
        for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind) {
            const NodeId_t id = QUuid::createUuid();
            const IoResource::Ptr_t r = IoResource::create(kind, id);
            QVERIFY(r);
            QCOMPARE(r->kind(), kind);
            QCOMPARE(r->id(), id);
            QVERIFY(r->owner().isNull());
            QCOMPARE(r->index(), -1);
            QVERIFY(r->isPrimary());
            QVERIFY(!r->isCoupled());
            QVERIFY(r->textId().isEmpty());
            QVERIFY(r->registers().isNull());
            QVERIFY(r->roles().isEmpty());
        }
        for (int kind : {-1, 5, 6, 7, 11, 12})
            QVERIFY(IoResource::create(kind, QUuid::createUuid()).isNull());
    }

    void visitorReachesTheOperationOfEachKind()
    {
        KindRecorder recorder;
        QList<IoResource::Ptr_t> resources;
        for (int kind : {4, 3, 2, 1, 0}) {
            resources << IoResource::create(kind, QUuid::createUuid());
            recorder.visit(resources.last());
        }
        QCOMPARE(recorder.seen.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(recorder.seen[i].first, resources[i]->kind());
            QCOMPARE(recorder.seen[i].second, static_cast<void*>(resources[i].data()));
        }
    }

    void jsonIdentity()
    {
        const IoResource::Ptr_t r = probe(ResourceKind::Dout);
        r->setTextId("DOUT3");
        QJsonObject json;
        QVERIFY(r->writeJson(json));
        QCOMPARE(json.value("settings").toObject(), (QJsonObject{{"save", 7}}));
        QCOMPARE(json.value("info").toObject(), (QJsonObject{{"type", 3}, {"id", "DOUT3"}}));

        IoResource::setJsonOwner(json, "1.MX-210");
        const QJsonObject info = json.value("info").toObject();
        QCOMPARE(info, (QJsonObject{{"type", 3}, {"id", "DOUT3"}, {"owner", "1.MX-210"}}));
    }

    // The resource's element as written alone and as a file stores it, with its owner's key, into a
    // fresh object or one that already holds members.
    void jsonElement_data()
    {
        QTest::addColumn<QJsonValue>("owner");  // undefined: written without one
        QTest::addColumn<QJsonObject>("before");
        QTest::addColumn<QJsonObject>("expected");
        const QJsonValue none(QJsonValue::Undefined);
        const QJsonObject settings{{"save", 7}};
        const QJsonObject info{{"type", 3}, {"id", "DOUT3"}};
        const QJsonObject owned{{"type", 3}, {"id", "DOUT3"}, {"owner", "1.MX-210"}};
        const QJsonObject earlier{{"settings", QJsonObject{{"save", 1}, {"old", true}}},
                                  {"info", QJsonObject{{"owner", "2.MX-210"}, {"id", "DOUT9"}}},
                                  {"note", "kept"}};

        QTest::newRow("alone") << none << QJsonObject()
                               << QJsonObject{{"settings", settings}, {"info", info}};
        QTest::newRow("with its owner") << QJsonValue("1.MX-210") << QJsonObject()
                                        << QJsonObject{{"settings", settings}, {"info", owned}};
        QTest::newRow("beside other members")
            << none << QJsonObject{{"note", "kept"}}
            << QJsonObject{{"settings", settings}, {"info", info}, {"note", "kept"}};
        QTest::newRow("over an earlier element, alone")
            << none << earlier << QJsonObject{{"settings", settings}, {"info", info}, {"note", "kept"}};
        QTest::newRow("over an earlier element, with its owner")
            << QJsonValue("1.MX-210") << earlier
            << QJsonObject{{"settings", settings}, {"info", owned}, {"note", "kept"}};
    }

    void jsonElement()
    {
        QFETCH(QJsonValue, owner);
        QFETCH(QJsonObject, before);
        QFETCH(QJsonObject, expected);
        const IoResource::Ptr_t r = probe(ResourceKind::Dout);
        r->setTextId("DOUT3");
        QJsonObject json = before;
        QVERIFY(owner.isUndefined()
                    ? r->writeJson(json)
                    : r->writeJson(json, IoResource::ownerInfo(owner.toString(), r->kind())));
        QCOMPARE(json, expected);
    }

    void readJsonSetsTheFlagOnlyOnSuccess()
    {
        const IoResource::Ptr_t r = probe(ResourceKind::Dout);
        auto* p = static_cast<ProbeResource*>(r.data());
        QVERIFY(!r->flag());
        QVERIFY(r->readJson({{"settings", QJsonObject{{"save", 1}}}, {"info", QJsonObject()}}));
        QCOMPARE(p->seenSettings, (QJsonObject{{"save", 1}}));
        QVERIFY(r->flag());

        // A failed read must not leave the success of the previous one standing.
        QVERIFY(!r->readJson({{"info", QJsonObject()}}));
        QVERIFY(!r->flag());
        QVERIFY(!r->readJson({{"settings", 5}}));
        QVERIFY(!r->flag());
    }

    void visitorSkipsANullResourceInReleaseBuilds()
    {
#ifdef QT_NO_DEBUG
        ResourceVisitor visitor;
        visitor.visit(IoResource::Ptr_t());
#else
        QSKIP("the assertion stops debug builds on a null resource");
#endif
    }
};

QTEST_GUILESS_MAIN(ResourceBaseTest)
#include "tst_resourcebase.moc"
