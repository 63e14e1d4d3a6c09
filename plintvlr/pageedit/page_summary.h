#pragma once
// The page-size summary of the open project: the stored size of every graphic
// page, built when the project opens and kept current by the page editor.

#include <array>
#include <bitset>
#include <cstdint>

class adatabase;

class tpsummary {
public:
    static constexpr int kMaxPageNumber = 1000;

    // Reads every stored graphic page of the project and records its size.
    explicit tpsummary(adatabase& db);
    ~tpsummary() = default;

    // 0 <= n <= the panel's highest page number.
    bool IsValidPage(int n) const;
    // A damaged page (its stored check fails) counts as stored, with its
    // stored length as its size, until it is saved over or removed.
    bool IsStored(int n) const;
    bool IsDamaged(int n) const;
    std::uint16_t GetSize(int n) const;
    // Count and total stay as they are; a page saved over is no longer damaged.
    void SetSize(int n, std::uint16_t size);
    // Forgets a stored page: its size 0, the count one less; the total stays.
    void Remove(int n);
    std::uint16_t GetCount() const { return count_; }
    void IncrementCount() { ++count_; }
    // The pages read at construction: their sizes plus 12 bytes each.
    std::uint32_t GetTotalSize() const { return total_; }

private:
    int maxPage_ = 0;
    std::array<std::uint16_t, kMaxPageNumber + 1> sizes_{};
    std::bitset<kMaxPageNumber + 1> damaged_;
    std::uint16_t count_ = 0;
    std::uint32_t total_ = 0;
};

// Registers the page summary with the project database (at start-up).
void RegisterPageEditCoreServices();
