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
    static const std::string path = [] {
        char pattern[] = "/tmp/qs-panel-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd >= 0)
            ::close(fd);
        std::atexit([] { FileDelete(path); });
        return std::string(pattern);
    }();
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
