#pragma once
// CNodeIdDlg: asks for the fieldbus node of the panel (2 to 127) and, for
// an upload, whether it runs in the background. Anything but a whole number
// from 2 to 127 clears the field and keeps the dialog open.

#include "platform/ui/dialog.h"

class CNodeIdDlg : public TDialog {
public:
    // `background` may be null; the box shows only when `showBackground`.
    CNodeIdDlg(TWindow* parent, int* nodeId, int* background, bool showBackground);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    static constexpr int kLowestNode = 2;
    static constexpr int kHighestNode = 127;
    // The node of a typed text, or -1 for anything else.
    static int ParseNodeId(const std::string& text);

protected:
    void SetupWindow() override;
    void CmOk() override;

private:
    int* nodeId_;
    int* background_;
    bool showBackground_;
};
