#pragma once
// The base of every element of a graphic page. It holds the element's
// rectangle in page units (1/20 panel pixel, y down from the top of the
// screen), its selection state, id, panel font, colour-by-tag attribute and
// four dynamic attributes, and defines the fixed interface through which the
// page editor moves, resizes, draws, animates, stores, describes and edits
// any element without knowing its class.
//
// Operations that change an element return the rectangle to repaint (the
// element rectangle grown by the handle size), or an empty one when nothing
// changed. Handle numbers are TUIHandle's (0-8, 4 inside, -1 outside); the
// editing operations also take -1 for a move by a mouse drag and -2 for a
// move made by the program.

#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/packed_point.h"
#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/elements/record_reader.h"
#include "plintvlr/elements/tag_mask.h"

#include "platform/base/geometry.h"

#include <cstdint>
#include <memory>
#include <string>

class TDC;
class TIdCounter;
class TWindow;

// Handle numbers of moves.
inline constexpr int kDragMove = -1;
inline constexpr int kProgramMove = -2;
// A side of an align rectangle that is not used.
inline constexpr int kAlignUnused = -1000;

// The one element id counter of the program.
int GetElementIdCounter();
// The editing model sets it back to 0 when it clears a page.
void ResetElementIdCounter();

// Rounds each axis of an offset to the nearest multiple of its step, halves
// away from zero; an axis with a step of 0 or below stays.
TSize SnapOffset(const TSize& offset, const TSize& step);

class SizeRect : public TRect {
public:
    SizeRect();
    SizeRect(const TPoint& a, const TPoint& b);
    SizeRect(const SizeRect& other);
    SizeRect& operator=(const SizeRect&) = delete;

    // --- The element slots ---------------------------------------------
    virtual ~SizeRect();
    virtual TRect Select(bool select);
    virtual unsigned GetHandleStyle() const;
    virtual TRect SnapToGrid(int handle, const TSize& offset);
    virtual void ResizeLeft(TRect& rect, int dx) const;
    virtual void ResizeTop(TRect& rect, int dy) const;
    virtual void ResizeRight(TRect& rect, int dx) const;
    virtual void ResizeBottom(TRect& rect, int dy) const;
    virtual TSize GetMinSize() const;
    virtual TSize GetMaxSize() const;
    virtual int GetVerticalMargin() const;
    virtual TSize GetSizeStep(bool dragged) const;
    virtual TSize GetMoveStep(bool dragged) const;
    virtual bool CanToggleOrientation() const;
    virtual TRect ToggleOrientation();
    virtual TRect KeepOnScreen();
    virtual void Draw(TDC& dc);
    // Whether drawing the element can change a pixel of `area` (page units),
    // which its rectangle touches. An outline or a line says so more closely
    // than its rectangle, so a small repaint skips what only surrounds it.
    virtual bool DrawsInto(const TRect& area) const;
    virtual TRect AnimateStep();
    virtual TRect StopAnimation();
    virtual std::unique_ptr<SizeRect> Clone() const;
    // Reads the element from its record; false when the record is damaged
    // or ends early (the page reader then stops).
    virtual bool ReadRecord(RecordReader& in);
    // Appends the element's record; the position after it.
    virtual std::uint8_t* WriteRecord(std::uint8_t* at) const;
    virtual void Edit(TWindow* parent);
    virtual void Describe(int number, ReportLines& lines, int subnumber) const;
    virtual bool IsAllowedOnPanel() const;
    virtual std::unique_ptr<SizeRect> Duplicate() const;
    virtual std::uint16_t GetTag() const;
    virtual std::uint16_t GetColorTag() const;
    virtual std::uint16_t GetExtraTag() const;
    virtual std::uint16_t GetShowHideTag() const;
    virtual void SetShowHideTag(std::uint16_t tag);
    virtual void SetTag(std::uint16_t tag);
    virtual void SetColorTag(std::uint16_t tag);
    virtual TRect RecalcLayout();
    virtual std::string GetPositionText() const;
    virtual std::string GetTypeName() const;
    virtual bool SetFont(int fontNumber);
    virtual bool HasDynamics() const;
    virtual void StartAnimation();
    virtual TRect MoveBy(const TSize& offset);
    virtual void SetRecipeInUse(bool inUse);
    virtual void CountRecipeUse(TIdCounter& counter) const;
    virtual std::uint32_t GetEditTag() const;
    virtual void SetEditTag(std::uint32_t tag);
    // Touch regions of one page may not overlap; the touch-region element
    // and those derived from it answer true.
    virtual bool IsTouchRegion() const { return false; }

    // --- Shared members -------------------------------------------------
    const TRect& GetRect() const { return *this; }
    bool IsSelected() const { return selected_; }
    bool IsSelectable() const { return !notSelectable_; }
    void SetSelectable(bool selectable) { notSelectable_ = !selectable; }
    std::int32_t GetId() const { return id_; }
    int GetFontNumber() const { return fontNumber_; }
    std::uint8_t GetAnimationStep() const { return animationStep_; }

    ColorPoint& GetColors() { return colors_; }
    const ColorPoint& GetColors() const { return colors_; }
    TDynPosition& GetDynPosition() { return position_; }
    const TDynPosition& GetDynPosition() const { return position_; }
    TDynRotation& GetDynRotation() { return rotation_; }
    const TDynRotation& GetDynRotation() const { return rotation_; }
    TDynFill& GetDynFill() { return fill_; }
    const TDynFill& GetDynFill() const { return fill_; }
    TDynBlink& GetDynBlink() { return blink_; }
    const TDynBlink& GetDynBlink() const { return blink_; }

    // Handle thickness in page units.
    static int GetHandleSize();
    TRect GetRepaintRect() const;
    void DrawSelected(TDC& dc);
    void DrawOutline(TDC& dc);
    int HitTestHandles(const TPoint& point) const;
    TSize GetAlignOffset(const TRect& reference) const;
    TRect DragHandle(int handle, const TSize& offset) const;
    TRect KeepRectOnScreen() const;
    bool NormalizePlacement();
    // Pixel extents of the element moved by its position offsets, and turned
    // round its rotation centre, as an element group adds them up.
    TRect GetPositionExtent() const;
    TRect GetRotationExtent() const;
    // (left / 20, screen height - bottom / 20): where a record places the element.
    TPoint GetAnchorPoint() const;

protected:
    // The rectangle the handles stand on: pulled in on elements that span
    // the whole screen width or height, so their handles stay in the window.
    TRect GetHandleFrame() const;
    void SetFontNumber(int fontNumber) { fontNumber_ = static_cast<std::uint8_t>(fontNumber); }
    void SetRect(const TRect& rect) { static_cast<TRect&>(*this) = rect; }
    // Elements whose picture rests on a later step than 0 set it themselves.
    void SetAnimationStep(std::uint8_t step) { animationStep_ = step; }

private:
    bool selected_ = false;
    std::uint8_t animationStep_ = 0;
    bool notSelectable_ = false;
    std::int32_t id_ = 0;
    std::uint8_t fontNumber_ = 0;
    ColorPoint colors_;
    TDynPosition position_;
    TDynRotation rotation_;
    TDynFill fill_;
    TDynBlink blink_;
};

// The dynamics of the common record body, in the order position, blink,
// rotation, fill; their bits go into the flags byte.
std::uint8_t* PackDynamics(const SizeRect& element, std::uint8_t* at, std::uint8_t& flags);
bool UnpackDynamics(SizeRect& element, RecordReader& in, std::uint8_t flags);

// The colour spec on colour panels, the show/hide spec on monochrome ones.
std::uint8_t* PackColorOrShowHide(const ColorPoint& colors, const DynamicData& showHide, std::uint8_t* at);
bool UnpackColorOrShowHide(ColorPoint& colors, DynamicData& showHide, RecordReader& in);

// The common first report line of an element: "7. text: left ..." or, for
// member 2 of group 5, "5.2. text: ...".
void AddDescriptionLine(const TRect& rect, int number, ReportLines& lines, int subnumber, const std::string& typeText);
// The bitmap of library slot 0-299 stretched into the rectangle; the
// program's "nobmp" picture for an empty slot.
void DrawLibraryBitmap(const TRect& rect, TDC& dc, int slot);
