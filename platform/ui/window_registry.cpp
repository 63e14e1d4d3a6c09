#include "platform/ui/window_registry.h"

#include <algorithm>
#include <unordered_set>

namespace {

std::unordered_set<HWND>& Set()
{
    static std::unordered_set<HWND> set;
    return set;
}

std::vector<HWND>& Ordered()
{
    static std::vector<HWND> ordered;
    return ordered;
}

}  // namespace

void RegisterHandle(HWND hwnd)
{
    Set().insert(hwnd);
    Ordered().push_back(hwnd);
}

void UnregisterHandle(HWND hwnd)
{
    Set().erase(hwnd);
    std::erase(Ordered(), hwnd);
}

bool IsRegisteredHandle(HWND hwnd)
{
    return hwnd && Set().count(hwnd) != 0;
}

std::vector<HWND> LiveHandles()
{
    return Ordered();
}
