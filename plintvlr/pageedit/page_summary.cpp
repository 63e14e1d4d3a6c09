#include "plintvlr/pageedit/page_summary.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/quellstor.h"

#include <vector>

tpsummary::tpsummary(adatabase& db)
{
    const Quellstor panel(db.GetPanelType());
    maxPage_ = panel.GetMaxPages() < kMaxPageNumber ? panel.GetMaxPages() : kMaxPageNumber;
    const std::uint16_t capacity = static_cast<std::uint16_t>(panel.GetMaxPageSize() + 501);
    std::vector<std::uint8_t> buffer(capacity);
    std::uint32_t key = 0;
    std::uint32_t position = 0;
    bool first = true;
    while (count_ < maxPage_) {
        std::uint16_t length = capacity;
        int code = db.NextPage(first, buffer.data(), length, key, position);
        first = false;
        if (code == DF_OK) {
            if (key <= kMaxPageNumber) {
                sizes_[key] = length;
                total_ += length + 12u;
                ++count_;
            }
        } else if (code == DF_BAD_CHECK) {
            // A damaged page stays known as stored, so that nothing takes its
            // number as free and saves over it unasked; it adds nothing to the
            // total, which counts the pages that could be read.
            if (key <= kMaxPageNumber) {
                sizes_[key] = length != 0 ? length : 1;
                damaged_[key] = true;
                ++count_;
            }
        } else {
            break;
        }
        if (position == 0)
            break;
    }
}

bool tpsummary::IsValidPage(int n) const
{
    return n >= 0 && n <= maxPage_;
}

bool tpsummary::IsStored(int n) const
{
    return IsValidPage(n) && sizes_[n] != 0;
}

std::uint16_t tpsummary::GetSize(int n) const
{
    return IsValidPage(n) ? sizes_[n] : 0;
}

bool tpsummary::IsDamaged(int n) const
{
    return IsValidPage(n) && damaged_[n];
}

void tpsummary::SetSize(int n, std::uint16_t size)
{
    if (!IsValidPage(n))
        return;
    sizes_[n] = size;
    damaged_[n] = false;
}

void tpsummary::Remove(int n)
{
    if (!IsValidPage(n))
        return;
    sizes_[n] = 0;
    damaged_[n] = false;
    if (count_ > 0)
        --count_;
}

void RegisterPageEditCoreServices()
{
    GetProjectHooks().makePageSummary = [](adatabase& db) {
        auto summary = std::make_unique<tpsummary>(db);
        ProjectHooks::PageSummary result;
        result.totalSize = summary->GetTotalSize();
        result.summary = OwnedPart(std::move(summary));
        return result;
    };
}
