#pragma once
// TEdit: an edit control, single-line or multi-line (ES_MULTILINE). It keeps
// a text limit, a modify flag (set by the user's changes, cleared by
// SetText and ClearModify), the selection, a read-only state, and an
// optional validator that refuses keystrokes that would make the text
// invalid and checks the finished text when the focus leaves and before its
// dialog closes.
//
// Notifications to the parent: EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE then
// EN_CHANGE after every change (for a single-line edit also after SetText),
// EN_MAXTEXT when a character does not fit. Multi-line texts use "\r\n"
// between lines, as stored texts do.

#include "platform/ui/controls/static.h"

#include <memory>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class TValidator;

class TEdit : public TStatic {
public:
    TEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit = 0,
          bool multiline = false, TModule* module = nullptr);
    TEdit(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);
    ~TEdit() override;

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // The edit owns its validator.
    void SetValidator(TValidator* validator);
    TValidator* GetValidator() const { return validator_.get(); }
    // Is the text valid for the validator? With `reportError` the validator says why not.
    bool IsValid(bool reportError = false);
    bool CanClose() override;
    // Moves the text to or from a buffer of the text limit's size.
    UINT Transfer(void* buffer, TTransferDirection direction) override;

    void LimitText(UINT length);
    // The most characters the user may type (EM_LIMITTEXT).
    UINT GetLimitText() const { return limit_; }
    bool IsModified() const { return modified_; }
    void ClearModify() { modified_ = false; }
    void GetSelection(int& start, int& end) const;
    void SetSelection(int start, int end);
    // Replaces the selection.
    void Insert(const char* text);
    bool IsMultiLine() const { return (Attr.Style & ES_MULTILINE) != 0; }
    int GetNumLines() const;
    void SetReadOnly(bool readOnly);
    bool CanUndo() const;
    void Undo();

protected:
    void SetupWindow() override;
    QWidget* CreateWidget(QWidget* parent) override;
    void WidgetCreated() override;
    void WidgetReleased() override;
    void TextChanged() override;
    std::string ReadText() const override;
    void StyleChanged(DWORD oldStyle) override;
    void PrepareNativePaint() override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;
    void EvKillFocus(HWND gaining);

    // For an edit field that lives inside another control's widget.
    void AdoptLineEdit(QLineEdit* lineEdit);
    QLineEdit* LineEdit() const { return line_; }

private:
    void ConnectLineEdit();
    void OnTextChanged();
    int TextLength() const;
    bool HasSelection() const;
    // Multi-line positions: the programs count "\r\n" as two characters.
    int ToProgramPos(int qtPos) const;
    int ToQtPos(int programPos) const;

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    std::unique_ptr<TValidator> validator_;
    bool modified_ = false;
    int programmatic_ = 0;
    int errorsReported_ = 0;
    UINT limit_ = 0x7FFFFFFE;
};
