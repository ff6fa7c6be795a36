#include "shell/Shutdown.h"

#include "shell/Branding.h"
#include "shell/Skin.h"

namespace Shutdown {

bool &EndPending()
{
    static bool pending = false;
    return pending;
}

std::function<void()> &EndHook()
{
    static std::function<void()> hook;   // the program's entry point sets it
    return hook;
}

void EndProgram()
{
    if (branding().skinningOn)
        Skin::StopCompanion();
    if (EndHook())
        EndHook()();
}

}   // namespace Shutdown
