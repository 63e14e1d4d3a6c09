#pragma once
// A button style: one picture per button state (up, down and further states)
// that push buttons are drawn with, and per state the point where the
// button's content sits on that picture.

#include "platform/base/dib.h"
#include "platform/base/geometry.h"
#include "plintvlr/db/project_services.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

class stylebase {
public:
    static constexpr int kMaxStates = 8;
    // Where a state without a point of its own puts the content.
    static constexpr PanelPoint kDefaultPoint{50, 50};

    // Keeps copies of the first kMaxStates pictures.
    explicit stylebase(std::span<const TDib> states);
    virtual ~stylebase() = default;

    // The picture of a state; null for a state the style does not have.
    virtual const TDib* GetDib(int state) const;
    // A state the style does not have is left alone.
    virtual void SetPoint(int state, PanelPoint point);
    virtual PanelPoint GetPoint(int state) const;
    // The size of the first state's picture.
    virtual TSize GetSize() const;

    int StateCount() const { return static_cast<int>(states_.size()); }
    // True when the picture is the state's picture: same size, depth,
    // colours and pixels (row padding does not count).
    bool IsSameDib(int state, const TDib& dib) const;

private:
    std::vector<TDib> states_;
    std::array<std::optional<PanelPoint>, kMaxStates> points_{};
};
