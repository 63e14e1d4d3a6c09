#pragma once
// TTextGadget: a text in a gadget window (a status bar pane), aligned left,
// centred or right, as wide as `numChars` average characters of the
// window's font unless it is as wide as possible.

#include "platform/ui/gadget.h"

#include <string>

class TTextGadget : public TGadget {
public:
    enum TAlign { Left, Center, Right };

    TTextGadget(int id = 0, TBorderStyle borderStyle = Recessed, TAlign align = Left, UINT numChars = 10,
                const char* text = nullptr);

    const char* GetText() const { return text_.c_str(); }
    void SetText(const char* text);
    TAlign GetAlign() const { return align_; }
    void SetAlign(TAlign align);
    UINT GetNumChars() const { return numChars_; }
    void SetNumChars(UINT numChars);

protected:
    TSize ContentsSize() override;
    void PaintContents(QPainter& painter, const QRect& inner) override;

private:
    std::string text_;
    TAlign align_;
    UINT numChars_;
};
