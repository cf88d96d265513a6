#pragma once

#include "model/device.h"
#include "model/systeminfo.h"

#include <QByteArray>
#include <QMap>

// Turns the edited system into the image a controller stores, and an image read back into the
// system.
class SystemCompositor
{
public:
    virtual ~SystemCompositor() = default;

    virtual bool compose(QByteArray& image, QMap<NodeId_t, QByteArray>* blocks = nullptr) = 0;
    virtual bool deviceBlock(const Device::Ptr_t& device, QByteArray& block) = 0;
    virtual bool parse(const SystemInfo_t& info, const QByteArray& image,
                       const QByteArray& table) = 0;
};
