#pragma once
// Accelerator tables: keys that send commands. A window with a table turns
// a matching key press (seen in PreProcessMsg, before the control with the
// focus gets it) into WM_COMMAND with the command id and code 1.

#include "platform/base/win_types.h"
#include "platform/ui/res_id.h"

#include <vector>

// Modifier flags of an accelerator.
constexpr UINT FSHIFT = 0x04;
constexpr UINT FCONTROL = 0x08;
constexpr UINT FALT = 0x10;

struct TAccelerator {
    UINT key = 0;        // virtual-key code ('A'..'Z', VK_PRIOR...)
    UINT modifiers = 0;  // FSHIFT, FCONTROL, FALT
    UINT command = 0;
};

void RegisterAcceleratorTable(TResId id, std::vector<TAccelerator> table);
const std::vector<TAccelerator>* FindAcceleratorTable(TResId id);
// The command of the key with the modifiers now held, or 0.
UINT TranslateAccelerator(const std::vector<TAccelerator>& table, UINT key);
