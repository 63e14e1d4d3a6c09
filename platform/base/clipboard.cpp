#include "platform/base/clipboard.h"

#include <map>

namespace {

class LocalClipboard : public ClipboardBackend {
public:
    void Empty() override { formats_.clear(); }
    void SetData(UINT format, ClipboardData data) override { formats_[format] = std::move(data); }
    std::optional<ClipboardData> GetData(UINT format) const override
    {
        auto it = formats_.find(format);
        if (it == formats_.end())
            return std::nullopt;
        return it->second;
    }
    bool HasFormat(UINT format) const override { return formats_.count(format) != 0; }

private:
    std::map<UINT, ClipboardData> formats_;
};

struct ClipboardState {
    LocalClipboard local;
    ClipboardBackend* installed = nullptr;
    bool open = false;
    bool changed = false;

    ClipboardBackend& Backend() { return installed ? *installed : local; }
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

}  // namespace

ClipboardBackend* SetClipboardBackend(ClipboardBackend* backend)
{
    ClipboardBackend* previous = State().installed;
    State().installed = backend;
    return previous;
}

BOOL OpenClipboard(HWND owner)
{
    ClipboardState& s = State();
    if (s.open)
        return false;
    s.open = true;
    s.changed = false;
    (void)owner;  // the desktop backend, not this layer, tells owners apart
    return true;
}

BOOL EmptyClipboard()
{
    ClipboardState& s = State();
    if (!s.open)
        return false;
    s.Backend().Empty();
    s.changed = true;
    return true;
}

BOOL SetClipboardData(UINT format, ClipboardData data)
{
    ClipboardState& s = State();
    if (!s.open)
        return false;
    s.Backend().SetData(format, std::move(data));
    s.changed = true;
    return true;
}

std::optional<ClipboardData> GetClipboardData(UINT format)
{
    ClipboardState& s = State();
    if (!s.open)
        return std::nullopt;
    return s.Backend().GetData(format);
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    return State().Backend().HasFormat(format);
}

BOOL CloseClipboard()
{
    ClipboardState& s = State();
    if (!s.open)
        return false;
    if (s.changed)
        s.Backend().Commit();
    s.open = false;
    s.changed = false;
    return true;
}
