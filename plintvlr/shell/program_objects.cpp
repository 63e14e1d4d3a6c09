#include "plintvlr/shell/program_objects.h"

#include "plintvlr/shell/error_call.h"

errorcall& GetErrorHolder()
{
    static errorcall holder;
    return holder;
}
