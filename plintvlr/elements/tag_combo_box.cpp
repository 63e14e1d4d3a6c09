#include "plintvlr/elements/tag_combo_box.h"

#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tag_reference.h"
#include "platform/ui/window_api.h"

#include <string>

const TResponseTable TTagComboBox::Responses{&TComboBox::Responses, {
    OnSelfNotify<&TTagComboBox::EvSelChange>(CBN_SELCHANGE),
    OnMessage<&TTagComboBox::EvTagAdded>(kTagAddedNotice),
    OnMessage<&TTagComboBox::EvTagRemoved>(kTagRemovedNotice),
}};

TTagComboBox::TTagComboBox(TWindow* parent, int resourceId, int* boundTag, int filter, TModule* module)
    : TComboBox(parent, resourceId, kTextLimit, module),
      boundTag_(boundTag),
      analog_(_QSglobals.GetDatabase().GetAnalogRegistry()),
      digital_(_QSglobals.GetDatabase().GetDigitalRegistry()),
      filter_(filter)
{
}

TTagComboBox::~TTagComboBox()
{
    StopListening();
}

void TTagComboBox::SetupWindow()
{
    TComboBox::SetupWindow();
    if (filter_ != kDigitalOnly)
        Fill(analog_, false);
    if (filter_ != kAnalogOnly)
        Fill(digital_, true);
    FindCurrent();
}

void TTagComboBox::CleanupWindow()
{
    StopListening();
    TComboBox::CleanupWindow();
}

void TTagComboBox::StopListening()
{
    if (hearsAnalog_ && analog_)
        analog_->RemoveListener(this);
    if (hearsDigital_ && digital_)
        digital_->RemoveListener(this);
    hearsAnalog_ = hearsDigital_ = false;
}

void TTagComboBox::Fill(tagregistry* registry, bool digital)
{
    if (!registry)
        return;
    bool& hears = digital ? hearsDigital_ : hearsAnalog_;
    if (!hears)
        registry->AddListener(this);
    hears = true;
    std::string name;
    std::uint32_t id = 0;
    // The walk goes on from the registry's position, which a browser of the
    // registry may be keeping: walk from 0 and give the position back.
    const int kind = registry->GetIterationKind();
    const std::int32_t position = registry->GetIterationPosition();
    registry->SetIteration(kind, 0);
    while (registry->Next(name, id, kWalkForward)) {
        const int index = TComboBox::AddString(name.c_str());
        SetItemData(index, digital ? (id | kTagRefDigital) : id);
    }
    registry->SetIteration(kind, position);
}

void TTagComboBox::Leave(tagregistry* registry, bool digital)
{
    bool& hears = digital ? hearsDigital_ : hearsAnalog_;
    if (registry && hears)
        registry->RemoveListener(this);
    hears = false;
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (((GetItemData(i) & kTagRefDigital) != 0) == digital)
            DeleteString(i);
    }
}

int TTagComboBox::SetSelIndex(int index)
{
    const int result = TComboBox::SetSelIndex(index);
    *boundTag_ = index >= 0 && index < GetCount() ? static_cast<int>(GetItemData(index)) : 0;
    return result;
}

void TTagComboBox::ClearList()
{
    SetSelIndex(-1);
}

void TTagComboBox::FindCurrent()
{
    if (*boundTag_ > 0) {
        for (int i = 0; i < GetCount(); ++i) {
            if (static_cast<int>(GetItemData(i)) == *boundTag_) {
                SetSelIndex(i);
                return;
            }
        }
    }
    SetSelIndex(-1);
}

void TTagComboBox::FillList(int filter)
{
    const int old = filter_;
    if (filter == kAnalogOnly && old != kAnalogOnly)
        Leave(digital_, true);
    if (filter == kDigitalOnly && old != kDigitalOnly)
        Leave(analog_, false);
    if (old == kAnalogOnly && filter != kAnalogOnly)
        Fill(digital_, true);
    if (old == kDigitalOnly && filter != kDigitalOnly)
        Fill(analog_, false);
    filter_ = filter;
    // Only now are the new kind's entries there to be found: a bound tag
    // of the kind that went is replaced by tag 1 of the kind shown.
    const bool boundDigital = (*boundTag_ & kTagRefDigital) != 0;
    if (filter == kAnalogOnly && boundDigital) {
        *boundTag_ = 1;
        FindCurrent();
    } else if (filter == kDigitalOnly && *boundTag_ != 0 && !boundDigital) {
        *boundTag_ = kTagRefDigital | 1;
        FindCurrent();
    }
}

void TTagComboBox::FillList(bool analogOnly)
{
    FillList(analogOnly ? kAnalogOnly : kBothKinds);
}

bool TTagComboBox::Shows(int reference) const
{
    const bool digital = (reference & kTagRefDigital) != 0;
    return (filter_ != kAnalogOnly || !digital) && (filter_ != kDigitalOnly || digital);
}

void TTagComboBox::EvSelChange()
{
    const int index = TComboBox::GetSelIndex();
    if (index < 0)
        return;
    const int chosen = static_cast<int>(GetItemData(index));
    if (chosen == *boundTag_)
        return;
    const bool kindChanged = *boundTag_ == 0 || ((*boundTag_ ^ chosen) & kTagRefDigital) != 0;
    *boundTag_ = chosen;
    if (TWindow* parent = GetParentO())
        parent->SendMessage(kTagChosenMessage, static_cast<WPARAM>(GetId()), kindChanged ? 1 : 0);
}

LRESULT TTagComboBox::EvTagAdded(WPARAM name, LPARAM reference)
{
    const char* text = reinterpret_cast<const char*>(name);
    if (text && Shows(static_cast<int>(reference))) {
        const int index = TComboBox::AddString(text);
        SetItemData(index, static_cast<std::uintptr_t>(reference));
    }
    return 0;
}

LRESULT TTagComboBox::EvTagRemoved(WPARAM name, LPARAM)
{
    const char* text = reinterpret_cast<const char*>(name);
    if (!text)
        return 0;
    // Exactly the name: tags differing in case are different tags.
    for (int i = 0; i < GetCount(); ++i) {
        if (GetString(i) == text) {
            DeleteString(i);
            break;
        }
    }
    return 0;
}

LRESULT TTagComboBox::OnRegistryNotice(UINT message, WPARAM wParam, LPARAM lParam)
{
    return IsWindow() ? HandleMessage(message, wParam, lParam) : 0;
}
