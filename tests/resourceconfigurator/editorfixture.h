#pragma once

#include "catalogue/settingsprovider.h"
#include "model/ioresource.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editor.h"
#include "support/modelfixture.h"
#include "widgets/wheelguard.h"

#include <QSignalSpy>

// Helpers the per-kind editor tests share: setting a resource's record as a read or an edit
// would, and reading back what an editor emitted.
namespace EditorFixture {

// The configuration-change signal, named apart from the value-control one of the same name.
using ChangeSignal = void (Editor::*)(const QMap<IoResource::Ptr_t, AbstractConfig>&);
const ChangeSignal resourceChange = &Editor::change;

template <typename Setter>
void setConfig(const IoResource::Ptr_t& r, Setter setter)
{
    AbstractConfig c;
    r->exportConfig(c);
    setter(c);
    r->importConfig(c);
}

template <typename Setter>
void setValue(const IoResource::Ptr_t& r, Setter setter)
{
    AbstractValue v;
    v.kind = ResourceKind::Block;
    r->exportValue(v);
    setter(v);
    r->importValue(v);
}

// Signal spies look the maps up by the names the signals spell.
inline void registerMaps()
{
    qRegisterMetaType<Editor::ResourceConfigs_t>("QMap<IoResource::Ptr_t,AbstractConfig>");
    qRegisterMetaType<Editor::ResourceValues_t>("QMap<IoResource::Ptr_t,AbstractValue>");
}

// What every editor test needs first: the program's catalogue mode, the signal types and the
// wheel as the program turns it.
inline void initEditorTest()
{
    WheelGuard::install();
    ModelFixture::loadCatalogueAs(QStringLiteral("Tav Configurator"));
    SystemModel::registerMetaTypes();
    registerMaps();
}

inline Editor::ResourceConfigs_t configsAt(const QSignalSpy& spy, int i)
{
    return spy.at(i).at(0).value<Editor::ResourceConfigs_t>();
}

inline Editor::ResourceValues_t valuesAt(const QSignalSpy& spy, int i)
{
    return spy.at(i).at(0).value<Editor::ResourceValues_t>();
}

inline AbstractConfig exported(const IoResource::Ptr_t& r)
{
    AbstractConfig c;
    r->exportConfig(c);
    return c;
}

} // namespace EditorFixture
