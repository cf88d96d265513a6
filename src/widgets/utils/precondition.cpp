#include "widgets/utils/precondition.h"

#include <QtGlobal>

bool tavPrecondition(bool ok, const char* text, const char* file, int line)
{
    if (!ok)
        qWarning("ASSERT: \"%s\" in file %s, line %d", text, file, line);
    return ok;
}
