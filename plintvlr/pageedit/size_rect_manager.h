#pragma once
// The editing model of one graphic page (or of one function-key set): its
// elements in drawing order, the undo stack, the embedded comms blocks, the
// keys that apply to every graphic page, the template page's elements and
// keys, the page number and the modified flag. It reads and writes the page
// record and turns element records into element objects (ReadElements).
//
// When its owner is the page canvas it repaints and marks the page through
// the active page editor; any other owner (the function-key dialog, tests)
// gets no repaints.

#include "plintvlr/dataelements/ecb_elem.h"
#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/pageedit/convert_tags.h"
#include "plintvlr/pageedit/limited_stack.h"

#include <cstdint>
#include <memory>
#include <vector>

class BitmapPaster;
class ComboElem;
class EFKeyElem;
class TWindow;

class SizeRectManager {
public:
    // Modes of the page record: a graphic page of table 4, a function-key
    // set stored as system record 111 + set index.
    static constexpr int kPageMode = 1;
    static constexpr int kKeySetMode = 5;
    static constexpr std::uint32_t kFirstKeySet = 111;
    static constexpr std::uint32_t kGraphicPageKeys = 112;
    // Usage counters of key sets are saved under the key plus this.
    static constexpr std::uint32_t kKeySetUsageOffset = 10000;
    static constexpr int kUndoSlots = 21;

    SizeRectManager(TWindow* owner, bool ownerIsCanvas);
    ~SizeRectManager();
    SizeRectManager(const SizeRectManager&) = delete;
    SizeRectManager& operator=(const SizeRectManager&) = delete;

    void Clear();

    // --- Selection and drawing -------------------------------------------
    void DeselectAll();
    bool AddElement(std::unique_ptr<SizeRect> element);
    // keys: MK_SHIFT (4) and MK_CONTROL (8) as the mouse message gives them.
    bool SelectAt(unsigned keys, const TPoint& point);
    void SelectInRect(const TRect& rect);
    void RaiseSelection();
    void DrawPage(TDC& dc);
    static void AddClone(const SizeRect& element, SizeRectArray& array);
    int HitTestSelectionHandles(const TPoint& point) const;
    void DrawDragOutlines(TDC& dc, int handle, const TSize& offset) const;
    int SelectionCount() const;
    SizeRect* FirstSelected() const;
    void ConfigureSelection();
    bool CanTurnSelection() const;
    void TurnSelection();
    void EditEmbeddedCommsBlocks();
    // --- Selection editing, grouping, undo and the element clipboard ------
    using UndoStack = TILimitedStack<SizeRectArray, kUndoSlots>;
    // Takes the snapshot; its elements drop their recipe use while stored.
    void PushUndo(std::unique_ptr<SizeRectArray> snapshot);
    // The selection, or the current function key when nothing is selected.
    void DeleteSelection();
    // Applies a handle drag (0-8) or a move (-1, -2) to the selection.
    void MoveSelection(int handle, const TSize& offset);
    // Moves each selected element by its offset to the align rectangle.
    void ApplyRectToSelection(const TRect& alignRect);
    void UngroupSelection();
    void GroupSelection();
    // Puts back what the newest snapshot holds; nothing when there is none.
    void Undo();
    void SelectById(std::int32_t id);
    // Copies of the selected elements onto the target; the pictures of
    // bitmap elements go to the paster.
    void CopySelectionTo(SizeRectArray& target, BitmapPaster& bitmaps) const;
    // Copies of the clipboard's elements onto the top of the page, selected;
    // the paster's pictures join this project when they came from another.
    void Paste(const SizeRectArray& clipboard, const BitmapPaster& bitmaps);
    // The project name the clipboard keeps: at most 40 characters.
    static constexpr std::size_t kClipboardProjectNameLength = 40;
    static std::string ClipboardProjectName(const std::string& name);
    void SetFontOfSelection(int fontNumber);
    int UndoCount() const { return undo_.Count(); }
    // The union of the selected elements' rectangles.
    TRect SelectionRect() const;

    // --- Function keys ---------------------------------------------------
    static EFKeyElem* FindFunctionKeyIn(const SizeRectArray& array, int key);
    EFKeyElem* FindFunctionKey(int key) const { return FindFunctionKeyIn(elements_, key); }
    void SelectFunctionKey(int key);
    EFKeyElem* CurrentFunctionKey() const;
    void EditFunctionKey(int key, bool keySet);
    std::string GetFunctionKeyLegend(int key) const;
    void RemoveFunctionKey(int key);

    // --- Element factory -------------------------------------------------
    // How a walk over element records ended.
    enum class WalkEnd {
        EndByte,    // at the 0 code byte (the position is on it)
        Count,      // the count of elements was taken
        RecordEnd,  // the record ended without its end byte
        Damaged,    // a record could not be read (the position is on it)
    };
    // --- Arrangement: alignment, z-order, locking and array moves ----------
    // The union of the rectangles the selected elements would get from the
    // handle drag; (0, 0, 0, 0) with nothing selected.
    TRect ReferenceRect(int handle, const TSize& offset) const;
    // Each lines up one edge (or the centre) of every selected element with
    // that of the reference rectangle; one undo entry.
    void AlignLeft();
    void AlignTop();
    void AlignRight();
    void AlignBottom();
    void CenterHorizontally();
    void CenterVertically();
    // Brings the rearmost selected element to the front; repeated, the
    // selected elements take turns in front. Does not mark the page.
    void ShuffleOverlayed();
    // The selection goes behind everything else, in its order, deselected.
    void SendToBack();
    void LockSelection();
    void UnlockAll();
    bool HasLockedElements() const;
    // The new z-order positions of the block that MoveElements moved.
    struct MovedBlock {
        int first = 0;
        int last = -1;
    };
    // Reorders the selection (or, when it is one group, its members): the
    // elements at the given positions (0 = rearmost; positions outside the
    // list are ignored) go together to `dropPosition`; the selection ends in
    // front of every other element.
    MovedBlock MoveElements(int count, const int* positions, int dropPosition);
    // Moves the selected elements (with `groupsOnly`, the selected groups)
    // out of the page onto the end of the target, in page order.
    void TakeOutSelection(SizeRectArray& target, bool groupsOnly = false);
    // Moves every element of the source onto the top of the page. With
    // `renumber`, each drive-out takes the lowest free number; one for which
    // no number is free is left out (deleted). The number left out.
    int InsertElements(SizeRectArray& source, bool renumber);
    // Moves every element of the source onto the end of the target; the
    // union of their repaint rectangles.
    static TRect AppendAll(SizeRectArray& target, SizeRectArray& source);
    // Copies of the selected elements: in page order, and frontmost first.
    void CollectSelected(SizeRectArray& target) const;
    void CollectSelectedTopFirst(SizeRectArray& target) const;
    ComboElem* FirstSelectedGroup() const;
    // Touch regions of a page never overlap; sharing an edge is allowed.
    bool OverlapsTouchRegion(const TRect& rect) const;
    bool TouchRegionWouldOverlap(const SizeRect& touch, int handle, const TSize& offset) const;
    bool GroupWouldOverlapTouch(const ComboElem& group, int handle, const TSize& offset) const;
    void SelectAll();
    // Tab: selects the element after the first selected one, in turn.
    void SelectNext();
    // The previews of the page's and the template's elements.
    void StartAnimation();
    void AnimateStep();
    void StopAnimation();
    // The lowest drive-out number 1..99 the page does not use; 0 when none.
    int FreeDriveOutNumber() const;
    int CountTrends() const;

    struct WalkResult {
        WalkEnd end = WalkEnd::EndByte;
        const std::uint8_t* position = nullptr;
    };
    // Reads element records from `data` (bounded by `length`). Outputs that
    // are null are not filled. count 0: up to the end byte. Recipe use counts
    // are set again when the walk ends at its end byte and `applyRecipeCounts`.
    static WalkResult ReadElements(SizeRectArray& elements, ECBElem* blocks, SizeRectArray* keys, int* templatePage,
                                   int* background, const std::uint8_t* data, std::size_t length, int count,
                                   bool keySet, bool applyRecipeCounts = true);

    // --- Page record -----------------------------------------------------
    // Replaces the contents by the stored record; its key, 0 when nothing was read.
    std::uint16_t LoadPage(int mode, std::uint32_t key);
    // LoadPage with a record already read (from the desktop clipboard, say).
    std::uint16_t LoadRecord(int mode, std::uint32_t key, const std::vector<std::uint8_t>& record);
    // Reads a stored record into the arrays; the record's key, 0 when nothing was read.
    std::uint16_t ReadPageRecord(SizeRectArray& elements, ECBElem* blocks, SizeRectArray* keys, int* templatePage,
                                 int* background, int mode, std::uint32_t key);
    // Shows a page from a record held in memory; where reading stopped.
    std::size_t LoadFromRecord(const std::vector<std::uint8_t>& record);
    // Builds and stores the record; false when it was refused or not stored
    // (the page then stays as it was, still modified).
    bool SavePage(int mode, std::uint32_t key);
    // Shows the page-size message when it does not fit.
    bool PageSizeFits(int size) const;
    // The largest record size the page may reach (it must stay below it).
    int PageSizeLimit() const;
    // The record bytes SavePage would store; false when refused.
    bool BuildPageRecord(int mode, std::uint32_t key, std::vector<std::uint8_t>& record, TIdCounter& usage);

    // The last load found a damaged record: what could not be read is kept
    // and written back unchanged after everything else.
    bool WasReadInPart() const { return readInPart_; }

    // --- Template page and the keys of every graphic page -----------------
    void SetTemplatePage(int page);
    void ReloadGraphicKeys();

    // --- Convert To Tags: direct addresses of older pages become tags ------
    // The list position of the reference's entry, added when absent and
    // `add` is set; -1 when the reference is no direct address (or, without
    // adding, not in the list).
    static int FormatDirectAddress(std::uint16_t reference, bool driveOut, DirectAddressList& list, bool add);
    // Lists the direct addresses of every element; the number of entries.
    int CollectDirectAddresses(DirectAddressList& list) const;
    // Gives each entry its tag, an existing one of its name or a new one
    // written to the project; the number of entries left without a tag
    // because the tag tables are full.
    static int CreateTagsForAddresses(DirectAddressList& list);
    // The four address bytes of an entry's new tag: the number, low byte first.
    static bool ParseDirectAddress(const DirectAddressEntry& entry, DirectAddressBytes& bytes);
    // Makes every reference whose entry got a tag refer to that tag and
    // marks the page modified; the number of references replaced.
    int ReplaceAddressesByTags(DirectAddressList& list);

    // --- State -----------------------------------------------------------
    SizeRectArray& GetElements() { return elements_; }
    const SizeRectArray& GetElements() const { return elements_; }
    ECBElem& GetCommsBlocks() { return blocks_; }
    const SizeRectArray& GetGraphicPageKeys() const { return graphicKeys_; }
    const SizeRectArray* GetTemplateElements() const { return templateElements_.get(); }
    const SizeRectArray* GetTemplateKeys() const { return templateKeys_.get(); }
    int GetTemplatePage() const { return templatePage_; }
    std::uint32_t GetPageNumber() const { return pageNumber_; }
    int GetCurrentKey() const { return currentKey_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }
    UndoStack& GetUndoStack() { return undo_; }
    TWindow* GetOwner() const { return owner_; }
    bool IsOwnerCanvas() const { return ownerIsCanvas_; }
    const std::vector<std::uint8_t>& GetUnreadTail() const { return unreadTail_; }

private:
    // Brings a loaded element onto the screen; true when it moved or changed.
    bool PlaceLoadedElement(int index);
    // The stored record of table 4 (mode 1) or 8; false when it cannot be read.
    static bool ReadStoredRecord(int mode, std::uint32_t key, std::vector<std::uint8_t>& record);
    std::uint16_t ReadRecordInto(SizeRectArray& elements, ECBElem* blocks, SizeRectArray* keys, int* templatePage,
                                 int* background, int mode, const std::vector<std::uint8_t>& record);
    void Invalidate(const TRect& rect) const;
    void ApplyRecipeCountsIfAny() const;
    // Gives drive-outs without a number of their own the lowest free ones;
    // false (with the message) when none is free.
    bool NumberDriveOuts();
    int Background() const;

    TWindow* owner_;
    bool ownerIsCanvas_;
    SizeRectArray elements_;
    UndoStack undo_;
    ECBElem blocks_;
    SizeRectArray graphicKeys_;
    std::unique_ptr<SizeRectArray> templateElements_;
    std::unique_ptr<SizeRectArray> templateKeys_;
    int templatePage_ = 0;
    std::uint32_t pageNumber_ = 0;
    int currentKey_ = 0;
    bool modified_ = false;
    bool readInPart_ = false;
    std::vector<std::uint8_t> unreadTail_;

    // Selection editing: a move of the element would put a touch region
    // (its own or a member's) onto another.
    bool MoveWouldOverlapTouch(const SizeRect& element, int handle, const TSize& offset) const;
    // A copy of the element as it rests, onto the snapshot.
    void StoreBeforeMove(const SizeRect& element, SizeRectArray& snapshot) const;
    // A pasted touch region onto the touch cells, or a push button grown to
    // its least size; false when it cannot stand on the page.
    bool FitPastedTouchRegion(SizeRect& region) const;
};

// Installs the page reader as the element group's member reader (at start-up;
// the model does it when it is made too).
void RegisterGroupMemberReader();

// Whether the index is one of the first `count` entries of the list.
bool ContainsIndex(int index, int count, const int* list);
