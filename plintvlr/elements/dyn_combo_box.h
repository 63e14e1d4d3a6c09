#pragma once
// TDynComboBox: a combo box that owns a fixed list of texts and shows, on
// demand, some of them in its drop-down list. Entries are counted by their
// place in the owned list, not in the drop-down list.

#include "platform/ui/controls/combo_box.h"

#include <string>
#include <vector>

class TDynComboBox : public TComboBox {
public:
    TDynComboBox(TWindow* parent, int resourceId, UINT textLimit, TModule* module = nullptr);
    ~TDynComboBox() override;

    // Appends a text to the owned list; the drop-down list stays as it is.
    int AddString(const char* text) override;
    // Shows entry n in the drop-down list and selects it; -1 for a bad n.
    int SelectIndex(int n);
    // Takes entry n out of the drop-down list; when it was the selected one
    // the first entry left is selected. -1 for a bad n.
    int SetIndex(int n);
    // The owned-list index of the selected entry; -1 when none is selected.
    int GetSelIndex() const override;

    int GetEntryCount() const { return static_cast<int>(entries_.size()); }

private:
    // The drop-down list's place of an entry's text; -1 when not shown.
    int ShownAt(const std::string& text) const;

    std::vector<std::string> entries_;
};
