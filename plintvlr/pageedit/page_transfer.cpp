#include "plintvlr/pageedit/page_transfer.h"

#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "platform/base/little_endian.h"

#include <algorithm>

namespace {

// The record's page number before the elements.
constexpr std::size_t kKeySize = 2;
// The record's end byte and the zero byte after the record.
constexpr std::size_t kClosingBytes = 2;

// The panel type a panel block names; nothing when it is not one.
std::optional<int> PanelTypeOf(const std::optional<ClipboardData>& panelBlock)
{
    if (!panelBlock || panelBlock->size() != 2)
        return std::nullopt;
    return static_cast<int>(GetLe16(panelBlock->data()));
}

}  // namespace

int LargestPageRecord(const Quellstor& panel)
{
    // These panels give a page without a template the template's room too.
    if (panel.type == 6 || panel.type == 7)
        return panel.GetMaxPageSize() + panel.GetMaxTemplateSize();
    return panel.GetMaxPageSize();
}

bool SamePageLayout(const Quellstor& a, const Quellstor& b)
{
    return (a.largeMemory != 0) == (b.largeMemory != 0) && a.displayWidth == b.displayWidth &&
           a.displayHeight == b.displayHeight;
}

PageBlock CheckPageBlock(const Quellstor& panel, std::span<const std::uint8_t> block,
                         const std::optional<ClipboardData>& panelBlock, std::vector<std::uint8_t>& record)
{
    record.clear();
    if (const std::optional<int> type = PanelTypeOf(panelBlock); type && !SamePageLayout(Quellstor(*type), panel))
        return PageBlock::OtherPanel;
    const std::size_t size = block.size();
    if (size < kKeySize + kClosingBytes || size > static_cast<std::size_t>(LargestPageRecord(panel)) + 1)
        return PageBlock::NotAPage;
    if (block[size - 2] != 0 || block[size - 1] != 0)
        return PageBlock::NotAPage;
    // The walk reads every element as a paste would; it must stop on the
    // record's own end byte, not on a zero inside a damaged element.
    SizeRectArray elements;
    const std::uint8_t* const elementsStart = block.data() + kKeySize;
    const SizeRectManager::WalkResult walk =
        SizeRectManager::ReadElements(elements, nullptr, nullptr, nullptr, nullptr, elementsStart,
                                      size - kKeySize - 1, 0, false, false);
    if (walk.end != SizeRectManager::WalkEnd::EndByte || walk.position != block.data() + size - 2)
        return PageBlock::NotAPage;
    record.assign(block.begin(), block.end() - 1);
    return PageBlock::Good;
}

bool PutPageOnClipboard(HWND owner, const std::vector<std::uint8_t>& record, int panelType)
{
    if (!OpenClipboard(owner))
        return false;
    ClipboardData block(record.size() + 1, 0);
    std::copy(record.begin(), record.end(), block.begin());
    ClipboardData panel(2);
    PutLe16(panel.data(), static_cast<std::uint16_t>(panelType));
    EmptyClipboard();
    SetClipboardData(kPageClipboardFormat, std::move(block));
    SetClipboardData(kPagePanelClipboardFormat, std::move(panel));
    CloseClipboard();
    return true;
}

PageBlock TakePageFromClipboard(HWND owner, const Quellstor& panel, std::vector<std::uint8_t>& record)
{
    record.clear();
    if (!OpenClipboard(owner))
        return PageBlock::Busy;
    const std::optional<ClipboardData> block = GetClipboardData(kPageClipboardFormat);
    const std::optional<ClipboardData> panelBlock = GetClipboardData(kPagePanelClipboardFormat);
    CloseClipboard();
    if (!block)
        return PageBlock::Busy;
    return CheckPageBlock(panel, *block, panelBlock, record);
}

bool IsPageOnClipboard()
{
    return IsClipboardFormatAvailable(kPageClipboardFormat);
}
