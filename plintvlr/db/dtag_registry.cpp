#include "plintvlr/db/dtag_registry.h"

#include "plintvlr/db/dtag.h"

namespace {

constexpr int kDigitalTable = 2;
// Where table 2's records keep the input address length (the name follows the address).
constexpr std::size_t kAddressLengthOffset = 15;

}  // namespace

bool Dtag_registry::Add(std::string_view name, std::uint32_t& id)
{
    if (!tagregistry::Add(name, id))
        return false;
    Announce(kTagAddedNotice, *NameAt(id), id, kDigitalNoticeBit);
    return true;
}

std::uint32_t Dtag_registry::Remove(std::string_view name, int flag)
{
    const std::string text(name);
    const std::uint32_t id = tagregistry::Remove(name, flag);
    if (id != 0)
        Announce(kTagRemovedNotice, text, id, kDigitalNoticeBit);
    return id;
}

std::unique_ptr<browseable> Dtag_registry::CreateItem()
{
    return std::make_unique<dtag>();
}

bool Dtag_registry::Load()
{
    return LoadFrom(OpenProjectTableWalk(kDigitalTable));
}

bool Dtag_registry::LoadFrom(const TableWalk& walk)
{
    Clear();
    const int taken = WalkTable(walk, [this](std::uint32_t key, std::span<const std::uint8_t> record) {
        SetNameAt(TagRecordName(record, kAddressLengthOffset), key);
    });
    return taken > 0;
}
