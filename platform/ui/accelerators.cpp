#include "platform/ui/accelerators.h"

#include "platform/ui/window_api.h"

#include <map>
#include <string>

namespace {

std::map<std::string, std::vector<TAccelerator>>& Tables()
{
    static std::map<std::string, std::vector<TAccelerator>> tables;
    return tables;
}

}  // namespace

void RegisterAcceleratorTable(TResId id, std::vector<TAccelerator> table)
{
    Tables()[id.Key()] = std::move(table);
}

const std::vector<TAccelerator>* FindAcceleratorTable(TResId id)
{
    auto it = Tables().find(id.Key());
    return it == Tables().end() ? nullptr : &it->second;
}

UINT TranslateAccelerator(const std::vector<TAccelerator>& table, UINT key)
{
    UINT held = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        held |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0)
        held |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0)
        held |= FALT;
    for (const TAccelerator& a : table) {
        if (a.key == key && a.modifiers == held)
            return a.command;
    }
    return 0;
}
