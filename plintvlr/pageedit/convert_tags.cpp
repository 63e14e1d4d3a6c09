#include "plintvlr/pageedit/convert_tags.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/pageedit/size_rect_manager.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace {

// Kind 01 of a reference, a register of older pages; kind 11 is a bit there.
constexpr std::uint16_t kRegisterKind = 0x4000;
// A drive-out's main reference holds a register as this plus its number.
constexpr int kDriveOutRegisterBase = 10000;

constexpr char kDigitalLetter = 'B';
constexpr char kAnalogLetter = 'R';
constexpr int kFrequencyPosition = 16;
constexpr std::uint8_t kNoAlarm = ' ';
constexpr int kAddressLength = 4;

bool SortsBefore(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

DirectAddressEntry Named(char letter, int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%c%04d", letter, number);
    return {name, static_cast<std::uint16_t>(number), 0};
}

Quellstor OpenPanel()
{
    return Quellstor(_QSglobals.GetDatabase().GetPanelType());
}

using References = std::array<std::uint16_t, 3>;

References ReferencesOf(const SizeRect& element)
{
    return {element.GetTag(), element.GetShowHideTag(), element.GetColorTag()};
}

void SetReference(SizeRect& element, int which, std::uint16_t reference)
{
    switch (which) {
    case 0:
        element.SetTag(reference);
        break;
    case 1:
        element.SetShowHideTag(reference);
        break;
    default:
        element.SetColorTag(reference);
        break;
    }
}

// What both kinds of new tag share: the entry's name, refreshed when
// displayed at the last frequency, on the address as a register of four
// bytes.
void SetUpNewTag(tagbase& tag, const DirectAddressEntry& entry, std::uint8_t clearedFlags)
{
    tag.ClearFlag(clearedFlags);
    tag.SetName(entry.name);
    tag.SetRefresh(kRefreshIfDisplayed);
    tag.SetFrequencyIndex(kFrequencyPosition);
    DirectAddressBytes bytes{};
    SizeRectManager::ParseDirectAddress(entry, bytes);
    tag.SetAddress(0, bytes.data(), kAddressLength, kAddressRegister);
}

// A new digital tag for the address, stored under its id; false when it
// could not be stored.
bool WriteDigitalTag(const DirectAddressEntry& entry, std::uint32_t id)
{
    dtag tag;
    SetUpNewTag(tag, entry, kDtagSecondInput | kDtagOutput);
    tag.SetAlarmCode(kNoAlarm);
    tag.AssignInternalAddress(id);
    return tag.Write(id);
}

// A new analog tag on one internal word of its own; false when no word is
// free or the tag could not be stored.
bool WriteAnalogTag(Atag_registry& registry, const DirectAddressEntry& entry, std::uint32_t id)
{
    const std::int32_t word = registry.AllocateInternal(id, 1, true);
    if (word < 0)
        return false;
    atag tag;
    SetUpNewTag(tag, entry, kAtagScaling | kAtagOutput | kAtagAlarm);
    tag.SetDataType(kTypeSignedWord);
    tag.SetInternalAddress(static_cast<std::uint32_t>(word), 1);
    return tag.Write(id);
}

// The tag reference for an entry: an existing tag of the name, else a new
// one; 0 when none could be made (the registry is full, no internal word is
// free, or the tag could not be stored).
std::uint16_t TagFor(const DirectAddressEntry& entry)
{
    adatabase& db = _QSglobals.GetDatabase();
    const bool digital = entry.name[0] == kDigitalLetter;
    tagregistry* registry = digital ? static_cast<tagregistry*>(db.GetDigitalRegistry())
                                    : static_cast<tagregistry*>(db.GetAnalogRegistry());
    if (!registry)
        return 0;
    const std::uint16_t kind = digital ? kTagRefDigital : 0;
    if (const std::uint32_t id = registry->Find(entry.name); id != 0)
        return static_cast<std::uint16_t>(id | kind);
    std::uint32_t id = 0;
    if (!registry->Add(entry.name, id) || id == 0)
        return 0;
    const bool written =
        digital ? WriteDigitalTag(entry, id) : WriteAnalogTag(*db.GetAnalogRegistry(), entry, id);
    if (!written) {
        // A name without its record would keep the id from being given out
        // and show a tag the project does not have.
        registry->Remove(entry.name, 1);
        return 0;
    }
    return static_cast<std::uint16_t>(id | kind);
}

int Available(int limit, const tagregistry* registry)
{
    return limit - static_cast<int>(registry ? registry->Count() : 0);
}

}  // namespace

// --- The list ---------------------------------------------------------------

int DirectAddressList::Find(std::string_view name) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

int DirectAddressList::Add(DirectAddressEntry entry)
{
    // After the entries that sort equal, as a sorted list box puts it.
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry,
                                     [](const DirectAddressEntry& a, const DirectAddressEntry& b) {
                                         return SortsBefore(a.name, b.name);
                                     });
    if (!entry.name.empty()) {
        if (entry.name[0] == kAnalogLetter)
            ++analogs_;
        else if (entry.name[0] == kDigitalLetter)
            ++digitals_;
    }
    return static_cast<int>(entries_.insert(at, std::move(entry)) - entries_.begin());
}

bool DirectAddressOf(std::uint16_t reference, bool driveOut, DirectAddressEntry& entry)
{
    const std::uint16_t kind = reference & kTagRefBit;
    const int number = reference & kTagRefNumberMask;
    if (reference == 0)
        return false;
    if (driveOut) {
        if (kind == kRegisterKind && number < kDriveOutRegisterBase) {
            entry = Named(kDigitalLetter, number);
            return true;
        }
        if ((reference & kRegisterKind) && number > kDriveOutRegisterBase) {
            entry = Named(kAnalogLetter, number - kDriveOutRegisterBase);
            return true;
        }
        return false;
    }
    if (kind == kTagRefBit) {
        entry = Named(kDigitalLetter, number);
        return true;
    }
    if (kind == kRegisterKind) {
        entry = Named(kAnalogLetter, number);
        return true;
    }
    return false;
}

int AvailableAnalogTags()
{
    return Available(OpenPanel().GetMaxAnalogTags(), _QSglobals.GetDatabase().GetAnalogRegistry());
}

int AvailableDigitalTags()
{
    return Available(OpenPanel().GetMaxDigitalTags(), _QSglobals.GetDatabase().GetDigitalRegistry());
}

// --- The model's steps ------------------------------------------------------

int SizeRectManager::FormatDirectAddress(std::uint16_t reference, bool driveOut, DirectAddressList& list, bool add)
{
    DirectAddressEntry entry;
    if (!DirectAddressOf(reference, driveOut, entry))
        return -1;
    const int position = list.Find(entry.name);
    if (position >= 0 || !add)
        return position;
    return list.Add(std::move(entry));
}

int SizeRectManager::CollectDirectAddresses(DirectAddressList& list) const
{
    for (const auto& element : elements_) {
        const bool driveOut = dynamic_cast<const DriveOutElem*>(element.get()) != nullptr;
        const References references = ReferencesOf(*element);
        for (std::size_t which = 0; which < references.size(); ++which)
            FormatDirectAddress(references[which], driveOut && which == 0, list, true);
    }
    return list.Count();
}

int SizeRectManager::CreateTagsForAddresses(DirectAddressList& list)
{
    int notMade = 0;
    for (int i = 0; i < list.Count(); ++i) {
        DirectAddressEntry& entry = list.At(i);
        if (entry.name.empty() || (entry.name[0] != kDigitalLetter && entry.name[0] != kAnalogLetter))
            continue;
        entry.reference = TagFor(entry);
        if (entry.reference == 0)
            ++notMade;
    }
    return notMade;
}

bool SizeRectManager::ParseDirectAddress(const DirectAddressEntry& entry, DirectAddressBytes& bytes)
{
    if (entry.name.empty())
        return false;
    const std::string_view format = entry.name[0] == kDigitalLetter ? kDigitalRegisterFormat : kAnalogRegisterFormat;
    if (ParseRegisterName(entry.name, bytes, format))
        return true;
    // Five digits (10000 and above) do not read back as a register name:
    // the entry's own number is the address.
    bytes[0] = static_cast<std::uint8_t>(entry.number & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(entry.number >> 8);
    bytes[2] = bytes[3] = 0;
    return true;
}

int SizeRectManager::ReplaceAddressesByTags(DirectAddressList& list)
{
    int replaced = 0;
    for (const auto& element : elements_) {
        const bool driveOut = dynamic_cast<const DriveOutElem*>(element.get()) != nullptr;
        const References references = ReferencesOf(*element);
        for (std::size_t which = 0; which < references.size(); ++which) {
            const int position = FormatDirectAddress(references[which], driveOut && which == 0, list, false);
            // An entry without a tag keeps its address rather than losing it.
            if (position < 0 || list.At(position).reference == 0)
                continue;
            SetReference(*element, static_cast<int>(which), list.At(position).reference);
            ++replaced;
        }
    }
    if (replaced > 0) {
        // Converted references are a change like any other: saved, or asked about.
        modified_ = true;
        if (ownerIsCanvas_) {
            if (ActivePageEditor* editor = GetActivePageEditor()) {
                editor->SetPageModified();
                editor->InvalidateAll();
            }
        }
    }
    return replaced;
}
