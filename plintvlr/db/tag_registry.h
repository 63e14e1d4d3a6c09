#pragma once
// An id-indexed table of names: the ids are the record keys of a project
// table (tag numbers) or the numbers of pooled texts. Id 0 is never given
// out, so ids run from 1 to capacity - 1. The tag registries announce every
// added or removed tag to the windows that listen (the tag combo boxes).

#include "platform/base/win_types.h"
#include "plintvlr/db/browseable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class adatabase;

// Notices of the tag registries: wParam points at the name's text (valid for
// the call), lParam is the tag number, with kDigitalNoticeBit for a digital tag.
inline constexpr UINT kTagAddedNotice = 1444;
inline constexpr UINT kTagRemovedNotice = 1445;
inline constexpr LPARAM kDigitalNoticeBit = 0x8000;

// Walking directions of Next.
inline constexpr int kWalkForward = 100;
inline constexpr int kWalkBackward = 101;

// Whatever listens to a registry: a window sits on this through its window
// messages. Notices are sent synchronously, so the registry has already
// changed when the listener hears of it.
class RegistryListener {
public:
    virtual ~RegistryListener() = default;
    virtual LRESULT OnRegistryNotice(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// One step of a walk over a project table, answered as the project
// database's NextRecord answers it: 0 a record (its length and key set), 6 a
// record whose check sum is wrong (the position moved past it), anything
// else the end.
using TableWalk = std::function<int(bool first, std::span<std::uint8_t> buffer, std::uint16_t& length,
                                    std::uint32_t& key, std::uint32_t& position)>;

class tagregistry {
public:
    explicit tagregistry(std::uint32_t capacity);
    virtual ~tagregistry();
    tagregistry(const tagregistry&) = delete;
    tagregistry& operator=(const tagregistry&) = delete;

    // When the name is present: its id and false. Else the lowest free id
    // from 1 takes a copy of the name: that id and true. Full: id 0, false.
    virtual bool Add(std::string_view name, std::uint32_t& id);
    // The lowest id whose name equals this one exactly; 0 when none.
    virtual std::uint32_t Find(std::string_view name) const;
    // False for an id outside the registry or a free one.
    virtual bool GetName(std::uint32_t id, std::string& name) const;
    // Frees the name's id and returns it; 0 when the name is absent. The
    // flag belongs to the derived registries.
    virtual std::uint32_t Remove(std::string_view name, int flag);
    // kWalkForward / kWalkBackward: the nearest set id after / before the
    // position, which moves there; past either end the position goes back to
    // 0 and the answer is false. Any other direction reads the position itself.
    virtual bool Next(std::string& name, std::uint32_t& id, int direction);
    // Kinds 1-4 only.
    virtual bool SetIteration(int kind, std::int32_t position);
    // A new browse row for the registry's kind of item; the caller owns it.
    virtual std::unique_ptr<browseable> CreateItem() = 0;
    virtual std::unique_ptr<browseable> CreateItemFor(std::int32_t number);
    // Fills the registry from the open project.
    virtual bool Load();
    virtual std::uint32_t Count() const;

    std::uint32_t Capacity() const { return static_cast<std::uint32_t>(names_.size()); }
    // The sum of length + 1 over all names.
    std::uint32_t GetTotalNameLength() const;
    // The lowest free id from 1; -1 when full.
    std::int32_t FirstFreeId() const;
    // 0 for a free id or one outside 1 to capacity - 1.
    std::uint32_t GetNameLength(std::uint32_t id) const;
    // Puts a name at an id (false for id 0 or one past the capacity). A name
    // that is present already (under any id) becomes "*DUPL*<id>*<name>",
    // cut to 32 characters, so that a table holding a name twice keeps both.
    bool SetNameAt(std::string_view name, std::uint32_t id);
    // The old name is removed through Remove (flag 1) and the new one set at
    // its id; false when the new name is present or the old one absent.
    bool Rename(std::string_view oldName, std::string_view newName);
    // Replaces an id's name, no notices; false when the new name is present.
    bool RenameId(std::uint32_t id, std::string_view newName);
    // Frees every name, without notices; the walk starts again at 0.
    void Clear();

    int GetIterationKind() const { return iterationKind_; }
    std::int32_t GetIterationPosition() const { return iterationPosition_; }

    // Listeners are not owned; each hears the notices in the order it was added.
    void AddListener(RegistryListener* listener);
    void RemoveListener(RegistryListener* listener);
    void NotifyListeners(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    const std::string* NameAt(std::uint32_t id) const;
    // The tag notices: wParam the name's text, lParam the id with the kind's bits.
    void Announce(UINT message, const std::string& name, std::uint32_t id, LPARAM bits);

private:
    // Every change of a name goes through these, so that the index and the
    // lowest free id stay true.
    void Store(std::uint32_t id, std::string name);
    void Free(std::uint32_t id);

    std::vector<std::optional<std::string>> names_;
    // The ids of the names by the names' hashes: a project of thousands of
    // tags or texts finds a name without comparing it with every other.
    std::unordered_multimap<std::size_t, std::uint32_t> byHash_;
    // Every id from 1 below this one holds a name.
    mutable std::uint32_t lowestMaybeFree_ = 1;
    int iterationKind_ = 1;
    std::int32_t iterationPosition_ = 0;
    std::vector<RegistryListener*> listeners_;
};

// Walks a table and hands each readable record to `take` with its key;
// records whose check sum is wrong are skipped. The number of records taken.
int WalkTable(const TableWalk& walk, const std::function<void(std::uint32_t key, std::span<const std::uint8_t>)>& take);
// A walk over a table of a project database, and of the open project's.
TableWalk TableWalkOf(adatabase& db, int table);
TableWalk OpenProjectTableWalk(int table);

// The name in a tag record whose input address length is at
// `addressLengthOffset`, the address and the name's length byte behind it.
// As much of the name as the record holds: a tag whose record is cut short
// still keeps its number from being given out again.
std::string TagRecordName(std::span<const std::uint8_t> record, std::size_t addressLengthOffset);
