#pragma once

#include "model/ioresource.h"

class Ain;
class Aout;
class Din;
class Dout;
class SerialPort;

// Walks the five I/O resource kinds without casting; a subclass overrides the kinds it cares about
// (and adds `using ResourceVisitor::visit;` so the shared-pointer entry stays visible).
class ResourceVisitor
{
public:
    virtual ~ResourceVisitor();

    virtual void visit(Din* resource);
    virtual void visit(Dout* resource);
    virtual void visit(Ain* resource);
    virtual void visit(Aout* resource);
    virtual void visit(SerialPort* resource);

    void visit(const IoResource::Ptr_t& resource);
};
