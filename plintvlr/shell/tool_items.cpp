#include "plintvlr/shell/tool_items.h"

#include "plintvlr/shell/command_registry.h"
#include "platform/base/embedded_file.h"
#include "platform/ui/button_gadget.h"
#include "platform/ui/resources.h"

#include <algorithm>
#include <charconv>
#include <string_view>

std::span<const EmbeddedFile> ToolBarPictureFiles();

namespace {

constexpr int kSeparatorSize = 6;

bool IsSeparator(const TToolItem& item)
{
    return item.command == 0;
}

}  // namespace

std::vector<std::size_t> ProvidedToolItems(std::span<const TToolItem> items)
{
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (IsSeparator(items[i])) {
            if (!kept.empty() && !IsSeparator(items[kept.back()]))
                kept.push_back(i);
        } else if (IsCommandProvided(items[i].command)) {
            kept.push_back(i);
        }
    }
    if (!kept.empty() && IsSeparator(items[kept.back()]))
        kept.pop_back();
    return kept;
}

bool AnyToolProvided(std::span<const TToolItem> items)
{
    return std::any_of(items.begin(), items.end(),
                       [](const TToolItem& item) { return !IsSeparator(item) && IsCommandProvided(item.command); });
}

TGadget* MakeToolGadget(const TToolItem& item)
{
    if (IsSeparator(item))
        return new TSeparatorGadget(kSeparatorSize);
    return new TButtonGadget(TResId(item.bitmap), static_cast<int>(item.command));
}

void RegisterToolBarPictures()
{
    // Each picture is named after its bitmap id: "tool<id>.xpm".
    for (const EmbeddedFile& file : ToolBarPictureFiles()) {
        std::string_view name = file.name;
        constexpr std::string_view prefix = "tool";
        if (!name.starts_with(prefix))
            continue;
        name.remove_prefix(prefix.size());
        int id = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (error == std::errc() && end != name.data())
            RegisterBitmapResource(TResId(id), file.data, file.size);
    }
}
