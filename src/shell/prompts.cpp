#include "shell/prompts.h"

#include "shell/qtprompts.h"

namespace {

Prompts* installed = nullptr;

} // namespace

Prompts& Prompts::current()
{
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

void Prompts::install(Prompts* prompts)
{
    installed = prompts;
}
