#include "plintvlr/db/project_services.h"

ProjectHooks& GetProjectHooks()
{
    // Never destroyed: the global settings object closes its project while
    // the program's statics go away, and may still look here then.
    static ProjectHooks* hooks = new ProjectHooks;
    return *hooks;
}
