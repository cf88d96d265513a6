#include "communication/request.h"

#include "communication/passwordwindow.h"

#include "model/resource.h"

Request::Request(Callback_t callback, int priority)
    : m_callback(std::move(callback))
    , m_priority(priority)
{
}

Request::~Request() = default;

void Request::notify() {}

bool Request::foundAnotherController() const
{
    return (m_session && m_session->haltsChannel()) || m_foundInstead != ControllerIdentity();
}

int Request::run(IoDevice& device)
{
    if (!m_session)
        return doRequest(device);
    return m_session->run(*this, m_sessionRole, device);
}

void Request::prepare() {}

void Request::complete()
{
    if (m_callback)
        m_callback(*this);
}

void Request::registerMetaType()
{
    // Requests cross from the worker thread to the GUI thread through queued signals, which look
    // the type up by this exact name.
    static const int id = qRegisterMetaType<Request::Ptr_t>("Request::Ptr_t");
    Q_UNUSED(id)
}

namespace {

// Registered before main(), so a connection made before the first request exists works too.
[[maybe_unused]] const bool metaTypeRegistered = (Request::registerMetaType(), true);

} // namespace
