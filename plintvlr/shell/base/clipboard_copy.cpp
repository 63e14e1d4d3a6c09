#include "plintvlr/shell/base/clipboard_copy.h"

#include "platform/base/clipboard.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <cstring>
#include <new>
#include <utility>

void CopyToClipboard(const void* data, std::size_t count, UINT format, bool emptyFirst)
{
    ClipboardData block;
    // A count so large that the two end bytes would wrap around is memory
    // that cannot be had, not a small block.
    bool allocated = count <= block.max_size() - 2;
    if (allocated) {
        try {
            block.assign(count + 2, 0);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        TApp::MessageBox(nullptr, nullptr, Str(kStrMemoryAllocationProblem), Str(kStrMemoryErr), MB_OK);
        return;
    }
    if (data && count)
        std::memcpy(block.data(), data, count);

    if (!OpenClipboard(GetMainWindowHandle()))
        return;
    if (emptyFirst)
        EmptyClipboard();
    SetClipboardData(format, std::move(block));
    CloseClipboard();
}
