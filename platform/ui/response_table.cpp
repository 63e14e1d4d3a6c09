#include "platform/ui/response_table.h"

template <class Match>
const TResponseEntry* TResponseTable::Find(Match match) const
{
    for (const TResponseEntry& entry : entries_) {
        if (match(entry))
            return &entry;
    }
    if (base_) {
        if (const TResponseEntry* entry = base_->Find(match))
            return entry;
    }
    return secondBase_ ? secondBase_->Find(match) : nullptr;
}

const TResponseEntry* TResponseTable::FindMessage(UINT msg) const
{
    return Find([msg](const TResponseEntry& e) { return e.kind == TResponseKind::Message && e.msg == msg; });
}

const TResponseEntry* TResponseTable::FindCommand(UINT id, UINT code) const
{
    return Find([id, code](const TResponseEntry& e) {
        if (e.id != id)
            return false;
        // Menus send code 0, accelerators 1, a button's click BN_CLICKED (0).
        if (e.kind == TResponseKind::Command)
            return code == 0 || code == 1;
        return e.kind == TResponseKind::Notify && e.code == code;
    });
}

const TResponseEntry* TResponseTable::FindSelfNotify(UINT code) const
{
    return Find([code](const TResponseEntry& e) { return e.kind == TResponseKind::SelfNotify && e.code == code; });
}

const TResponseEntry* TResponseTable::FindEnabler(UINT id) const
{
    return Find([id](const TResponseEntry& e) { return e.kind == TResponseKind::Enabler && e.id == id; });
}
