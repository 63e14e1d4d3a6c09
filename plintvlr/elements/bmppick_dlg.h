#pragma once
// The bitmap picker: the modal dialog in which the engineer chooses a bitmap
// for a bitmap button. It lists every bitmap of the project's library, a
// "Null BMP" entry for no bitmap and, when files are allowed, the two-colour
// ".bmp" files of the current bitmap folder, which a folder browser changes.
// Choosing a file imports it into the library's first free slot. The dialog
// shows the selected picture's size and removes library bitmaps.
//
// The dialog always ends with IDCANCEL: the caller compares the slot behind
// its pointer with the old one. A cancel, or OK without a choice or with an
// import that failed, leaves the slot as it was.

#include "platform/ui/dialog.h"

#include <memory>
#include <string>
#include <vector>

class lbDraw;
class TButton;
class TEdit;
class TGlyphButton;
class TListBox;
class TQSBitmaps;
class TStatic;

// Resource and control ids.
inline constexpr int IDD_BITMAP_PICKER = 10500;
inline constexpr int kPickerPositionId = 10500;
inline constexpr int IDC_PICK_LIST = 196;
inline constexpr int IDC_PICK_X = 938;
inline constexpr int IDC_PICK_Y = 811;
inline constexpr int IDC_PICK_BYTES = 939;
inline constexpr int IDC_PICK_FOLDER = 211;
inline constexpr int IDC_PICK_REMOVE = 125;
inline constexpr int IDC_PICK_BROWSE = 127;
inline constexpr int IDC_PICK_OK = 8;
inline constexpr int IDC_PICK_HELP = 9;
// The folder button's picture and the dialog icon of the bitmap editors.
inline constexpr int IDB_FOLDER_GLYPH = 11201;
inline constexpr int IDI_BITMAP_DISPLAY = 11340;
inline constexpr int kPickerHelpContext = 45;

class bmppickDlg : public TDialog {
public:
    // The index of the "Null BMP" entry: no bitmap.
    static constexpr int kNullIndex = 32759;
    // The index of an entry made from a file.
    static constexpr int kFileIndex = -1;
    // A picture of this many bytes of pixel rows or more cannot be imported.
    static constexpr std::size_t kMaxImageSize = 65534;

    // resId 0 gives IDD_BITMAP_PICKER. `selected` holds the 0-based slot
    // shown (32759 or a negative value: none) and receives the choice.
    bmppickDlg(TWindow* parent, TResId resId, TQSBitmaps& library, bool allowFiles, int userValue, int* selected,
               TModule* module = nullptr);
    ~bmppickDlg() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    void CmPickOk();
    void CmHelp();
    void CmRemove();
    void CmBrowse();
    void EvSelChange();
    void EvDrawItem(UINT id, DRAWITEMSTRUCT& item);
    void EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item);

    void FillList();
    // Adds the folder's files (path: a folder ending in '\', or a file in
    // it to select); the list position to select.
    int AddFolderFiles(const std::string& path);
    void ShowPictureData();
    // Imports a file entry into the first free slot: the slot, or -1.
    int ImportEntry(const lbDraw& entry);
    lbDraw* EntryAt(int index) const;
    int AddEntry(std::unique_ptr<lbDraw> entry, int position);
    void RemoveEntryAt(int index);
    void EnableRemoveFor(const lbDraw* entry);

    TQSBitmaps& library_;
    bool allowFiles_;
    int userValue_;
    int* selected_;
    TListBox* list_;
    TEdit* width_;
    TEdit* height_;
    TEdit* bytes_;
    TStatic* folder_;
    TButton* remove_;
    TGlyphButton* browse_;
    std::vector<std::unique_ptr<lbDraw>> entries_;
};

// The folder last chosen in any picker, for the rest of the run: empty at
// start; once set it ends with a backslash.
std::string& BitmapPickerFolder();

// Installs the picker as the bitmap buttons' picker and has the main frame
// empty the picker folder when it is set up. The program calls it at start.
void RegisterBitmapPicker();
// The picker's dialog template, the folder glyph and the bitmap editors'
// icon; the first picker or bitmap sheet registers them.
void RegisterBitmapPickerResources();
