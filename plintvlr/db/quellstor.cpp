#include "plintvlr/db/quellstor.h"

#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <cstring>

namespace {

KeypadDialogs* g_keypads = nullptr;

const int kSpecialKeys1[kSpecialKeyCount] = {160, 161, 162, 164, 165, 166, 167, 168, 169, 172, 173};
const int kSpecialKeys2[kSpecialKeyCount] = {160, 161, 168, 164, 166, 162, 169, 163, 175, 172, 173};
const int kSpecialKeys3[kSpecialKeyCount] = {160, 161, 162, 163, 170, 164, 165, 168, 169, 172, 173};

struct TypeRow {
    int modelNameId;
    int transferCodeId;
    int displayWidth, displayHeight;
    int originX, originY;
    int touchWidth, touchHeight;
    int functionKeys;
    std::int32_t databaseSize;
    BYTE largeMemory, bitmapSupport, secondPort;
    std::uint32_t portMask;
    BYTE advancedProtocol, portPageFlag, defaultContrast;
    const int* specialKeys;
    int lastSKeyCode, maxKeyString;
};

// One row per panel type; index 0 and 12 are no panel type.
constexpr int kTypeCount = 25;
const TypeRow* RowOf(int type)
{
    static const TypeRow rows[kTypeCount] = {
        {},
        {kStrModelE, kStrCodeQSK, 256, 48, 34, 11, 0, 0, 6, 65535, 0, 0, 0, 3, 0, 0, 6, kSpecialKeys3, 133, 25},
        {kStrModelDPlus, kStrCodeQSK, 256, 48, 34, 11, 0, 0, 6, 65535, 0, 1, 0, 3, 0, 0, 6, kSpecialKeys3, 133, 25},
        {kStrModelRTCV, kStrCodeQSC, 192, 48, 67, 20, 16, 16, 6, 65535, 0, 1, 1, 7, 0, 0, 5, kSpecialKeys3, 133, 25},
        {kStrModelSWAV, kStrCodeQSK, 240, 112, 34, 11, 40, 16, 6, 65535, 0, 1, 0, 3, 0, 0, 5, kSpecialKeys3, 133, 25},
        {kStrModelSWBV, kStrCodeQSW, 320, 224, 45, 20, 1, 1, 6, 107000, 1, 1, 1, 7, 1, 0, 5, kSpecialKeys2, 133, 65},
        {kStrModelFMark2, kStrCodeQSH, 640, 168, 73, 20, 0, 0, 8, 65535, 0, 1, 1, 3, 0, 0, 7, kSpecialKeys1, 135, 25},
        {kStrModelFMark2, kStrCodeQSH, 640, 168, 73, 20, 0, 0, 8, 65535, 0, 1, 1, 3, 0, 0, 7, kSpecialKeys1, 135, 25},
        {kStrModelUXYAB, kStrCodeQSW, 640, 464, 0, 0, 1, 1, 0, 131072, 1, 1, 1, 7, 1, 0, 5, kSpecialKeys2, 139, 65},
        {kStrModelRTB, kStrCodeQSE, 240, 48, 34, 11, 0, 0, 6, 65535, 0, 1, 1, 7, 1, 0, 5, kSpecialKeys3, 133, 25},
        {kStrModelUXYC, kStrCodeQSW, 640, 464, 52, 21, 1, 1, 24, 131072, 1, 1, 1, 7, 1, 0, 5, kSpecialKeys2, 151, 65},
        {kStrModelRTA, kStrCodeQSD, 240, 48, 34, 11, 0, 0, 6, 65535, 0, 0, 0, 3, 0, 1, 31, kSpecialKeys3, 133, 25},
        {},
        {kStrModelUXYExp, kStrCodeQSW, 640, 464, 0, 0, 1, 1, 0, 204800, 1, 1, 1, 7, 1, 0, 5, kSpecialKeys2, 139, 65},
        {kStrModelSWAQ, kStrCodeQSE, 240, 112, 34, 11, 40, 16, 6, 131072, 0, 1, 1, 7, 1, 0, 6, kSpecialKeys3, 133, 25},
        {kStrModelMA, kStrCodeQSG, 120, 18, 11, 11, 0, 0, 5, 32767, 0, 0, 0, 1, 0, 1, 31, kSpecialKeys3, 132, 25},
        {kStrModelKA, kStrCodeQSG, 120, 18, 11, 11, 0, 0, 0, 32767, 0, 0, 0, 1, 0, 1, 31, kSpecialKeys3, 131, 25},
        {kStrModelMB, kStrCodeQSG, 120, 18, 11, 11, 0, 0, 5, 32767, 0, 0, 0, 1, 0, 1, 31, kSpecialKeys3, 132, 25},
        {kStrModelKB, kStrCodeQSG, 120, 18, 11, 11, 0, 0, 0, 32767, 0, 0, 0, 1, 0, 1, 31, kSpecialKeys3, 131, 25},
        {kStrModelLA, kStrCodeQSG, 96, 18, 11, 11, 0, 0, 6, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 133, 25},
        {kStrModelNA, kStrCodeQSG, 96, 36, 11, 11, 0, 0, 8, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 135, 25},
        {kStrModelPA, kStrCodeQSG, 120, 36, 11, 11, 0, 0, 8, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 135, 25},
        {kStrModelLA, kStrCodeQSG, 96, 18, 11, 11, 0, 0, 6, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 133, 25},
        {kStrModelNA, kStrCodeQSG, 96, 36, 11, 11, 0, 0, 8, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 135, 25},
        {kStrModelPA, kStrCodeQSG, 120, 36, 11, 11, 0, 0, 8, 32767, 0, 0, 0, 1, 0, 0, 31, kSpecialKeys3, 135, 25},
    };
    if (type < 1 || type >= kTypeCount || rows[type].modelNameId == 0)
        return nullptr;
    return &rows[type];
}

bool IsLargeGraphic(int t) { return t == 5 || t == 8 || t == 10 || t == 13; }
bool IsText(int t) { return t >= 15 && t <= 24; }
bool IsSmallGraphic(int t) { return (t >= 1 && t <= 4) || t == 9 || t == 11 || t == 14; }
bool IsWideScreen(int t) { return t == 8 || t == 10 || t == 13; }

void CopyText(const std::string& text, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

void SetKeypadDialogs(KeypadDialogs* dialogs)
{
    g_keypads = dialogs;
}

Quellstor::Quellstor(int panelType)
{
    touchCellWidth = touchCellHeight = 0;
    functionKeyCount = 6;
    largeMemory = 1;
    bitmapSupport = 1;
    secondPort = 1;
    portMask = 7;
    advancedProtocol = 0;
    portPageFlag = 0;
    type = panelType;
    if (const TypeRow* row = RowOf(panelType)) {
        modelNameId = row->modelNameId;
        transferCodeId = row->transferCodeId;
        displayWidth = row->displayWidth;
        displayHeight = row->displayHeight;
        displayOriginX = row->originX;
        displayOriginY = row->originY;
        touchCellWidth = row->touchWidth;
        touchCellHeight = row->touchHeight;
        functionKeyCount = row->functionKeys;
        databaseSize = row->databaseSize;
        largeMemory = row->largeMemory;
        bitmapSupport = row->bitmapSupport;
        secondPort = row->secondPort;
        portMask = row->portMask;
        advancedProtocol = row->advancedProtocol;
        portPageFlag = row->portPageFlag;
        defaultContrast = row->defaultContrast;
        specialKeys = row->specialKeys;
        lastSKeyCode = row->lastSKeyCode;
        maxKeyStringLength = row->maxKeyString;
    }
    const char* font = "ANSI Zobrel 5x8";
    charCellWidth = 6;
    charCellHeight = 8;
    if (type == 6 || type == 7) {
        font = "ANSI Zobrel 8x12";
        charCellWidth = 8;
        charCellHeight = 12;
    } else if (IsLargeGraphic(type)) {
        font = "ANSI Zobrel 8x14";
        charCellWidth = 8;
        charCellHeight = 14;
    } else if (IsText(type)) {
        font = "QS VZKA/MA 6x9";
        charCellWidth = 6;
        charCellHeight = 9;
    }
    CopyText(font, fontName, sizeof fontName);
    SetZoom(false);
}

int Quellstor::GetTouchKind() const
{
    if (touchCellWidth == 0 && touchCellHeight == 0)
        return 0;
    if (touchCellWidth == 1 && touchCellHeight == 1)
        return 1;
    return 2;
}

void Quellstor::SetZoom(bool flag)
{
    zoomFlag = flag;
    if (IsSmallGraphic(type))
        zoomFactor = flag ? 3.0f : 2.0f;
    else if (IsWideScreen(type))
        zoomFactor = flag ? 1.0f : 0.75f;
    else if (IsText(type))
        zoomFactor = flag ? 5.0f : 3.0f;
    else if (type == 5)
        zoomFactor = flag ? 2.0f : 1.0f;
    else
        zoomFactor = flag ? 1.2f : 1.0f;
}

bool Quellstor::IsLargeDisplay() const
{
    return type == 5 || type == 6 || type == 7 || IsWideScreen(type);
}

bool Quellstor::IsRTCV() const
{
    return type == 3;
}

int Quellstor::GetKeyLabelLength() const
{
    return type == 6 || type == 7 ? 9 : 5;
}

void Quellstor::ShowKeypadDialog(HWND parent, bool flag) const
{
    if (lastSKeyCode < 131 || !g_keypads)
        return;
    const int sKeys = lastSKeyCode - 131;
    const std::string caption = GetModelName();
    if (IsText(type))
        g_keypads->RunTextPanelKeypad(parent, caption, specialKeys, sKeys);
    else
        g_keypads->RunPanelKeypad(parent, caption, GetTouchKind() != 0,
                                  (type == 9 || type == 14) && !flag, specialKeys, sKeys);
}

int Quellstor::GetHandleSize() const
{
    if (IsSmallGraphic(type) || IsText(type))
        return 2;
    if (type == 7 || IsWideScreen(type))
        return 6;
    return 4;
}

PanelSize Quellstor::GetDefaultTouchSize() const
{
    if (type == 3 || type == 4 || type == 14)
        return {touchCellWidth, touchCellHeight};
    if (type == 5)
        return {32, 16};
    if (IsWideScreen(type))
        return {64, 32};
    return {};
}

PanelSize Quellstor::GetMaxBitmapSize() const
{
    if (!bitmapSupport)
        return {};
    return {displayWidth, IsWideScreen(type) ? displayHeight - 4 : displayHeight};
}

int Quellstor::GetContrastLevels() const
{
    if (IsLargeGraphic(type))
        return 32;
    if (type == 7)
        return 16;
    if (type == 11 || IsText(type))
        return 64;
    return 8;
}

int Quellstor::GetPrintScale() const
{
    switch (type) {
    case 1: case 2: return 488;
    case 3: return 388;
    case 4: case 9: case 11: case 14: return 470;
    case 5: return 460;
    case 8: case 10: case 13: return 835;
    case 15: case 16: case 17: case 18: case 21: case 24: return 319;
    case 19: case 20: case 22: case 23: return 255;
    default: return 831;
    }
}

std::string Quellstor::GetTypeCode() const
{
    return transferCodeId ? Str(transferCodeId) : std::string();
}

std::string Quellstor::GetModelName() const
{
    return modelNameId ? Str(modelNameId) : std::string();
}

void Quellstor::GetTypeCode(char* buffer, std::size_t size) const
{
    CopyText(GetTypeCode(), buffer, size);
}

void Quellstor::GetModelName(char* buffer, std::size_t size) const
{
    CopyText(GetModelName(), buffer, size);
}

int Quellstor::GetDefaultBacklightTimeout() const
{
    if (type == 4)
        return 0;
    if (type == 14)
        return 60;
    return 10;
}

int Quellstor::GetMaxCommsBlocks() const
{
    if (IsText(type))
        return 0;
    if (IsLargeGraphic(type))
        return 999;
    return type == 7 ? 250 : 100;
}

int Quellstor::GetMaxPages() const
{
    if (type == 13)
        return 1000;
    if (type == 5 || type == 8 || type == 10 || IsText(type))
        return 200;
    return 100;
}

int Quellstor::GetMaxAnalogTags() const
{
    if (IsText(type))
        return 100;
    return IsLargeGraphic(type) ? 1000 : 500;
}

int Quellstor::GetMaxDigitalTags() const
{
    return GetMaxAnalogTags();
}

int Quellstor::GetMaxOverviewGroups() const
{
    if (IsWideScreen(type))
        return 120;
    return IsText(type) ? 0 : 100;
}

int Quellstor::GetMaxPanelBit() const
{
    return IsLargeGraphic(type) ? 10200 : 5000;
}

int Quellstor::GetMaxPanelRegister() const
{
    return IsLargeGraphic(type) ? 1050 : 550;
}

int Quellstor::GetInternalRegisterCount() const
{
    return IsLargeGraphic(type) ? 2200 : 1000;
}

bool Quellstor::UsesStyleBitmaps() const
{
    return type == 4 || type == 14 || IsLargeGraphic(type);
}

bool Quellstor::IsLargeMemoryModel() const
{
    return IsLargeGraphic(type);
}

bool Quellstor::SupportsMeters() const
{
    return !(type == 1 || type == 2 || type == 3 || type == 11 || IsText(type));
}

int Quellstor::GetMaxPageSize() const
{
    return largeMemory ? 10000 : 4000;
}

int Quellstor::GetMaxTemplateSize() const
{
    return largeMemory ? 5000 : 1000;
}

int Quellstor::GetDefaultGlobalDataAddress() const
{
    if (IsLargeGraphic(type))
        return 0xD000;
    return type == 9 || type == 14 ? 0x4000 : 0;
}

bool Quellstor::SupportsAdvancedProtocol() const
{
    return !(type == 1 || type == 2 || type == 4);
}

bool Quellstor::HasRecipes() const
{
    switch (type) {
    case 5: case 7: case 8: case 9: case 10: case 11: case 13: case 14: case 15: case 17:
        return true;
    default:
        return false;
    }
}

bool Quellstor::IsTextPanel() const
{
    return IsText(type);
}

int Quellstor::GetProtocolFamilyBit() const
{
    if (type == 9 || type == 14)
        return 8;
    if (type == 11)
        return 16;
    if (type >= 15 && type <= 18)
        return 32;
    if (type >= 19 && type <= 21)
        return 64;
    if (type >= 22 && type <= 24)
        return 128;
    return 0;
}

bool Quellstor::IsNotLNPModel() const
{
    return !(type >= 19 && type <= 24);
}
