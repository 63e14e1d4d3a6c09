#include "plintvlr/db/quellstor.h"

#include "plintvlr/db/qs_globals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every panel type as the product sheet of each model describes it.
struct TypeCase {
    int type;
    const char* model;
    const char* code;
    int dispW, dispH, touchW, touchH, cellW, cellH;
    const char* font;
    int fkeys;
    int dbSize;
    int largeMem, bitmaps, secondPort, portMask, advanced, portPage, contrast, lastSKey, keyString;
    int commsBlocks, pages, tags, ovGroups, familyBit;
    bool recipes;
    int backlight, contrastLevels, handle, printScale;
    float zoom, zoomUp;
};

const char* kF58 = "ANSI Zobrel 5x8";
const char* kF812 = "ANSI Zobrel 8x12";
const char* kF814 = "ANSI Zobrel 8x14";
const char* kF69 = "QS VZKA/MA 6x9";

const TypeCase kTypes[] = {
    // type model                    code   disp      touch   cell  font  fk dbsize  lm bm 2p mk ad pp ct  S   ks   cb   pg   tags ov  fam rec    bl ctl hs  ps   zoom
    {1, "Quellstor E", "QSK", 256, 48, 0, 0, 6, 8, kF58, 6, 65535, 0, 0, 0, 3, 0, 0, 6, 133, 25, 100, 100, 500, 100, 0, false, 10, 8, 2, 488, 2.0f, 3.0f},
    {2, "Quellstor D+", "QSK", 256, 48, 0, 0, 6, 8, kF58, 6, 65535, 0, 1, 0, 3, 0, 0, 6, 133, 25, 100, 100, 500, 100, 0, false, 10, 8, 2, 488, 2.0f, 3.0f},
    {3, "Quellstor RTCV", "QSC", 192, 48, 16, 16, 6, 8, kF58, 6, 65535, 0, 1, 1, 7, 0, 0, 5, 133, 25, 100, 100, 500, 100, 0, false, 10, 8, 2, 388, 2.0f, 3.0f},
    {4, "Quellstor SWAV", "QSK", 240, 112, 40, 16, 6, 8, kF58, 6, 65535, 0, 1, 0, 3, 0, 0, 5, 133, 25, 100, 100, 500, 100, 0, false, 0, 8, 2, 470, 2.0f, 3.0f},
    {5, "Quellstor SWBV", "QSW", 320, 224, 1, 1, 8, 14, kF814, 6, 107000, 1, 1, 1, 7, 1, 0, 5, 133, 65, 999, 200, 1000, 100, 0, true, 10, 32, 4, 460, 1.0f, 2.0f},
    {6, "Quellstor F Mark 2", "QSH", 640, 168, 0, 0, 8, 12, kF812, 8, 65535, 0, 1, 1, 3, 0, 0, 7, 135, 25, 100, 100, 500, 100, 0, false, 10, 8, 4, 831, 1.0f, 1.2f},
    {7, "Quellstor F Mark 2", "QSH", 640, 168, 0, 0, 8, 12, kF812, 8, 65535, 0, 1, 1, 3, 0, 0, 7, 135, 25, 250, 100, 500, 100, 0, true, 10, 16, 6, 831, 1.0f, 1.2f},
    {8, "Quellstor UXYA/UXYB", "QSW", 640, 464, 1, 1, 8, 14, kF814, 0, 131072, 1, 1, 1, 7, 1, 0, 5, 139, 65, 999, 200, 1000, 120, 0, true, 10, 32, 6, 835, 0.75f, 1.0f},
    {9, "Quellstor RTB", "QSE", 240, 48, 0, 0, 6, 8, kF58, 6, 65535, 0, 1, 1, 7, 1, 0, 5, 133, 25, 100, 100, 500, 100, 8, true, 10, 8, 2, 470, 2.0f, 3.0f},
    {10, "Quellstor UXYC", "QSW", 640, 464, 1, 1, 8, 14, kF814, 24, 131072, 1, 1, 1, 7, 1, 0, 5, 151, 65, 999, 200, 1000, 120, 0, true, 10, 32, 6, 835, 0.75f, 1.0f},
    {11, "Quellstor RTA", "QSD", 240, 48, 0, 0, 6, 8, kF58, 6, 65535, 0, 0, 0, 3, 0, 1, 31, 133, 25, 100, 100, 500, 100, 16, true, 10, 64, 2, 470, 2.0f, 3.0f},
    {13, "UXYA/UXYB Exp-Memory", "QSW", 640, 464, 1, 1, 8, 14, kF814, 0, 204800, 1, 1, 1, 7, 1, 0, 5, 139, 65, 999, 1000, 1000, 120, 0, true, 10, 32, 6, 835, 0.75f, 1.0f},
    {14, "Quellstor SWA Q", "QSE", 240, 112, 40, 16, 6, 8, kF58, 6, 131072, 0, 1, 1, 7, 1, 0, 6, 133, 25, 100, 100, 500, 100, 8, true, 60, 8, 2, 470, 2.0f, 3.0f},
    {15, "Quellstor MA", "QSG", 120, 18, 0, 0, 6, 9, kF69, 5, 32767, 0, 0, 0, 1, 0, 1, 31, 132, 25, 0, 200, 100, 0, 32, true, 10, 64, 2, 319, 3.0f, 5.0f},
    {16, "Quellstor KA", "QSG", 120, 18, 0, 0, 6, 9, kF69, 0, 32767, 0, 0, 0, 1, 0, 1, 31, 131, 25, 0, 200, 100, 0, 32, false, 10, 64, 2, 319, 3.0f, 5.0f},
    {17, "Quellstor MB", "QSG", 120, 18, 0, 0, 6, 9, kF69, 5, 32767, 0, 0, 0, 1, 0, 1, 31, 132, 25, 0, 200, 100, 0, 32, true, 10, 64, 2, 319, 3.0f, 5.0f},
    {18, "Quellstor KB", "QSG", 120, 18, 0, 0, 6, 9, kF69, 0, 32767, 0, 0, 0, 1, 0, 1, 31, 131, 25, 0, 200, 100, 0, 32, false, 10, 64, 2, 319, 3.0f, 5.0f},
    {19, "Quellstor LA", "QSG", 96, 18, 0, 0, 6, 9, kF69, 6, 32767, 0, 0, 0, 1, 0, 0, 31, 133, 25, 0, 200, 100, 0, 64, false, 10, 64, 2, 255, 3.0f, 5.0f},
    {20, "Quellstor NA", "QSG", 96, 36, 0, 0, 6, 9, kF69, 8, 32767, 0, 0, 0, 1, 0, 0, 31, 135, 25, 0, 200, 100, 0, 64, false, 10, 64, 2, 255, 3.0f, 5.0f},
    {21, "Quellstor PA", "QSG", 120, 36, 0, 0, 6, 9, kF69, 8, 32767, 0, 0, 0, 1, 0, 0, 31, 135, 25, 0, 200, 100, 0, 64, false, 10, 64, 2, 319, 3.0f, 5.0f},
    {22, "Quellstor LA", "QSG", 96, 18, 0, 0, 6, 9, kF69, 6, 32767, 0, 0, 0, 1, 0, 0, 31, 133, 25, 0, 200, 100, 0, 128, false, 10, 64, 2, 255, 3.0f, 5.0f},
    {23, "Quellstor NA", "QSG", 96, 36, 0, 0, 6, 9, kF69, 8, 32767, 0, 0, 0, 1, 0, 0, 31, 135, 25, 0, 200, 100, 0, 128, false, 10, 64, 2, 255, 3.0f, 5.0f},
    {24, "Quellstor PA", "QSG", 120, 36, 0, 0, 6, 9, kF69, 8, 32767, 0, 0, 0, 1, 0, 0, 31, 135, 25, 0, 200, 100, 0, 128, false, 10, 64, 2, 319, 3.0f, 5.0f},
};

bool In(int type, std::initializer_list<int> set)
{
    for (int t : set)
        if (t == type)
            return true;
    return false;
}

TEST(QuellstorTest, EveryPanelTypeAsDescribed)
{
    for (const TypeCase& c : kTypes) {
        SCOPED_TRACE("panel type " + std::to_string(c.type));
        Quellstor qs(c.type);
        const bool large = In(c.type, {5, 8, 10, 13});
        const bool text = c.type >= 15;

        EXPECT_EQ(qs.type, c.type);
        EXPECT_EQ(qs.GetModelName(), c.model);
        EXPECT_EQ(qs.GetTypeCode(), c.code);
        EXPECT_EQ(qs.displayWidth, c.dispW);
        EXPECT_EQ(qs.displayHeight, c.dispH);
        EXPECT_EQ(qs.touchCellWidth, c.touchW);
        EXPECT_EQ(qs.touchCellHeight, c.touchH);
        EXPECT_EQ(qs.charCellWidth, c.cellW);
        EXPECT_EQ(qs.charCellHeight, c.cellH);
        EXPECT_STREQ(qs.fontName, c.font);
        EXPECT_EQ(qs.functionKeyCount, c.fkeys);
        EXPECT_EQ(qs.GetDatabaseSize(), c.dbSize);
        EXPECT_EQ(qs.largeMemory, c.largeMem);
        EXPECT_EQ(qs.bitmapSupport, c.bitmaps);
        EXPECT_EQ(qs.HasSecondPort(), c.secondPort != 0);
        EXPECT_EQ(qs.GetPortMask(), static_cast<std::uint32_t>(c.portMask));
        EXPECT_EQ(qs.advancedProtocol, c.advanced);
        EXPECT_EQ(qs.portPageFlag, c.portPage);
        EXPECT_EQ(qs.GetDefaultContrast(), c.contrast);
        EXPECT_EQ(qs.GetLastSKeyCode(), c.lastSKey);
        EXPECT_EQ(qs.GetMaxKeyStringLength(), c.keyString);

        EXPECT_EQ(qs.GetMaxCommsBlocks(), c.commsBlocks);
        EXPECT_EQ(qs.GetMaxPages(), c.pages);
        EXPECT_EQ(qs.GetMaxAnalogTags(), c.tags);
        EXPECT_EQ(qs.GetMaxDigitalTags(), c.tags);
        EXPECT_EQ(qs.GetMaxOverviewGroups(), c.ovGroups);
        EXPECT_EQ(qs.GetMaxPanelBit(), large ? 10200 : 5000);
        EXPECT_EQ(qs.GetMaxPanelRegister(), large ? 1050 : 550);
        EXPECT_EQ(qs.GetInternalRegisterCount(), large ? 2200 : 1000);
        EXPECT_EQ(qs.GetMaxPageSize(), c.largeMem ? 10000 : 4000);
        EXPECT_EQ(qs.GetMaxTemplateSize(), c.largeMem ? 5000 : 1000);

        EXPECT_EQ(qs.GetProtocolFamilyBit(), c.familyBit);
        EXPECT_EQ(qs.HasRecipes(), c.recipes);
        EXPECT_EQ(qs.IsTextPanel(), text);
        EXPECT_EQ(qs.IsGraphicPanel(), !text);
        EXPECT_EQ(qs.IsLargeMemoryModel(), large);
        EXPECT_EQ(qs.IsLargeDisplay(), In(c.type, {5, 6, 7, 8, 10, 13}));
        EXPECT_EQ(qs.IsRTCV(), c.type == 3);
        EXPECT_EQ(qs.IsNotLNPModel(), c.type < 19);
        EXPECT_EQ(qs.UsesStyleBitmaps(), In(c.type, {4, 5, 8, 10, 13, 14}));
        EXPECT_EQ(qs.SupportsMeters(), !(In(c.type, {1, 2, 3, 11}) || text));
        EXPECT_EQ(qs.SupportsAdvancedProtocol(), !In(c.type, {1, 2, 4}));
        EXPECT_EQ(qs.GetKeyLabelLength(), In(c.type, {6, 7}) ? 9 : 5);
        EXPECT_EQ(qs.GetDefaultGlobalDataAddress(), large ? 0xD000 : In(c.type, {9, 14}) ? 0x4000 : 0);
        EXPECT_EQ(qs.GetDefaultBacklightTimeout(), c.backlight);
        EXPECT_EQ(qs.GetContrastLevels(), c.contrastLevels);
        EXPECT_EQ(qs.GetHandleSize(), c.handle);
        EXPECT_EQ(qs.GetPrintScale(), c.printScale);
        EXPECT_EQ(qs.GetTouchKind(), c.touchW == 0 ? 0 : c.touchW == 1 ? 1 : 2);

        EXPECT_FLOAT_EQ(qs.zoomFactor, c.zoom);
        EXPECT_FALSE(qs.zoomFlag);
        qs.SetZoom(true);
        EXPECT_FLOAT_EQ(qs.zoomFactor, c.zoomUp);
        EXPECT_TRUE(qs.zoomFlag);

        const PanelSize bitmap = qs.GetMaxBitmapSize();
        if (c.bitmaps)
            EXPECT_EQ(bitmap, (PanelSize{c.dispW, In(c.type, {8, 10, 13}) ? c.dispH - 4 : c.dispH}));
        else
            EXPECT_EQ(bitmap, (PanelSize{0, 0}));

        char buffer[8];
        qs.GetModelName(buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer), std::string(c.model).substr(0, 7));
    }
}

TEST(QuellstorTest, TouchSizesAndSpecialKeys)
{
    EXPECT_EQ(Quellstor(3).GetDefaultTouchSize(), (PanelSize{16, 16}));
    EXPECT_EQ(Quellstor(14).GetDefaultTouchSize(), (PanelSize{40, 16}));
    EXPECT_EQ(Quellstor(5).GetDefaultTouchSize(), (PanelSize{32, 16}));
    EXPECT_EQ(Quellstor(13).GetDefaultTouchSize(), (PanelSize{64, 32}));
    EXPECT_EQ(Quellstor(9).GetDefaultTouchSize(), (PanelSize{0, 0}));

    const std::vector<int> table1 = {160, 161, 162, 164, 165, 166, 167, 168, 169, 172, 173};
    const std::vector<int> table2 = {160, 161, 168, 164, 166, 162, 169, 163, 175, 172, 173};
    const std::vector<int> table3 = {160, 161, 162, 163, 170, 164, 165, 168, 169, 172, 173};
    auto keys = [](int type) {
        const int* k = Quellstor(type).specialKeys;
        return std::vector<int>(k, k + kSpecialKeyCount);
    };
    EXPECT_EQ(keys(6), table1);
    EXPECT_EQ(keys(7), table1);
    EXPECT_EQ(keys(10), table2);
    EXPECT_EQ(keys(5), table2);
    EXPECT_EQ(keys(14), table3);
    EXPECT_EQ(keys(24), table3);
}

TEST(QuellstorTest, NoPanelTypeKeepsTheDefaults)
{
    for (int type : {0, 12, 25, -3}) {
        Quellstor qs(type);
        EXPECT_EQ(qs.GetDatabaseSize(), 0);
        EXPECT_EQ(qs.displayWidth, 0);
        EXPECT_EQ(qs.functionKeyCount, 6);
        EXPECT_EQ(qs.largeMemory, 1);
        EXPECT_EQ(qs.GetPortMask(), 7u);
        EXPECT_EQ(qs.GetModelName(), "");
        EXPECT_EQ(qs.specialKeys, nullptr);
    }
}

class RecordingKeypads : public KeypadDialogs {
public:
    struct Call {
        bool textPanel;
        std::string caption;
        bool touch;
        bool option;
        int first;
        int sKeys;
    };
    void RunTextPanelKeypad(HWND, const std::string& caption, const int* keys, int sKeys) override
    {
        calls.push_back({true, caption, false, false, keys[0], sKeys});
    }
    void RunPanelKeypad(HWND, const std::string& caption, bool touch, bool option, const int* keys,
                        int sKeys) override
    {
        calls.push_back({false, caption, touch, option, keys[4], sKeys});
    }
    std::vector<Call> calls;
};

TEST(QuellstorTest, KeypadQueryChoosesTheDialogAndItsKeys)
{
    RecordingKeypads keypads;
    SetKeypadDialogs(&keypads);
    Quellstor(16).ShowKeypadDialog(nullptr, false);
    Quellstor(10).ShowKeypadDialog(nullptr, false);
    Quellstor(14).ShowKeypadDialog(nullptr, false);
    Quellstor(14).ShowKeypadDialog(nullptr, true);
    Quellstor(9).ShowKeypadDialog(nullptr, false);
    Quellstor(12).ShowKeypadDialog(nullptr, false);  // no panel type: nothing
    SetKeypadDialogs(nullptr);

    ASSERT_EQ(keypads.calls.size(), 5u);
    EXPECT_TRUE(keypads.calls[0].textPanel);
    EXPECT_EQ(keypads.calls[0].caption, "Quellstor KA");
    EXPECT_EQ(keypads.calls[0].sKeys, 0);
    EXPECT_FALSE(keypads.calls[1].textPanel);
    EXPECT_EQ(keypads.calls[1].caption, "Quellstor UXYC");
    EXPECT_EQ(keypads.calls[1].sKeys, 20);
    EXPECT_TRUE(keypads.calls[1].touch);
    EXPECT_FALSE(keypads.calls[1].option);
    EXPECT_EQ(keypads.calls[1].first, 166);  // fifth key of table 2
    EXPECT_TRUE(keypads.calls[2].option);
    EXPECT_TRUE(keypads.calls[2].touch);
    EXPECT_FALSE(keypads.calls[3].option);
    EXPECT_TRUE(keypads.calls[4].option);
    EXPECT_FALSE(keypads.calls[4].touch);
    EXPECT_EQ(keypads.calls[4].sKeys, 2);
}

TEST(QuellstorTest, PanelLimitsByKind)
{
    EXPECT_EQ(qsGlobals::GetPanelLimit(16, 4), 0);
    EXPECT_EQ(qsGlobals::GetPanelLimit(13, 0), 999);
    EXPECT_EQ(qsGlobals::GetPanelLimit(13, 1), 1000);
    EXPECT_EQ(qsGlobals::GetPanelLimit(14, 2), 500);
    EXPECT_EQ(qsGlobals::GetPanelLimit(16, 3), 100);
    EXPECT_EQ(qsGlobals::GetPanelLimit(8, 7), 1050);
    EXPECT_EQ(qsGlobals::GetPanelLimit(9, 8), 1000);
    EXPECT_EQ(qsGlobals::GetPanelLimit(10, 9), 10200);
    for (int type : {5, 12, 16, 30}) {
        EXPECT_EQ(qsGlobals::GetPanelLimit(type, 6), 100);
        EXPECT_EQ(qsGlobals::GetPanelLimit(type, 10), 1);
        EXPECT_EQ(qsGlobals::GetPanelLimit(type, 5), 1);
        EXPECT_EQ(qsGlobals::GetPanelLimit(type, 11), 1);
    }
}

}  // namespace
