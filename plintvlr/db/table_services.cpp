#include "plintvlr/db/table_services.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/project_services.h"

void RegisterTableRecordServices()
{
    ProjectHooks& hooks = GetProjectHooks();
    hooks.reloadProjectLists = [](adatabase& db) {
        GetCbList().Load(db);
        GetOvList().Load(db);
    };
}
