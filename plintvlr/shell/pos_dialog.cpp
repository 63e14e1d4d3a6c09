#include "plintvlr/shell/pos_dialog.h"

#include "plintvlr/shell/win_positioner.h"

namespace {

HWND ParentHandle(const TWindow& window)
{
    return window.GetParentO() ? window.GetParentO()->GetHandle() : nullptr;
}

}  // namespace

TPosDialog::TPosDialog(TWindow* parent, TResId resId, int positionId, TModule* module)
    : TDialog(parent, resId, module), positionId_(positionId)
{
}

TPosDialog::~TPosDialog() = default;

void TPosDialog::SetupWindow()
{
    TDialog::SetupWindow();
    if (positionId_ != 0)
        TWinPositioner(positionId_).Restore(ParentHandle(*this), GetHandle(), false);
}

void TPosDialog::CleanupWindow()
{
    if (positionId_ != 0)
        TWinPositioner(positionId_).Save(ParentHandle(*this), GetHandle());
    TDialog::CleanupWindow();
}
