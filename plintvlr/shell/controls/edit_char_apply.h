#pragma once
// How an edit field applies the outcome of a character rule
// (edit_char_rules.h) to its window.

#include "plintvlr/shell/controls/edit_char_rules.h"

class TEdit;

// The field's text and selection now.
TEditState ReadEditState(const TEdit& edit);

// Called from the field's WM_CHAR handler with the state the rule started
// from. A plain insertion or deletion is left to the field's own handling, so
// it is typed as any key is; any other outcome replaces the text and
// selection, which counts as the user's change (the field is modified).
// A read-only field is left to its own handling, which types nothing.
void ApplyEditChar(TEdit& edit, char c, const TEditState& before, const TEditCharResult& result);
