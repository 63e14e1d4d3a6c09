#pragma once
// lbDraw: one entry of an owner-drawn list box of bitmaps (the bitmap picker
// lists the project's bitmaps with them, the push-button dialog its button
// styles, two to an item). It owns a copy of its bitmap, a name of at most
// 32 characters, the path of the file it was loaded from when it was, and
// one value kept for the caller. It is not a window: the list box's owner
// calls DrawItem from its WM_DRAWITEM handling.

#include "platform/base/dib.h"
#include "platform/ui/messages.h"

#include <memory>
#include <string>

class TListBox;

class lbDraw {
public:
    static constexpr int kMaxName = 32;

    // A copy of the bitmap; the name when one is given.
    lbDraw(const TDib& bitmap, const char* name);
    // The bitmap of a BMP file, and the file name as the path. Without a name
    // the entry is named after the file: its last component (after the last
    // ':', '\' or '/' that is not the first character) without the extension
    // (from the last '.' that is not the component's first character).
    lbDraw(const char* fileName, const char* name);
    virtual ~lbDraw();
    lbDraw(const lbDraw&) = delete;
    lbDraw& operator=(const lbDraw&) = delete;

    // Draws the bitmap into column `column` of the item's `columns` equal
    // parts, `leftInset` and `rightInset` pixels in and a pixel more on each
    // side, above a horizontal scroll bar's height at the bottom (and, with
    // show text, above the item's text, which is written there). The item's
    // background, selection and focus are the owner's to draw.
    void DrawItem(TListBox& listBox, const DRAWITEMSTRUCT& item, int column, int leftInset, int rightInset);

    void SetShowText(int showText) { showText_ = showText; }
    void SetColumns(int columns) { columns_ = columns; }

    // A copy of the bitmap replaces the entry's.
    void SetDib(const TDib& bitmap);
    // The entry's bitmap (still the entry's); null for an entry whose file
    // held no readable bitmap.
    TDib* GetDib() const { return bitmap_.get(); }
    // An entry made from a file whose bitmap could not be read has no picture
    // and says why.
    bool HasPicture() const { return bitmap_ != nullptr; }
    DibError GetLoadError() const { return loadError_; }

    // Copies the name and its NUL into `buffer` (room for kMaxName + 1
    // characters) and answers its length.
    int GetText(char* buffer) const;
    const char* GetText() const { return name_; }
    // Names longer than kMaxName characters are cut to it.
    void SetText(const char* text);

    void SetBitmapIndex(int index) { callerValue_ = index; }
    int GetBitmapIndex() const { return callerValue_; }

    // False when the entry was not made from a file; otherwise copies the
    // path and its NUL into `buffer` (room for the path and its NUL) and
    // answers true.
    bool GetBitmapName(char* buffer) const;
    const std::string* GetPath() const { return path_.get(); }

    // The name an entry made from that file without a name gets (uncut).
    static std::string NameFromFile(const std::string& fileName);

private:
    char name_[kMaxName + 1] = {};
    int showText_ = 0;
    int columns_ = 1;
    int callerValue_ = 0;
    std::unique_ptr<std::string> path_;
    std::unique_ptr<TDib> bitmap_;
    DibError loadError_ = DibError::None;
};
