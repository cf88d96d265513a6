#pragma once

#include "editorfixture.h"
#include "model/ain.h"
#include "resourcefixture.h"

// A module with eight analogue inputs (paired 1-2, 3-4, ...) for the analogue-input editor tests.
namespace AinFixture {

struct Inputs
{
    SystemModel system;
    QList<IoResource::Ptr_t> ains;

    Inputs()
    {
        const Device::Ptr_t module = ResourceFixture::add(system, ResourceFixture::kPex5000, 1);
        ains = ResourceFixture::ofKind(system, module, ResourceKind::Ain);
    }
};

// Changes the stored record as an undo command would.
inline void change(const IoResource::Ptr_t& input, const std::function<void(AinConfig&)>& edit)
{
    AbstractConfig c = EditorFixture::exported(input);
    edit(c.ain);
    input->importConfig(c);
}

inline void importAll(const QMap<IoResource::Ptr_t, AbstractConfig>& map)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        it.key()->importConfig(*it);
}

} // namespace AinFixture
