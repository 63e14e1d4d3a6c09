#include "platform/base/paths.h"

#include "platform/base/files.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool HasDrive(std::string_view name)
{
    return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

std::string EnvFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value ? std::string(value) : std::string();
}

std::string WithoutTrailingSeparators(std::string folder)
{
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

std::string HomeFolder()
{
    std::string home = EnvFolder("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

}  // namespace

std::string ProgramFolder()
{
    std::string folder = EnvFolder("PLV_PROGRAM_DIR");
    if (folder.empty()) {
        std::string exe(4096, '\0');
        ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
        if (n <= 0)
            return ".";
        exe.resize(static_cast<std::size_t>(n));
        std::size_t slash = exe.rfind('/');
        folder = slash == 0 ? std::string("/") : exe.substr(0, slash);
    }
    return WithoutTrailingSeparators(ToPosixPath(folder));
}

std::string ProfileFolder()
{
    std::string folder = EnvFolder("PLV_PROFILE_DIR");
    if (folder.empty()) {
        std::string config = EnvFolder("XDG_CONFIG_HOME");
        if (config.empty() || config[0] != '/')
            config = HomeFolder() + "/.config";
        folder = config + "/plintvlr";
    }
    folder = WithoutTrailingSeparators(ToPosixPath(folder));
    if (!DirExists(folder))
        MakeDir(folder);
    return folder;
}

std::string ToPosixPath(std::string_view name)
{
    std::string path;
    if (HasDrive(name)) {
        name.remove_prefix(2);
        if (name.empty() || IsSeparator(name[0]))
            path = "/";
        while (!name.empty() && IsSeparator(name[0]))
            name.remove_prefix(1);
    }
    path.append(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool IsAbsolutePath(std::string_view name)
{
    return (!name.empty() && IsSeparator(name[0])) || HasDrive(name);
}

bool IsBareName(std::string_view name)
{
    return !name.empty() && !HasDrive(name) && name.find_first_of("/\\") == std::string_view::npos;
}

std::string ShortenDriveRoot(std::string_view folder)
{
    std::string path(folder);
    while (!path.empty() && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view tail)
{
    if (folder.empty())
        return ToPosixPath(tail);
    std::string joined = ToPosixPath(folder);
    while (!joined.empty() && joined.back() == '/')
        joined.pop_back();
    if (tail.empty())
        return joined.empty() ? std::string("/") : joined;
    while (!tail.empty() && IsSeparator(tail[0]))
        tail.remove_prefix(1);
    return joined + '/' + ToPosixPath(tail);
}

std::string ProgramPath(std::string_view tail)
{
    return JoinPath(ProgramFolder(), tail);
}
