#include "platform/ui/window_class.h"

#include <strings.h>

#include <map>

namespace {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

std::map<std::string, TWindowFactory, NoCase>& Classes()
{
    static std::map<std::string, TWindowFactory, NoCase> table;
    return table;
}

}  // namespace

void RegisterWindowClass(const char* className, TWindowFactory factory)
{
    if (className)
        Classes()[className] = factory;
}

TWindowFactory FindWindowClass(const std::string& className)
{
    auto it = Classes().find(className);
    return it == Classes().end() ? nullptr : it->second;
}
