#include "plintvlr/elements/bmppick_dlg.h"

#include "platform/base/embedded_file.h"
#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/glyph_button.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "plintvlr/shell/controls/lb_draw.h"
#include "plintvlr/shell/mdi_dialog.h"
#include "plintvlr/shell/win_positioner.h"

#include <algorithm>

std::span<const EmbeddedFile> BitmapElementPictureFiles();

namespace {

// List entries are this many pixels apart across.
constexpr int kColumnWidth = 62;
// The frame round each entry, and its colours.
constexpr int kFrameWidth = 3;
// Inset of the picture within its entry on each side.
constexpr int kEntryInset = 3;
constexpr std::size_t kFolderTextLimit = 100;

void RegisterPickerTemplate()
{
    const DWORD list = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_MULTICOLUMN | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                       WS_HSCROLL | WS_BORDER | WS_TABSTOP;
    const DWORD field = ES_READONLY | WS_BORDER;
    RegisterDialogTemplate(IDD_BITMAP_PICKER, {Str(kStrPickerCaption), 0, 0, 262, 178,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        LText(Str(kStrPickerSelect), -1, 7, 5, 100, 9),
        ListBox(IDC_PICK_LIST, 7, 15, 196, 98, list),
        Control("", IDC_PICK_BROWSE, "Button", BS_PUSHBUTTON | WS_TABSTOP, 209, 15, 20, 16),
        PushButton(Str(kStrPickerRemove), IDC_PICK_REMOVE, 209, 36, 46, 14, WS_TABSTOP),
        DefPushButton(Str(kStrPickerOk), IDC_PICK_OK, 209, 63, 46, 14, WS_TABSTOP),
        PushButton(Str(kStrPickerCancel), IDCANCEL, 209, 81, 46, 14, WS_TABSTOP),
        PushButton(Str(kStrPickerHelp), IDC_PICK_HELP, 209, 99, 46, 14, WS_TABSTOP),
        GroupBox(Str(kStrPickerData), -1, 7, 118, 112, 54),
        LText(Str(kStrPickerDimensions), -1, 13, 130, 60, 9),
        LText(Str(kStrPickerX), -1, 13, 142, 8, 9),
        EditText(IDC_PICK_X, 23, 140, 30, 12, field),
        LText(Str(kStrPickerY), -1, 60, 142, 8, 9),
        EditText(IDC_PICK_Y, 70, 140, 30, 12, field),
        LText(Str(kStrPickerBytes), -1, 13, 157, 24, 9),
        EditText(IDC_PICK_BYTES, 40, 155, 60, 12, field),
        GroupBox(Str(kStrPickerFolderGroup), -1, 125, 118, 130, 54),
        LText("", IDC_PICK_FOLDER, 131, 130, 118, 38, SS_NOPREFIX),
    }});
}

// The folder of a path: up to and including its last backslash.
std::string FolderPart(const std::string& path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string& BitmapPickerFolder()
{
    static std::string folder;
    return folder;
}

void RegisterBitmapPickerResources()
{
    RegisterPickerTemplate();
    const auto files = BitmapElementPictureFiles();
    if (const EmbeddedFile* glyph = FindEmbeddedFile(files, "folder_glyph.bmp"))
        RegisterBitmapResource(IDB_FOLDER_GLYPH, glyph->data, glyph->size);
    if (const EmbeddedFile* icon = FindEmbeddedFile(files, "bitmap_display_icon.bmp"))
        RegisterIconResource(IDI_BITMAP_DISPLAY, icon->data, icon->size);
}

void RegisterBitmapPicker()
{
    // The template and pictures are registered by the first picker: the
    // program calls this before its application object exists.
    SetBitmapPicker([](TWindow& parent, TQSBitmaps& library, bool allowFiles, int userValue, int& slot) {
        bmppickDlg(&parent, TResId(), library, allowFiles, userValue, &slot).Execute();
    });
    RegisterFrameLifeSteps([] { BitmapPickerFolder().clear(); }, nullptr);
}

// --- The dialog ---------------------------------------------------------------

const TResponseTable bmppickDlg::Responses{&TDialog::Responses, {
    OnCommand<&bmppickDlg::CmPickOk>(IDC_PICK_OK),
    OnCommand<&bmppickDlg::CmHelp>(IDC_PICK_HELP),
    OnCommand<&bmppickDlg::CmRemove>(IDC_PICK_REMOVE),
    OnCommand<&bmppickDlg::CmBrowse>(IDC_PICK_BROWSE),
    OnNotify<&bmppickDlg::EvSelChange>(IDC_PICK_LIST, LBN_SELCHANGE),
    OnMessage<&bmppickDlg::EvDrawItem>(WM_DRAWITEM),
    OnMessage<&bmppickDlg::EvMeasureItem>(WM_MEASUREITEM),
}};

bmppickDlg::bmppickDlg(TWindow* parent, TResId resId, TQSBitmaps& library, bool allowFiles, int userValue,
                       int* selected, TModule* module)
    : TDialog(parent, resId.IsNull() ? TResId(IDD_BITMAP_PICKER) : resId, module),
      library_(library),
      allowFiles_(allowFiles),
      userValue_(userValue),
      selected_(selected),
      list_(new TListBox(this, IDC_PICK_LIST)),
      width_(new TEdit(this, IDC_PICK_X, 5)),
      height_(new TEdit(this, IDC_PICK_Y, 5)),
      bytes_(new TEdit(this, IDC_PICK_BYTES, 10)),
      folder_(new TStatic(this, IDC_PICK_FOLDER, kFolderTextLimit)),
      remove_(new TButton(this, IDC_PICK_REMOVE)),
      browse_(new TGlyphButton(this, IDC_PICK_BROWSE, IDB_FOLDER_GLYPH))
{
    if (!FindDialogTemplate(IDD_BITMAP_PICKER))
        RegisterBitmapPickerResources();
}

bmppickDlg::~bmppickDlg() = default;

void bmppickDlg::SetupWindow()
{
    TDialog::SetupWindow();
    std::string& folder = BitmapPickerFolder();
    if (folder.empty())
        folder = ShortenDriveRoot(_QSglobals.GetProgramDirectory()) + Str(kStrBitmapsFolder) + "\\";

    FillList();
    list_->SetColumnWidth(kColumnWidth);
    if (!allowFiles_)
        browse_->EnableWindow(false);

    const int wanted = selected_ ? *selected_ : -1;
    if (wanted < 0) {
        remove_->EnableWindow(false);
    } else {
        for (int i = 0; i < list_->GetCount(); ++i) {
            const lbDraw* entry = EntryAt(i);
            if (entry->GetBitmapIndex() == kFileIndex) {
                remove_->EnableWindow(false);
                break;
            }
            if (entry->GetBitmapIndex() == wanted) {
                list_->SetSelIndex(i);
                list_->SetCaretIndex(i);
                break;
            }
        }
    }
    ShowPictureData();
    EnableRemoveFor(EntryAt(list_->GetSelIndex()));
    TWinPositioner(kPickerPositionId).Restore(GetParent(), GetHandle(), false);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIcon(GetModule(), IDI_BITMAP_DISPLAY)));
}

void bmppickDlg::CleanupWindow()
{
    TWinPositioner(kPickerPositionId).Save(GetParent(), GetHandle());
    TDialog::CleanupWindow();
}

// --- The list ---------------------------------------------------------------

lbDraw* bmppickDlg::EntryAt(int index) const
{
    if (index < 0 || index >= list_->GetCount())
        return nullptr;
    return reinterpret_cast<lbDraw*>(list_->GetItemData(index));
}

int bmppickDlg::AddEntry(std::unique_ptr<lbDraw> entry, int position)
{
    entry->SetColumns(1);
    entry->SetShowText(userValue_);
    const int index = list_->InsertString(entry->GetText(), position);
    list_->SetItemData(index, reinterpret_cast<std::uintptr_t>(entry.get()));
    entries_.push_back(std::move(entry));
    return index;
}

void bmppickDlg::RemoveEntryAt(int index)
{
    lbDraw* entry = EntryAt(index);
    list_->DeleteString(index);
    std::erase_if(entries_, [entry](const std::unique_ptr<lbDraw>& e) { return e.get() == entry; });
}

void bmppickDlg::FillList()
{
    for (int slot = 0; slot < TQSBitmaps::kSlotCount; ++slot) {
        if (!library_.HasBitmap(slot))
            continue;
        auto entry = std::make_unique<lbDraw>(*library_.GetDib(slot), library_.GetName(slot).c_str());
        entry->SetBitmapIndex(slot);
        AddEntry(std::move(entry), -1);
    }
    auto none = std::make_unique<lbDraw>(LoadDibResource(GetModule(), kNoBitmapPicture), Str(kStrPickerNullBitmap));
    none->SetBitmapIndex(kNullIndex);
    AddEntry(std::move(none), 0);
    if (allowFiles_)
        list_->SetSelIndex(AddFolderFiles(BitmapPickerFolder()));
    folder_->SetText(FolderPart(BitmapPickerFolder()).c_str());
}

int bmppickDlg::AddFolderFiles(const std::string& path)
{
    if (path.empty())
        return 0;
    std::string folder = FolderPart(path);
    std::string selectName = path.substr(folder.size());
    if (folder.empty())
        folder = folder_->GetText();
    folder_->SetText(folder.c_str());

    int position = list_->GetCount() - 1;
    const std::string posixFolder = ToPosixPath(folder);
    for (const std::string& name : ListDir(posixFolder, "*.bmp")) {
        const std::string file = JoinPath(posixFolder, name);
        if (DirExists(file) || FileSizeOf(file) <= 15)
            continue;
        auto entry = std::make_unique<lbDraw>(file.c_str(), nullptr);
        // Panels show two-colour pictures only.
        if (!entry->HasPicture() || entry->GetDib()->NumColors() != 2)
            continue;
        entry->SetBitmapIndex(kFileIndex);
        const int index = AddEntry(std::move(entry), -1);
        if (name == selectName)
            position = index;
    }
    return position;
}

void bmppickDlg::ShowPictureData()
{
    const lbDraw* entry = EntryAt(list_->GetSelIndex());
    const TDib* dib = entry ? entry->GetDib() : nullptr;
    if (!dib) {
        width_->SetText("");
        height_->SetText("");
        bytes_->SetText("");
        return;
    }
    width_->SetText(std::to_string(dib->Width()).c_str());
    height_->SetText(std::to_string(dib->Height()).c_str());
    bytes_->SetText(std::to_string(dib->ImageSize()).c_str());
}

void bmppickDlg::EnableRemoveFor(const lbDraw* entry)
{
    if (!entry)
        return;
    const int index = entry->GetBitmapIndex();
    remove_->EnableWindow(index >= 0 && index < TQSBitmaps::kSlotCount);
}

void bmppickDlg::EvSelChange()
{
    ShowPictureData();
    EnableRemoveFor(EntryAt(list_->GetSelIndex()));
}

void bmppickDlg::EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item)
{
    if (id != IDC_PICK_LIST)
        return;
    const int baseHeight = HIWORD(GetDialogBaseUnits());
    item.itemHeight = static_cast<UINT>(std::max(1, 6 * baseHeight - 12));
}

void bmppickDlg::EvDrawItem(UINT id, DRAWITEMSTRUCT& item)
{
    lbDraw* entry = id == IDC_PICK_LIST ? reinterpret_cast<lbDraw*>(item.itemData) : nullptr;
    if (!entry || !item.hDC || !(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
        DefaultProcessing();
        return;
    }
    entry->DrawItem(*list_, item, 0, kEntryInset, kEntryInset);
    const bool selected = item.itemState & ODS_SELECTED;
    TDC& dc = *item.hDC;
    TRect frame = item.rcItem;
    frame.bottom -= GetSystemMetrics(SM_CYHSCROLL) + 1;
    dc.SaveDC();
    dc.SelectObject(TPen(selected ? TColor::Black : TColor(GetSysColor(COLOR_MENU)), kFrameWidth, PS_INSIDEFRAME));
    dc.SelectObject(TBrush::Hollow());
    dc.Rectangle(frame);
    dc.RestoreDC();
    if (selected)
        EnableRemoveFor(entry);
}

// --- Commands ---------------------------------------------------------------

int bmppickDlg::ImportEntry(const lbDraw& entry)
{
    const std::string* path = entry.GetPath();
    if (!path)
        return -1;
    if (entry.GetDib() && entry.GetDib()->ImageSize() >= kMaxImageSize) {
        TApp::MessageBox(nullptr, GetHandle(), Str(kStrBitmapTooLargeForPanel), Str(kStrApplicationMessage), MB_OK);
        return -1;
    }
    const int slot = library_.FindFreeSlot();
    if (slot < 0)
        return -1;
    int outSlot = -1;
    library_.ImportFile(*path, slot, outSlot, false);
    return outSlot;
}

void bmppickDlg::CmPickOk()
{
    const lbDraw* entry = EntryAt(list_->GetSelIndex());
    if (entry) {
        int index = entry->GetBitmapIndex();
        if (index == kFileIndex)
            index = ImportEntry(*entry);
        if (index != -1 && selected_)
            *selected_ = index;
    }
    CloseWindow(IDCANCEL);
}

void bmppickDlg::CmHelp()
{
    ShowHelpTopic(GetHandle(), kPickerHelpContext);
}

void bmppickDlg::CmRemove()
{
    const int selection = list_->GetSelIndex();
    const lbDraw* entry = EntryAt(selection);
    if (!entry)
        return;
    const int slot = entry->GetBitmapIndex();
    if (slot < 0 || slot >= TQSBitmaps::kSlotCount)
        return;
    RemoveEntryAt(selection);
    library_.DeleteBitmap(slot);
    remove_->EnableWindow(false);
}

void bmppickDlg::CmBrowse()
{
    std::string& current = BitmapPickerFolder();
    std::string folder = current.empty() ? current : current.substr(0, current.size() - 1);
    if (!BrowseForFolder(this, Str(kStrPickerBrowseTitle), folder, Str(kStrPickerBrowseCaption)))
        return;
    current = folder + "\\";
    for (int i = list_->GetCount() - 1; i >= 0; --i)
        if (EntryAt(i)->GetBitmapIndex() == kFileIndex)
            RemoveEntryAt(i);
    list_->SetSelIndex(AddFolderFiles(current));
    ShowPictureData();
}
