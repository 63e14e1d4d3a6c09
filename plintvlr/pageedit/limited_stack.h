#pragma once
// A bounded stack of owned objects, the page editor's undo snapshots: a ring
// of `Slots` pointer slots with a left and a right index, both 0 when empty.
// The newest object always sits at the left index; one slot always stays
// free, so the stack holds at most Slots - 1 objects. Pushing onto a full
// stack deletes the oldest object first.

#include <array>
#include <memory>

template <class T, int Slots = 21>
class TILimitedStack {
    static_assert(Slots >= 2, "one slot always stays free");

public:
    static constexpr int kCapacity = Slots - 1;

    TILimitedStack() = default;
    TILimitedStack(const TILimitedStack&) = delete;
    TILimitedStack& operator=(const TILimitedStack&) = delete;

    int Count() const { return right_ >= left_ ? right_ - left_ : Slots - (left_ - right_); }
    bool IsEmpty() const { return left_ == right_; }
    bool IsFull() const { return right_ == Before(left_); }

    // Takes ownership; a null object is not pushed.
    void Push(std::unique_ptr<T> object)
    {
        if (!object)
            return;
        if (IsFull())
            DropOldest();
        left_ = Before(left_);
        slots_[left_] = std::move(object);
    }

    // The newest object, handed to the caller; null when empty.
    std::unique_ptr<T> Pop()
    {
        if (IsEmpty())
            return nullptr;
        std::unique_ptr<T> object = std::move(slots_[left_]);
        left_ = left_ + 1 == Slots ? 0 : left_ + 1;
        return object;
    }

    // The oldest object, handed to the caller; null when empty.
    std::unique_ptr<T> DropOldest()
    {
        if (IsEmpty())
            return nullptr;
        right_ = Before(right_);
        return std::move(slots_[right_]);
    }

    // The newest object left in place; null when empty.
    T* Top() const { return IsEmpty() ? nullptr : slots_[left_].get(); }

    void Clear()
    {
        for (auto& slot : slots_)
            slot.reset();
        left_ = right_ = 0;
    }

private:
    static int Before(int index) { return (index == 0 ? Slots : index) - 1; }

    std::array<std::unique_ptr<T>, Slots> slots_;
    int left_ = 0;
    int right_ = 0;
};
