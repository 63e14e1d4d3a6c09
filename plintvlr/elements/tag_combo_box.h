#pragma once
// TTagComboBox: the drop-down list of the project's tag names wherever a tag
// is picked. It is bound to an integer of its parent that holds the chosen
// tag reference (0 none, digital references with 0x8000), fills itself from
// the open project's analog and/or digital tag registries, follows tags
// added to and removed from them while it is open, and tells its parent of
// the user's choice with kTagChosenMessage.

#include "plintvlr/db/tag_registry.h"
#include "platform/ui/controls/combo_box.h"

class Atag_registry;
class Dtag_registry;

// Sent by a tag combo box to its parent when the user chose another tag:
// wParam the combo's id, lParam 1 when the kind (analog or digital) differs
// from the tag before or there was none, else 0.
inline constexpr UINT kTagChosenMessage = 1434;

class TTagComboBox : public TComboBox, public RegistryListener {
public:
    // Kind filters.
    enum : int { kBothKinds = 0, kAnalogOnly = 1, kDigitalOnly = 2 };
    static constexpr UINT kTextLimit = 33;

    TTagComboBox(TWindow* parent, int resourceId, int* boundTag, int filter = kBothKinds, TModule* module = nullptr);
    ~TTagComboBox() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Selects the entry and binds its tag; -1 or an invalid index binds none.
    int SetSelIndex(int index) override;
    // No entry selected and no tag bound.
    void ClearList() override;
    // Selects the bound tag's entry; binds none when it has none.
    void FindCurrent();
    // Switches the kinds shown. A bound tag of a kind no longer shown gives
    // way to tag 1 of the kind shown, or to none when that does not exist.
    void FillList(int filter);
    // true: analog tags only; false: both kinds.
    void FillList(bool analogOnly);

    int GetFilter() const { return filter_; }
    int GetBoundTag() const { return *boundTag_; }

    LRESULT OnRegistryNotice(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

    void EvSelChange();
    LRESULT EvTagAdded(WPARAM name, LPARAM reference);
    LRESULT EvTagRemoved(WPARAM name, LPARAM);

private:
    bool Shows(int reference) const;
    void Fill(tagregistry* registry, bool digital);
    void Leave(tagregistry* registry, bool digital);
    void StopListening();

    int* boundTag_;
    Atag_registry* analog_;
    Dtag_registry* digital_;
    int filter_;
    bool hearsAnalog_ = false;
    bool hearsDigital_ = false;
};
