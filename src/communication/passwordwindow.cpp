#include "communication/passwordwindow.h"

#include "communication/identifiedclearrequest.h"

#include <atomic>

PasswordWindow::PasswordWindow(LiveSystem::Ptr_t controller)
    : system(std::move(controller))
    , failed(std::make_shared<std::atomic<bool>>(false))
{
}

void PasswordWindow::markFailed()
{
    failed->store(true);
}

void PasswordWindow::enlist(Request& frame) const
{
    frame.setFailureMark(failed);
}

Request::Ptr_t PasswordWindow::closingClear(const ProtoEntry& command, const ProtoEntry& password,
                                            Request::Callback_t callback) const
{
    const ControllerIdentity owner = system ? ControllerIdentity(system->info().kernelSn,
                                                                 system->info().cpuId)
                                            : ControllerIdentity();
    const QSharedPointer<IdentifiedClearRequest> clear = IdentifiedClearRequest::create(
        command, password, system ? system->cpu() : KorCpu::Ptr_t(), owner, std::move(callback));
    clear->identifyOnlyAfter(failed);
    return clear;
}

bool PasswordWindow::answeredByAnother(const Request& clear)
{
    const auto* identified = dynamic_cast<const IdentifiedClearRequest*>(&clear);
    return identified && identified->answeredByAnother();
}
