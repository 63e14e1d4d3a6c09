#pragma once
// The description of one panel type: a small value record built on the stack
// from a type number (1-24) and then asked. Everything here is fixed by the
// type; nothing is read from files. Type 12 and numbers outside 1-24 are no
// panel type: such a record keeps the defaults and zero sizes.

#include "platform/base/win_types.h"

#include <cstdint>
#include <string>

struct PanelSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const PanelSize&, const PanelSize&) = default;
};

// The macro keypad dialogs live with the operator elements, which are built on
// the user interface; the panel description reaches them through this
// interface, which that code installs at start-up.
class KeypadDialogs {
public:
    virtual ~KeypadDialogs() = default;
    // keyMADlg, the keypad of the text panels.
    virtual void RunTextPanelKeypad(HWND parent, const std::string& caption,
                                    const int* specialKeys, int sKeyCount) = 0;
    // key_SWAVDlg, the keypad of the other panel types.
    virtual void RunPanelKeypad(HWND parent, const std::string& caption, bool hasTouch,
                                bool option, const int* specialKeys, int sKeyCount) = 0;
};
// Installs the keypad dialogs (none: the keypad query shows nothing). The
// caller keeps ownership.
void SetKeypadDialogs(KeypadDialogs* dialogs);

// Number of key codes in each special-key table.
constexpr int kSpecialKeyCount = 11;

class Quellstor {
public:
    explicit Quellstor(int type);

    // Fields, in the record's order. Callers read some of them directly (the
    // touch cell, the character cell and font, the function-key count, the
    // large-memory, port page and advanced protocol flags).
    int displayWidth = 0;
    int displayHeight = 0;
    int touchCellWidth = 0;
    int touchCellHeight = 0;
    int charCellWidth = 0;
    int charCellHeight = 0;
    char fontName[20] = {};
    int type = 0;
    int displayOriginX = 0;
    int displayOriginY = 0;
    int functionKeyCount = 0;
    float zoomFactor = 1.0f;
    bool zoomFlag = false;
    BYTE largeMemory = 0;
    BYTE bitmapSupport = 0;
    BYTE portPageFlag = 0;
    BYTE secondPort = 0;
    std::uint32_t portMask = 0;
    BYTE advancedProtocol = 0;
    int transferCodeId = 0;  // string-table id; 0 = none
    int modelNameId = 0;     // string-table id; 0 = none
    BYTE defaultContrast = 0;
    std::int32_t databaseSize = 0;
    const int* specialKeys = nullptr;  // kSpecialKeyCount codes, or none
    int lastSKeyCode = 0;
    int maxKeyStringLength = 0;

    int GetTouchKind() const;
    void SetZoom(bool flag);
    bool IsLargeDisplay() const;
    bool IsRTCV() const;
    int GetKeyLabelLength() const;
    void ShowKeypadDialog(HWND parent, bool flag) const;
    int GetHandleSize() const;
    PanelSize GetDefaultTouchSize() const;
    PanelSize GetMaxBitmapSize() const;
    int GetContrastLevels() const;
    int GetPrintScale() const;
    // Copy the text into the buffer (at most size - 1 characters and a NUL).
    void GetTypeCode(char* buffer, std::size_t size) const;
    void GetModelName(char* buffer, std::size_t size) const;
    std::string GetTypeCode() const;
    std::string GetModelName() const;
    int GetDefaultContrast() const { return defaultContrast; }
    int GetDefaultBacklightTimeout() const;
    int GetMaxCommsBlocks() const;
    int GetMaxPages() const;
    int GetMaxAnalogTags() const;
    int GetMaxDigitalTags() const;
    int GetMaxOverviewGroups() const;
    int GetMaxPanelBit() const;
    int GetMaxPanelRegister() const;
    int GetInternalRegisterCount() const;
    std::int32_t GetDatabaseSize() const { return databaseSize; }
    int GetLastSKeyCode() const { return lastSKeyCode; }
    int GetMaxKeyStringLength() const { return maxKeyStringLength; }
    bool UsesStyleBitmaps() const;
    bool IsLargeMemoryModel() const;
    bool SupportsMeters() const;
    int GetMaxPageSize() const;
    int GetMaxTemplateSize() const;
    bool HasSecondPort() const { return secondPort != 0; }
    std::uint32_t GetPortMask() const { return portMask; }
    int GetDefaultGlobalDataAddress() const;
    bool SupportsAdvancedProtocol() const;
    bool HasRecipes() const;
    bool IsTextPanel() const;
    bool IsGraphicPanel() const { return !IsTextPanel(); }
    int GetProtocolFamilyBit() const;
    bool IsNotLNPModel() const;
};
