#include "plintvlr/pageedit/size_rect_manager.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/pageedit/pageedit_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/tables/recipe_groups.h"
#include "platform/gdi/dc.h"
#include "platform/ui/mdi_client.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

namespace {

constexpr std::uint8_t kCodeFlag = 0x40;
constexpr std::uint8_t kFieldRecordCode = 0x1F;
constexpr std::uint8_t kColourEntry = 0x3A;
constexpr std::uint8_t kEndByte = 0x00;
constexpr std::uint16_t kTemplateRecordType = 11;
constexpr int kPaletteSize = 16;
// The hit area around a click: 4 pixels to either side, 1 above, 3 below.
constexpr int kHitLeft = 40;
constexpr int kHitAbove = 20;
constexpr int kHitBelow = 60;
constexpr unsigned kShiftKey = 4;
constexpr unsigned kControlKey = 8;
// Room for any one element record: none passes the field-record limit.
constexpr std::size_t kElementRoom = 2 * 65536;

// Where element records are written on their way into a page record: one of
// each use per thread, kept, zeroed for each use. A fresh buffer this large
// is a fresh mapping of memory whose every page faults in on first touch,
// and loading settles texts and groups one by one.
enum class Room { Written, Rewritten, Page, Count };

std::uint8_t* ElementRoom(Room use)
{
    thread_local std::array<std::vector<std::uint8_t>, static_cast<std::size_t>(Room::Count)> rooms;
    std::vector<std::uint8_t>& room = rooms[static_cast<std::size_t>(use)];
    room.assign(kElementRoom, 0);
    return room.data();
}

Quellstor OpenPanel()
{
    return Quellstor(_QSglobals.GetDatabase().GetPanelType());
}

// --- The factory tables -----------------------------------------------------

using Maker = std::unique_ptr<SizeRect> (*)(bool keySet);

template <class T>
std::unique_ptr<SizeRect> MakeDefault(bool)
{
    return std::make_unique<T>();
}

std::unique_ptr<SizeRect> MakeKey(bool keySet)
{
    return std::make_unique<EFKeyElem>(0, keySet);
}

std::unique_ptr<SizeRect> MakeTagDisplay(bool)
{
    return std::make_unique<PointElem>(TRect(0, 0, 80, 80), "", true);
}

std::unique_ptr<SizeRect> MakeFrame(bool)
{
    return std::make_unique<TRegFigElem>(TRegFigElem::kFrame);
}

std::unique_ptr<SizeRect> MakeFigure(bool)
{
    return std::make_unique<TRegFigElem>(TRegFigElem::kRectangle);
}

// By code byte with bit 6 cleared.
const std::map<std::uint8_t, Maker>& CodeMakers()
{
    static const std::map<std::uint8_t, Maker> makers = {
        {0x08, MakeDefault<LinesElem>},
        {0x0C, MakeDefault<LinesElem>},
        {TouchElem::kCode, MakeDefault<TouchElem>},
        {EFKeyElem::kCode, MakeKey},
        {DriveOutElem::kCode, MakeDefault<DriveOutElem>},
        {TrendElem::kCode, MakeDefault<TrendElem>},
        {kBitmapCode, MakeDefault<BitmapElem>},
        {TFormatText::kCode, MakeDefault<TFormatText>},
    };
    return makers;
}

// Every other code is a tag display.
constexpr Maker kOtherCodeMaker = MakeTagDisplay;

// By the sub-type of a field record.
const std::map<std::uint16_t, Maker>& FieldRecordMakers()
{
    static const std::map<std::uint16_t, Maker> makers = {
        {MessageElem::kRecordType, MakeDefault<MessageElem>},
        {ComboElem::kRecordType, MakeDefault<ComboElem>},
        {ButtonElem::kRecordType, MakeDefault<ButtonElem>},
        {TRegFigElem::kFrameRecordType, MakeFrame},
        {MeterElem::kRecordType, MakeDefault<MeterElem>},
        {TTrendRecord::kRecordType, MakeDefault<TTrendRecord>},
        {TRegFigElem::kFigureRecordType, MakeFigure},
    };
    return makers;
}

std::uint16_t FieldRecordType(const std::uint8_t* at, std::size_t length)
{
    FieldRecordCursor cursor;
    const std::uint16_t type = FieldRecordBeginRead(cursor, at, length, 0);
    FieldRecordEnd(cursor);
    return type;
}

void ShowPageTooLarge(int limit)
{
    char text[160];
    std::snprintf(text, sizeof text, Str(kStrPageTooLargeText), limit);
    TApp::MessageBox(nullptr, GetMainWindowHandle(), text, Str(kStrPageTooLarge), MB_OK | MB_ICONSTOP);
}

bool Meets(const TRect& element, const TRect& area)
{
    return element.left < area.right && element.right > area.left && element.top < area.bottom &&
           element.bottom > area.top;
}

// Elements whose place comes from their kept record stay where it puts them.
bool IsPlaceable(const SizeRect& element)
{
    if (dynamic_cast<const EFKeyElem*>(&element))
        return false;
    // A group is placed only when all its members can be: one that keeps
    // its record stays where it is, and the group could never come onto
    // the screen whole.
    if (const auto* group = dynamic_cast<const ComboElem*>(&element)) {
        const SizeRectArray& members = group->GetMembers();
        return std::all_of(members.begin(), members.end(), [](const auto& m) { return IsPlaceable(*m); });
    }
    const auto* kept = dynamic_cast<const KeptRecordElem*>(&element);
    return !kept || !kept->HasKeptRecord();
}

TWindow* EditorParent(const ActivePageEditor* editor)
{
    return editor->GetMDIClient();
}

bool ReadGroupMembers(SizeRectArray& members, RecordReader& in, int count)
{
    const SizeRectManager::WalkResult result = SizeRectManager::ReadElements(
        members, nullptr, nullptr, nullptr, nullptr, in.Position(), in.Remaining(), count, false, false);
    return result.end == SizeRectManager::WalkEnd::EndByte || result.end == SizeRectManager::WalkEnd::Count;
}

}  // namespace

void RegisterGroupMemberReader()
{
    ComboElem::SetMemberReader(ReadGroupMembers);
}

// --- Construction and lifetime ----------------------------------------------

SizeRectManager::SizeRectManager(TWindow* owner, bool ownerIsCanvas) : owner_(owner), ownerIsCanvas_(ownerIsCanvas)
{
    RegisterGroupMemberReader();
}

SizeRectManager::~SizeRectManager()
{
    Clear();
    ApplyRecipeCountsIfAny();
}

void SizeRectManager::Clear()
{
    // The element id counter is not set back: ids stay unique for the whole
    // run, since undo finds elements by id in whichever page is open.
    elements_.Flush();
    undo_.Clear();
    blocks_.Reset();
    currentKey_ = 0;
    modified_ = false;
    graphicKeys_.Flush();
    templatePage_ = 0;
    pageNumber_ = 0;
    if (templateElements_)
        templateElements_->Flush();
    if (templateKeys_)
        templateKeys_->Flush();
    readInPart_ = false;
    unreadTail_.clear();
}

void SizeRectManager::Invalidate(const TRect& rect) const
{
    if (!ownerIsCanvas_ || rect.IsEmpty())
        return;
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->InvalidateLogicalRect(rect);
}

void SizeRectManager::ApplyRecipeCountsIfAny() const
{
    TRecipeArray* recipes = GetProjectRecipeList();
    if (!recipes)
        return;
    TIdCounter counter;
    if (counter.LoadAll())
        recipes->ApplyUseCounts(counter);
}

int SizeRectManager::Background() const
{
    const ActivePageEditor* editor = GetActivePageEditor();
    return ownerIsCanvas_ && editor ? editor->GetBackgroundColor() : 0;
}

// --- Selection and drawing --------------------------------------------------

void SizeRectManager::DeselectAll()
{
    std::vector<TRect> changed;
    for (const auto& element : elements_) {
        const TRect r = element->Select(false);
        if (!r.IsEmpty())
            changed.push_back(r);
    }
    for (const TRect& r : changed)
        Invalidate(r);
}

bool SizeRectManager::AddElement(std::unique_ptr<SizeRect> element)
{
    DeselectAll();
    currentKey_ = 0;
    if (!element)
        return false;
    SizeRect* added = elements_.Add(std::move(element));
    Invalidate(added->GetRepaintRect());
    modified_ = true;
    return true;
}

bool SizeRectManager::SelectAt(unsigned keys, const TPoint& point)
{
    currentKey_ = 0;
    const TRect area(point.x - kHitLeft, point.y - kHitAbove, point.x + kHitLeft, point.y + kHitBelow);
    if (!(keys & (kShiftKey | kControlKey)))
        DeselectAll();
    for (int i = elements_.Count() - 1; i >= 0; --i) {
        SizeRect* element = elements_[i];
        if (!Meets(element->GetRect(), area))
            continue;
        if (element->IsSelected() && (keys & kControlKey)) {
            element->Select(false);
            Invalidate(element->GetRepaintRect());
            return false;
        }
        // Elements that cannot be selected (kept records) stay as they are.
        element->Select(true);
        if (!element->IsSelected())
            return false;
        RaiseSelection();
        return true;
    }
    return false;
}

void SizeRectManager::SelectInRect(const TRect& rect)
{
    for (const auto& element : elements_) {
        if (element->left >= rect.left && element->right <= rect.right && element->top >= rect.top &&
            element->bottom <= rect.bottom)
            element->Select(true);
    }
    RaiseSelection();
    currentKey_ = 0;
}

void SizeRectManager::RaiseSelection()
{
    // The element objects themselves move to the top, in their order.
    SizeRectArray raised;
    for (int i = 0; i < elements_.Count();) {
        if (elements_[i]->IsSelected())
            elements_.MoveTo(i, raised);
        else
            ++i;
    }
    TRect area;
    for (const auto& element : raised)
        area |= element->GetRepaintRect();
    raised.MoveAllTo(elements_);
    Invalidate(area);
}

void SizeRectManager::DrawPage(TDC& dc)
{
    // Elements wholly outside the area being painted are not drawn at all.
    TRect area;
    const bool clipped = dc.GetClipBox(area) > NULLREGION;
    area = area.Normalized().Inflate(kUnitsPerPixel, kUnitsPerPixel);
    // Each element's repaint rectangle, with the panel model's handle
    // thickness asked once per paint rather than once per element.
    const int handles = SizeRect::GetHandleSize();
    const auto visible = [&](const SizeRect& element) {
        if (!clipped)
            return true;
        // Touches() of the widened rectangle, spelled out: this runs for
        // every element of the page at every repaint.
        const int l = element.left - handles, r = element.right + handles;
        const int t = element.top - handles, b = element.bottom + handles;
        return l < r && t < b && area.left < r && l < area.right && area.top < b && t < area.bottom;
    };
    if (templateElements_) {
        for (const auto& element : *templateElements_) {
            if (visible(*element))
                element->DrawOutline(dc);
        }
    }
    // Within a small area an outline or a line may pass the area by although
    // its rectangle touches it; the elements say (a selected one always
    // draws its handles).
    const auto drawsInto = [&](const SizeRect& element) {
        return !clipped || element.IsSelected() || area.Contains(element.Normalized()) || element.DrawsInto(area);
    };
    for (const auto& element : elements_) {
        if (visible(*element) && drawsInto(*element))
            element->DrawSelected(dc);
    }
}

void SizeRectManager::AddClone(const SizeRect& element, SizeRectArray& array)
{
    if (std::unique_ptr<SizeRect> copy = element.Clone())
        array.Add(std::move(copy));
}

int SizeRectManager::HitTestSelectionHandles(const TPoint& point) const
{
    for (int i = elements_.Count() - 1; i >= 0; --i) {
        const SizeRect* element = elements_[i];
        if (!element->IsSelected())
            continue;
        const int handle = element->HitTestHandles(point);
        if (handle != -1)
            return handle;
    }
    return -1;
}

void SizeRectManager::DrawDragOutlines(TDC& dc, int handle, const TSize& offset) const
{
    for (const auto& element : elements_) {
        if (element->IsSelected())
            dc.Rectangle(element->DragHandle(handle, offset));
    }
}

int SizeRectManager::SelectionCount() const
{
    return static_cast<int>(std::count_if(elements_.begin(), elements_.end(),
                                          [](const auto& element) { return element->IsSelected(); }));
}

SizeRect* SizeRectManager::FirstSelected() const
{
    for (const auto& element : elements_) {
        if (element->IsSelected())
            return element.get();
    }
    return nullptr;
}

TRect SizeRectManager::SelectionRect() const
{
    TRect united;
    for (const auto& element : elements_) {
        if (element->IsSelected())
            united |= element->GetRect();
    }
    return united;
}

void SizeRectManager::ConfigureSelection()
{
    if (SizeRect* element = FirstSelected()) {
        const ActivePageEditor* editor = GetActivePageEditor();
        element->Edit(editor ? EditorParent(editor) : owner_);
    } else if (currentKey_ != 0) {
        EditFunctionKey(currentKey_, false);
    }
}

bool SizeRectManager::CanTurnSelection() const
{
    bool any = false;
    for (const auto& element : elements_) {
        if (!element->IsSelected())
            continue;
        if (!element->CanToggleOrientation())
            return false;
        any = true;
    }
    return any;
}

void SizeRectManager::TurnSelection()
{
    const TRect united = SelectionRect();
    SizeRect reference(united.TopLeft(), united.BottomRight());
    TRect region = reference.GetRepaintRect().Inflate(kUnitsPerPixel, kUnitsPerPixel);
    SizeRectArray turned;
    for (int i = 0; i < elements_.Count();) {
        if (elements_[i]->IsSelected())
            elements_.MoveTo(i, turned);
        else
            ++i;
    }
    region |= TurnElements(turned, reference);
    turned.MoveAllTo(elements_);
    Invalidate(region);
    modified_ = true;
}

void SizeRectManager::EditEmbeddedCommsBlocks()
{
    // The comms block dialog comes with the data elements' dialogs.
}

// --- Function keys ----------------------------------------------------------

EFKeyElem* SizeRectManager::FindFunctionKeyIn(const SizeRectArray& array, int key)
{
    for (const auto& element : array) {
        auto* fkey = dynamic_cast<EFKeyElem*>(element.get());
        if (fkey && fkey->GetKeyNumber() == key)
            return fkey;
    }
    return nullptr;
}

void SizeRectManager::SelectFunctionKey(int key)
{
    if (key == currentKey_)
        EditFunctionKey(key, false);
    else
        currentKey_ = key;
    DeselectAll();
}

EFKeyElem* SizeRectManager::CurrentFunctionKey() const
{
    return currentKey_ == 0 ? nullptr : FindFunctionKey(currentKey_);
}

void SizeRectManager::EditFunctionKey(int key, bool keySet)
{
    EFKeyElem* fkey = FindFunctionKey(key);
    if (!fkey)
        fkey = static_cast<EFKeyElem*>(elements_.Add(std::make_unique<EFKeyElem>(key, keySet)));
    const ActivePageEditor* editor = GetActivePageEditor();
    fkey->Edit(editor ? EditorParent(editor) : owner_);
}

std::string SizeRectManager::GetFunctionKeyLegend(int key) const
{
    if (const EFKeyElem* fkey = FindFunctionKey(key))
        return fkey->GetLegend();
    if (templateKeys_) {
        if (const EFKeyElem* fkey = FindFunctionKeyIn(*templateKeys_, key))
            return fkey->GetLegend();
    }
    if (const EFKeyElem* fkey = FindFunctionKeyIn(graphicKeys_, key))
        return fkey->GetLegend();
    return {};
}

void SizeRectManager::RemoveFunctionKey(int key)
{
    if (EFKeyElem* fkey = FindFunctionKey(key))
        elements_.Destroy(elements_.Find(fkey));
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->UpdateFunctionKeyLegend(key);
}

// --- Element factory --------------------------------------------------------

SizeRectManager::WalkResult SizeRectManager::ReadElements(SizeRectArray& elements, ECBElem* blocks,
                                                          SizeRectArray* keys, int* templatePage, int* background,
                                                          const std::uint8_t* data, std::size_t length, int count,
                                                          bool keySet, bool applyRecipeCounts)
{
    const Quellstor panel = OpenPanel();
    const int keyCount = panel.functionKeyCount;
    const std::uint8_t* const end = data + length;
    const std::uint8_t* at = data;
    int taken = 0;
    int driveOuts = 0;
    for (;;) {
        if (count > 0 && taken >= count)
            return {WalkEnd::Count, at};
        if (at >= end)
            return {WalkEnd::RecordEnd, at};
        const std::uint8_t code = *at & ~kCodeFlag;
        if (code == kEndByte) {
            if (applyRecipeCounts) {
                TRecipeArray* recipes = GetProjectRecipeList();
                TIdCounter counter;
                if (recipes && counter.LoadAll())
                    recipes->ApplyUseCounts(counter);
            }
            return {WalkEnd::EndByte, at};
        }
        RecordReader in(at, static_cast<std::size_t>(end - at));

        // Entries that are not elements.
        if (code == ECBElem::kEntryCode) {
            const bool read = blocks ? blocks->ReadEntry(in) : in.Skip(ECBElem::kEntrySize);
            if (!read)
                return {WalkEnd::Damaged, at};
            at = in.Position();
            continue;
        }
        if (code == kColourEntry) {
            std::uint8_t entry[3];
            if (!in.ReadBytes(entry, sizeof entry))
                return {WalkEnd::Damaged, at};
            if (background)
                *background = entry[2] % kPaletteSize;
            at = in.Position();
            continue;
        }

        Maker maker = kOtherCodeMaker;
        if (code == kFieldRecordCode) {
            const std::uint16_t type = FieldRecordType(at, in.Remaining());
            if (type == kTemplateRecordType) {
                FieldRecordCursor cursor;
                FieldRecordBeginRead(cursor, at, in.Remaining(), 0);
                std::uint8_t number[4];
                const int rc = FieldRecordGetBytes(cursor, 1, number, sizeof number);
                const std::uint8_t* after = FieldRecordEnd(cursor);
                if ((rc != FR_OK && rc != FR_ABSENT) || !after)
                    return {WalkEnd::Damaged, at};
                const std::uint32_t page = number[0] | number[1] << 8 | number[2] << 16 |
                                           static_cast<std::uint32_t>(number[3]) << 24;
                if (templatePage && page >= 1 && page <= static_cast<std::uint32_t>(panel.GetMaxPages()))
                    *templatePage = static_cast<int>(page);
                at = after;
                continue;
            }
            const auto found = FieldRecordMakers().find(type);
            maker = found != FieldRecordMakers().end() ? found->second : MakeDefault<UnknownFieldRecord>;
        } else if (const auto found = CodeMakers().find(code); found != CodeMakers().end()) {
            maker = found->second;
        }
        if (!maker)
            return {WalkEnd::Damaged, at};

        std::unique_ptr<SizeRect> element = maker(keySet);
        if (!element->ReadRecord(in) || in.Position() <= at)
            return {WalkEnd::Damaged, at};
        at = in.Position();
        ++taken;
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(element.get()))
            driveOut->SetNumber(++driveOuts);
        if (auto* fkey = dynamic_cast<EFKeyElem*>(element.get())) {
            if (fkey->GetKeyNumber() > keyCount)
                continue;
            if (keys) {
                keys->Add(std::move(element));
                continue;
            }
        }
        elements.Add(std::move(element));
    }
}

// --- Page record ------------------------------------------------------------

int SizeRectManager::PageSizeLimit() const
{
    const Quellstor panel = OpenPanel();
    const int largest = panel.GetMaxPageSize();
    const int withTemplate = panel.GetMaxTemplateSize();
    if ((panel.type == 6 || panel.type == 7) && templatePage_ == 0)
        return largest + withTemplate;
    return largest;
}

bool SizeRectManager::PageSizeFits(int size) const
{
    const int limit = PageSizeLimit();
    if (size <= limit - 1)
        return true;
    ShowPageTooLarge(limit);
    return false;
}

bool SizeRectManager::ReadStoredRecord(int mode, std::uint32_t key, std::vector<std::uint8_t>& record)
{
    const Quellstor panel = OpenPanel();
    std::size_t size = static_cast<std::size_t>(panel.GetMaxPageSize()) + 501;
    if (panel.type == 6 || panel.type == 7)
        size = std::max(size, static_cast<std::size_t>(panel.GetMaxPageSize() + panel.GetMaxTemplateSize()));
    record.assign(size, 0);
    std::uint16_t length = static_cast<std::uint16_t>(size);
    adatabase& db = _QSglobals.GetDatabase();
    const int rc = mode == kPageMode ? db.GetPage(key, record.data(), length)
                                     : db.GetSystemRecord(key, record.data(), length);
    record.resize(rc == 0 ? length : 0);
    return record.size() >= 2;
}

std::uint16_t SizeRectManager::ReadRecordInto(SizeRectArray& elements, ECBElem* blocks, SizeRectArray* keys,
                                              int* templatePage, int* background, int mode,
                                              const std::vector<std::uint8_t>& stored)
{
    if (stored.size() < 2)
        return 0;
    // A record cut short is read as the save will write it: with its end
    // byte, so that a second load reads what the first one did.
    const bool cut = stored.back() != kEndByte;
    std::vector<std::uint8_t> record = stored;
    if (cut)
        record.push_back(kEndByte);
    const WalkResult walk = ReadElements(elements, blocks, keys, templatePage, background, record.data() + 2,
                                         record.size() - 2, 0, mode == kKeySetMode);
    if (&elements == &elements_) {
        readInPart_ = cut || walk.end != WalkEnd::EndByte;
        // What could not be read is kept whole (less its end byte) and
        // written back after everything else, so a save loses nothing.
        if (walk.end == WalkEnd::Damaged)
            unreadTail_.assign(walk.position, static_cast<const std::uint8_t*>(record.data() + record.size() - 1));
    }
    return static_cast<std::uint16_t>(record[0] | record[1] << 8);
}

std::uint16_t SizeRectManager::ReadPageRecord(SizeRectArray& elements, ECBElem* blocks, SizeRectArray* keys,
                                              int* templatePage, int* background, int mode, std::uint32_t key)
{
    std::vector<std::uint8_t> record;
    if (!ReadStoredRecord(mode, key, record))
        return 0;
    return ReadRecordInto(elements, blocks, keys, templatePage, background, mode, record);
}

std::uint16_t SizeRectManager::LoadPage(int mode, std::uint32_t key)
{
    std::vector<std::uint8_t> record;
    ReadStoredRecord(mode, key, record);
    return LoadRecord(mode, key, record);
}

std::uint16_t SizeRectManager::LoadRecord(int mode, std::uint32_t key, const std::vector<std::uint8_t>& record)
{
    Clear();
    int templatePage = 0;
    int background = 0;
    const std::uint16_t stored = ReadRecordInto(elements_, &blocks_, nullptr, &templatePage, &background, mode, record);
    // The page number first, so that a page naming itself gets no template.
    pageNumber_ = key;
    if (templatePage != 0)
        SetTemplatePage(templatePage);
    if (mode == kPageMode)
        ReloadGraphicKeys();
    if (ownerIsCanvas_) {
        if (ActivePageEditor* editor = GetActivePageEditor())
            editor->SetBackgroundColor(background);
    }
    modified_ = false;
    if (mode == kPageMode) {
        const tpsummary* summary = _QSglobals.GetDatabase().GetPageSummary();
        modified_ = !summary || !summary->IsStored(static_cast<int>(key));
    }
    for (int i = 0; i < elements_.Count(); ++i) {
        if (PlaceLoadedElement(i))
            modified_ = true;
    }
    return stored;
}

bool SizeRectManager::PlaceLoadedElement(int index)
{
    SizeRect* element = elements_[index];
    if (!IsPlaceable(*element) || element->KeepRectOnScreen() == element->GetRect())
        return false;
    // What the screen cut is not all stored: a text lays itself out again from
    // its stored corner, a group sizes itself from its members. The element is
    // taken as it reads back from its own record and brought onto the screen
    // again, until it writes what it read (at most sixteen times); otherwise
    // the page would move a little more at each load and save.
    // (Texts and groups only: their records read back alone, as loaded.)
    if (!dynamic_cast<const TFormatText*>(element) && !dynamic_cast<const ComboElem*>(element)) {
        element->NormalizePlacement();
        return true;
    }
    std::unique_ptr<SizeRect> asLoaded = element->Clone();
    element->NormalizePlacement();
    for (int round = 0; round < 16; ++round) {
        std::uint8_t* written = ElementRoom(Room::Written);
        const std::uint8_t* end = elements_[index]->WriteRecord(written);
        if (!end)
            return true;
        const std::size_t length = static_cast<std::size_t>(end - written);
        SizeRectArray again;
        const WalkResult walk = ReadElements(again, nullptr, nullptr, nullptr, nullptr, written, length, 1, false, false);
        if (walk.end != WalkEnd::Count || again.Count() != 1)
            return true;
        if (IsPlaceable(*again[0]))
            again[0]->NormalizePlacement();
        std::uint8_t* rewritten = ElementRoom(Room::Rewritten);
        const std::uint8_t* againEnd = again[0]->WriteRecord(rewritten);
        elements_.Destroy(index);
        elements_.AddAt(again.Detach(0), index);
        // Settled when, read back and brought on again, it writes what it read.
        if (againEnd && static_cast<std::size_t>(againEnd - rewritten) == length &&
            std::equal(written, written + length, rewritten))
            return true;
    }
    // One that never settles (a group whose text member the screen cannot
    // hold lays that member out again at full length on every read, and so
    // grows back each time it is fitted) is left where its record put it.
    if (!asLoaded)
        return true;
    elements_.Destroy(index);
    elements_.AddAt(std::move(asLoaded), index);
    return false;
}

std::size_t SizeRectManager::LoadFromRecord(const std::vector<std::uint8_t>& record)
{
    Clear();
    if (record.size() < 2)
        return 0;
    int background = 0;
    const WalkResult walk = ReadElements(elements_, &blocks_, nullptr, nullptr, &background, record.data() + 2,
                                         record.size() - 2, 0, false);
    if (ownerIsCanvas_) {
        if (ActivePageEditor* editor = GetActivePageEditor())
            editor->SetBackgroundColor(background);
    }
    return static_cast<std::size_t>(walk.position - record.data());
}

bool SizeRectManager::NumberDriveOuts()
{
    std::vector<DriveOutElem*> driveOuts;
    for (const auto& element : elements_) {
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(element.get()))
            driveOuts.push_back(driveOut);
    }
    std::vector<bool> taken(DriveOutElem::kMaxNumber + 1, false);
    std::vector<DriveOutElem*> unnumbered;
    for (DriveOutElem* driveOut : driveOuts) {
        const int n = driveOut->GetNumber();
        if (n >= 1 && n <= DriveOutElem::kMaxNumber && !taken[n])
            taken[n] = true;
        else
            unnumbered.push_back(driveOut);
    }
    int next = 1;
    for (DriveOutElem* driveOut : unnumbered) {
        while (next <= DriveOutElem::kMaxNumber && taken[next])
            ++next;
        if (next > DriveOutElem::kMaxNumber) {
            TApp::MessageBox(nullptr, GetMainWindowHandle(), Str(kStrNoMoreDriveOuts), Str(kStrApplicationMessage),
                             MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        taken[next] = true;
        driveOut->SetNumber(next);
    }
    return true;
}

bool SizeRectManager::BuildPageRecord(int mode, std::uint32_t key, std::vector<std::uint8_t>& record,
                                      TIdCounter& usage)
{
    record.clear();
    record.push_back(static_cast<std::uint8_t>(key & 0xFF));
    record.push_back(static_cast<std::uint8_t>((key >> 8) & 0xFF));
    std::uint8_t* const scratch = ElementRoom(Room::Page);
    auto append = [&](const std::uint8_t* end) { record.insert(record.end(), static_cast<const std::uint8_t*>(scratch), end); };

    if (templatePage_ != 0) {
        const std::uint32_t n = static_cast<std::uint32_t>(templatePage_);
        const std::uint8_t number[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                        static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
        FieldRecordCursor cursor;
        FieldRecordBeginWrite(cursor, scratch, kTemplateRecordType, 0);
        FieldRecordPutBytes(cursor, 1, number, sizeof number);
        append(FieldRecordEnd(cursor));
    }
    const int background = Background();
    if (ownerIsCanvas_ && IsColorPanel() && background != 0)
        record.insert(record.end(), {kColourEntry, 0x00, static_cast<std::uint8_t>(background)});

    if (!elements_.IsEmpty() || !unreadTail_.empty()) {
        if (!NumberDriveOuts())
            return false;
        if (mode == kPageMode)
            append(blocks_.Write(scratch));
        std::vector<const DriveOutElem*> driveOuts;
        for (const auto& element : elements_) {
            if (const auto* driveOut = dynamic_cast<const DriveOutElem*>(element.get())) {
                driveOuts.push_back(driveOut);
                continue;
            }
            const std::uint8_t* end = element->WriteRecord(scratch);
            if (!end) {
                // A group whose members reach the largest page size.
                ShowPageTooLarge(OpenPanel().GetMaxPageSize());
                return false;
            }
            append(end);
            element->CountRecipeUse(usage);
            if (!PageSizeFits(static_cast<int>(record.size())))
                return false;
        }
        std::sort(driveOuts.begin(), driveOuts.end(),
                  [](const DriveOutElem* a, const DriveOutElem* b) { return a->GetNumber() < b->GetNumber(); });
        for (const DriveOutElem* driveOut : driveOuts) {
            append(driveOut->WriteRecord(scratch));
            if (!PageSizeFits(static_cast<int>(record.size())))
                return false;
        }
        if (!unreadTail_.empty()) {
            record.insert(record.end(), unreadTail_.begin(), unreadTail_.end());
            if (!PageSizeFits(static_cast<int>(record.size())))
                return false;
        }
    }
    record.push_back(kEndByte);
    return true;
}

bool SizeRectManager::SavePage(int mode, std::uint32_t key)
{
    std::vector<std::uint8_t> record;
    TIdCounter usage;
    if (!BuildPageRecord(mode, key, record, usage))
        return false;
    adatabase& db = _QSglobals.GetDatabase();
    const auto size = static_cast<std::uint16_t>(record.size());
    if (mode == kPageMode) {
        // The database reports its own failures; the page then stays modified.
        if (db.PutPage(key, record.data(), size) != 0)
            return false;
        usage.Save(key);
        if (tpsummary* summary = db.GetPageSummary())
            summary->SetSize(static_cast<int>(key), size);
    } else {
        if (db.PutSystemRecord(key, record.data(), size) != 0)
            return false;
        usage.Save(key + kKeySetUsageOffset);
    }
    modified_ = false;
    return true;
}

// --- Template page and the keys of every graphic page -----------------------

void SizeRectManager::SetTemplatePage(int page)
{
    if (page == templatePage_ || (page != 0 && static_cast<std::uint32_t>(page) == pageNumber_))
        return;
    templatePage_ = page;
    if (templateElements_)
        templateElements_->Flush();
    else if (page != 0)
        templateElements_ = std::make_unique<SizeRectArray>();
    if (templateKeys_)
        templateKeys_->Flush();
    else if (page != 0)
        templateKeys_ = std::make_unique<SizeRectArray>();
    if (page != 0) {
        // A template's own template is not loaded.
        ReadPageRecord(*templateElements_, nullptr, templateKeys_.get(), nullptr, nullptr, kPageMode,
                       static_cast<std::uint32_t>(page));
    }
    if (ownerIsCanvas_) {
        if (ActivePageEditor* editor = GetActivePageEditor())
            editor->InvalidateAll();
    }
    modified_ = true;
}

void SizeRectManager::ReloadGraphicKeys()
{
    graphicKeys_.Flush();
    ReadPageRecord(graphicKeys_, nullptr, nullptr, nullptr, nullptr, kKeySetMode, kGraphicPageKeys);
}
