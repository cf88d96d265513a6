#include "model/resourcevisitor/resourcevisitor.h"

void ResourceVisitor::visit(const IoResource::Ptr_t& resource)
{
    // A null resource is the caller's bug; release builds skip it rather than crash.
    Q_ASSERT(resource);
    if (resource)
        resource->accept(*this);
}

ResourceVisitor::~ResourceVisitor() = default;

void ResourceVisitor::visit(Din*) {}
void ResourceVisitor::visit(Dout*) {}
void ResourceVisitor::visit(Ain*) {}
void ResourceVisitor::visit(Aout*) {}
void ResourceVisitor::visit(SerialPort*) {}
