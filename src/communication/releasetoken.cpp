#include "communication/releasetoken.h"

ReleaseToken::ReleaseToken(QObject* owner, std::function<void()> released)
    : owner(owner)
    , released(std::move(released))
{
}

ReleaseToken::Ptr_t ReleaseToken::make(QObject* owner, std::function<void()> released)
{
    return Ptr_t(new ReleaseToken(owner, std::move(released)));
}

ReleaseToken::~ReleaseToken()
{
    if (owner && released)
        QMetaObject::invokeMethod(owner.data(), std::move(released), Qt::QueuedConnection);
}
