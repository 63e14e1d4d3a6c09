// A panel database file, as a panel or a damaged disk might hand it over,
// through the reader's every query and the whole-image check.
#include "platform/base/files.h"
#include "qstrans/panel_file.h"
#include "qstrans/panel_image.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // In memory where the system has a memory file system, and never
    // destroyed: the clean-up at exit still needs the name.
    static const std::string& path = *new std::string([] {
        std::string pattern = (DirExists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/qs-panel-fuzz-XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0)
            ::close(fd);
        return pattern;
    }());
    static const bool cleanUp = std::atexit([] { FileDelete(path); }) == 0;
    (void)cleanUp;
    WriteWholeFile(path, {reinterpret_cast<const char*>(data), size});
    CPanelFile file(path);
    file.ReadPanelType();
    unsigned major = 0, minor = 0, revision = 0;
    file.ReadVersion(major, minor, revision);
    file.IsVersionAtLeast33();
    std::uint16_t comm1 = 0, comm2 = 0;
    file.ReadChannelProtocols(comm1, comm2);
    IsWholePanelImage({data, size});
    return 0;
}
