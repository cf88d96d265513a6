#pragma once

#include <QtGlobal>

// A caller's broken precondition is logged with the condition's text, and the operation then
// answers null or does nothing. The check stays in every build type, so a wrong index never aborts
// a release build nor behaves differently under the sanitizers.
#define TAV_PRECONDITION(cond) ::tavPrecondition(static_cast<bool>(cond), #cond)

inline bool tavPrecondition(bool holds, const char* text)
{
    if (!holds)
        qWarning("ASSERT: \"%s\"", text);
    return holds;
}
