#include "plintvlr/elements/dyn_combo_box.h"

namespace {

constexpr std::size_t kInitialRoom = 11;

}  // namespace

TDynComboBox::TDynComboBox(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TComboBox(parent, resourceId, textLimit, module)
{
    entries_.reserve(kInitialRoom);
}

TDynComboBox::~TDynComboBox() = default;

int TDynComboBox::AddString(const char* text)
{
    entries_.emplace_back(text ? text : "");
    return static_cast<int>(entries_.size()) - 1;
}

int TDynComboBox::ShownAt(const std::string& text) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (GetString(i) == text)
            return i;
    }
    return -1;
}

int TDynComboBox::SelectIndex(int n)
{
    if (n < 0 || n >= GetEntryCount())
        return -1;
    const std::string& text = entries_[static_cast<std::size_t>(n)];
    int at = ShownAt(text);
    if (at < 0)
        at = TComboBox::AddString(text.c_str());
    return TComboBox::SetSelIndex(at);
}

int TDynComboBox::SetIndex(int n)
{
    if (n < 0 || n >= GetEntryCount())
        return -1;
    const int at = ShownAt(entries_[static_cast<std::size_t>(n)]);
    if (at < 0)
        return GetCount();
    const bool wasSelected = GetSelIndex() == n;
    const int result = DeleteString(at);
    if (wasSelected && GetCount() > 0)
        TComboBox::SetSelIndex(0);
    return result;
}

int TDynComboBox::GetSelIndex() const
{
    const int at = TComboBox::GetSelIndex();
    if (at < 0)
        return -1;
    const std::string text = GetString(at);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}
