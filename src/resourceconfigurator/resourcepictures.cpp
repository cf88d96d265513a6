#include "resourceconfigurator/resourcepictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside a namespace.
static void initResourceTreeQrc()
{
    Q_INIT_RESOURCE(resourcetree);
}

void initResourcePictures()
{
    static const bool done = (initResourceTreeQrc(), true);
    Q_UNUSED(done)
}
