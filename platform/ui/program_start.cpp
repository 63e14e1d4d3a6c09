#include "platform/ui/program_start.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/ui/single_instance.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The words of a command line; double quotes keep blanks in a word.
std::vector<std::string> SplitCommandLine(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// The file for a name in a folder, the ".EXE" dropped when only the name without it is there.
std::string FindIn(const std::string& folder, const std::string& name)
{
    const std::string path = folder.empty() ? name : JoinPath(folder, name);
    if (FileExists(path))
        return ResolvePath(path);
    if (WildcardMatch("*.exe", name)) {
        const std::string bare = path.substr(0, path.size() - 4);
        if (FileExists(bare))
            return ResolvePath(bare);
    }
    return {};
}

}  // namespace

UINT WinExec(const char* commandLine, UINT showCommand)
{
    return WinExec(commandLine, showCommand, nullptr);
}

UINT WinExec(const char* commandLine, UINT /*showCommand*/, long long* processId)
{
    if (processId)
        *processId = 0;
    const std::vector<std::string> words = SplitCommandLine(commandLine ? commandLine : "");
    if (words.empty())
        return 2;
    const std::string& name = words.front();
    std::string program;
    if (name.find_first_of("/\\") != std::string::npos) {
        const std::string posix = ToPosixPath(name);
        const std::string folder = posix.substr(0, posix.find_last_of('/') + 1);
        if (!folder.empty() && !DirExists(folder))
            return 3;
        program = FindIn("", name);
    } else {
        std::vector<std::string> folders = {QDir::currentPath().toStdString(), ProgramFolder()};
        if (const char* path = std::getenv("PATH")) {
            std::string entry;
            for (const char* p = path;; ++p) {
                if (*p == ':' || *p == '\0') {
                    if (!entry.empty())
                        folders.push_back(entry);
                    entry.clear();
                    if (*p == '\0')
                        break;
                } else {
                    entry += *p;
                }
            }
        }
        for (const std::string& folder : folders) {
            program = FindIn(folder, name);
            if (!program.empty())
                break;
        }
    }
    if (program.empty())
        return 2;
    if (DirExists(program) || ::access(program.c_str(), X_OK) != 0)
        return 11;
    if (IsProgramRunning(ProgramInstanceName(program)))
        return 16;
    QStringList arguments;
    for (std::size_t i = 1; i < words.size(); ++i)
        arguments << QString::fromStdString(words[i]);
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(program), arguments, QDir::currentPath(), &pid))
        return 0;
    if (processId)
        *processId = pid;
    return kWinExecStarted;
}
