#include "shell/Shutdown.h"

#include "shell/Branding.h"
#include "shell/Skin.h"

namespace Shutdown {

std::function<void()> &endHook()
{
    static std::function<void()> hook;   // the program's entry point sets it
    return hook;
}

void endProgram()
{
    if (branding().skinningOn)
        Skin::stopCompanion();
    if (endHook())
        endHook()();
}

}   // namespace Shutdown
