#include "communication/gatedcontrolrequest.h"

#include "model/errorcodes.h"

#include <QDebug>

using namespace App::ErrorCode;

GatedControlRequest::GatedControlRequest(Gate_t gate, Callback_t callback, int priority)
    : ControlRequest(std::move(callback), priority)
    , gate(std::move(gate))
{
}

GatedControlRequest::Gate_t GatedControlRequest::makeGate()
{
    return std::make_shared<std::atomic<bool>>(false);
}

MultiWriteRequest::Progress_t GatedControlRequest::opener(const Gate_t& gate)
{
    return [gate](int written, int total) {
        if (written == total)
            gate->store(true);
    };
}

int GatedControlRequest::doRequest(IoDevice& device)
{
    if (!gate || !gate->load()) {
        error().set(RequestFailed, RequestControlWriteFailed, WithheldDetail);
        qDebug() << "ControlRequest CMD withheld: the write before it did not complete";
        return 1;
    }
    return ControlRequest::doRequest(device);
}
