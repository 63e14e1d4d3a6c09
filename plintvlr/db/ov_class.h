#pragma once
// Overview groups: a named set of up to ten tags that the panel shows
// together on its overview display (`ovClass`), and the open project's groups
// in ascending group number (`OvList`). Stored in project table 10 under the
// group number, 47 bytes:
//
//   0  u16      number (copy of the key)
//   2  char[25] name, NUL-padded; at most 24 characters
//  27  10 x u16 members: bit 15 clear an analog tag number, set a digital
//               tag (number in bits 0-10); 0 empty

#include "plintvlr/db/numbered_list.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class adatabase;

class ovClass {
public:
    static constexpr std::size_t kNameSize = 25;
    static constexpr int kMemberCount = 10;
    static constexpr std::size_t kRecordSize = 2 + kNameSize + 2 * kMemberCount;
    static constexpr int kColumnCount = 12;

    ovClass() = default;
    explicit ovClass(std::uint16_t number) : number_(number) {}
    // A stored record; bytes beyond a short record read as 0.
    explicit ovClass(std::span<const std::uint8_t> record);

    void Clear() { *this = ovClass(); }

    std::uint16_t GetNumber() const { return number_; }
    void SetNumber(std::uint16_t number) { number_ = number; }
    // At most 24 characters are kept.
    void SetName(std::string_view name);
    std::string GetName() const;
    // Members 0-9; a position outside gives 0 and sets nothing.
    void SetMember(int i, std::uint16_t value);
    std::uint16_t GetMember(int i) const;
    // Free for the list's user: the group browser and its clipboard.
    void SetListData(std::int32_t value) { listData_ = value; }
    std::int32_t GetListData() const { return listData_; }
    // Number, name and members; the list datum stays.
    void CopyFrom(const ovClass& other);

    std::array<std::uint8_t, kRecordSize> GetRecord() const;
    // Writes the record under the group number; the record code.
    int Save(adatabase& db) const;
    // Deletes the group's record; the record code.
    int Delete(adatabase& db) const;

    // Browser interface.
    int GetColumnCount() const { return kColumnCount; }
    // "Number", "Overview group name", "Tag Name1" ... "Tag Name10"; empty
    // outside 0-11.
    std::string GetColumnTitle(int column) const;
    // The number, the name, then the names of the ten members in the open
    // project's tag registries (empty for an empty member or an unknown tag).
    std::string GetColumnText(int column) const;
    // The column texts, tab-separated, ended by a line feed.
    std::string GetRowText() const;

    friend bool operator==(const ovClass& a, const ovClass& b)
    {
        return a.number_ == b.number_ && a.name_ == b.name_ && a.members_ == b.members_;
    }

private:
    std::int32_t listData_ = 0;
    std::uint16_t number_ = 0;
    std::array<char, kNameSize> name_{};
    std::array<std::uint16_t, kMemberCount> members_{};
};

// The open project's overview groups in ascending group number.
class OvList : public NumberedList<ovClass> {
public:
    // Empties the list and refills it from table 10 in key order; a record
    // whose check fails is skipped, any other error ends the load. The walk
    // also rebuilds the byte total of table 10. Result 1.
    int Load(adatabase& db);
    // Takes the group out of the list once its record is deleted; false when
    // it is not in the list or the delete fails (the group stays).
    bool Remove(adatabase& db, std::uint16_t number);
    // Copies the group into the list's group of its number, or adds a copy,
    // then saves its record; the record code.
    int Update(adatabase& db, const ovClass& group);

    // None for an empty list; the first group when the number is 0 or not in
    // the list; else the next group (after the last: the first) going
    // forward, the previous one (before the first: the last) going back.
    const ovClass* GetNeighbour(bool forward, std::uint16_t number) const;
    // The lowest number not in use, 1 for an empty list; when the numbers run
    // without a gap, the one after the last, or 0 when that is above the limit.
    int NextFreeNumber(int limit) const;
    // The same with the overview-group limit of the project's panel type.
    int NextFreeNumber(const adatabase& db) const;
};

// The program's one list of the open project's groups.
OvList& GetOvList();
