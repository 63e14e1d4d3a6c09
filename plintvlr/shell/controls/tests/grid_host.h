#pragma once
// Test hosts of the grid: a small derived grid over an in-memory table, in a
// dialog whose template names "TrmtGrid32".

#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/testing/test_driver.h"
#include "plintvlr/shell/controls/grid.h"
#include "plintvlr/shell/controls/grid_cells.h"

#include <QDir>
#include <QImage>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

constexpr int kGridId = 100;

// A grid over a table of texts and 16-bit values, keyed by (column, row id).
class TTableGrid : public TrmtGrid {
public:
    TTableGrid(TWindow* parent, int columns, UINT style) : TrmtGrid(parent, kGridId, columns, style) {}

    std::vector<std::string> headers{"Value", "Second", "Third", "Fourth", "Fifth"};
    std::map<std::pair<int, int>, std::string> texts;
    std::map<std::pair<int, int>, std::uint16_t> values;
    std::vector<std::tuple<int, int, std::string>> stored;  // every SetCellText
    std::vector<std::pair<int, int>> asked;                 // every GetCellText
    bool refuseCommit = false;

    const void* GetCellText(int column, int rowId) override
    {
        asked.emplace_back(column, rowId);
        if (rowId == 0)
            return column < static_cast<int>(headers.size()) ? headers[column].c_str() : nullptr;
        if (auto v = values.find({column, rowId}); v != values.end())
            return &v->second;
        if (auto t = texts.find({column, rowId}); t != texts.end())
            return t->second.c_str();
        return nullptr;
    }
    void SetCellText(int column, int rowId, const void* data) override
    {
        if (values.count({column, rowId})) {
            std::uint16_t v;
            std::memcpy(&v, data, 2);
            values[{column, rowId}] = v;
            stored.emplace_back(column, rowId, std::to_string(v));
        } else {
            texts[{column, rowId}] = static_cast<const char*>(data);
            stored.emplace_back(column, rowId, static_cast<const char*>(data));
        }
    }
    bool CanCommitCell(int, int, const void*) override { return !refuseCommit; }
};

// A dialog with the grid, OK and Cancel; the grid spans (x, y, cx, cy) in dialog units.
class TGridHost : public TDialog {
public:
    TGridHost(int templateId, int columns, UINT style) : TDialog(nullptr, TResId(templateId))
    {
        grid = new TTableGrid(this, columns, style);
    }
    static void RegisterTemplate(int templateId, int cx, int cy, int gridCx, int gridCy)
    {
        RegisterDialogTemplate(templateId, {"Grid", 0, 0, cx, cy, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                            "MS Sans Serif", 8, {
            Control("", kGridId, "TrmtGrid32", WS_TABSTOP, 5, 5, gridCx, gridCy),
            DefPushButton("OK", IDOK, cx - 55, cy - 20, 50, 14),
            PushButton("Cancel", IDCANCEL, cx - 110, cy - 20, 50, 14),
        }});
    }
    TTableGrid* grid;
};

// The build folder's screenshots folder (the test runs somewhere below the build folder).
inline std::string ScreenshotPath(const char* name)
{
    QDir dir = QDir::current();
    while (!dir.exists("CMakeCache.txt") && dir.cdUp()) {
    }
    if (!dir.exists("CMakeCache.txt"))
        dir = QDir::current();
    dir.mkpath("screenshots");
    return dir.filePath(QString("screenshots/") + name).toStdString();
}
