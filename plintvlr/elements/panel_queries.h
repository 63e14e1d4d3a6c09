#pragma once
// What every element asks of the panel: the open project's panel model for
// the screen and its vertical origin, the page editor's for colour, touch
// cells and display size, the project's panel fonts, and tag names.
//
// Screen sizes are in panel pixels; element rectangles are held in page
// units of 1/20 pixel (kUnitsPerPixel).

#include "platform/base/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kUnitsPerPixel = 20;

// The page report: whole text lines in order, as the text printout prints them.
using ReportLines = std::vector<std::string>;

// The open project's panel model.
TSize GetScreenSize();
int GetScreenYOrigin();
// Selection-handle thickness of the open project's panel model, in pixels.
int GetPanelHandleSize();

// The panel model of the page being edited. Without an editor there is no
// colour panel; touch cells and the display size then come from the open
// project's panel model.
bool IsColorPanel();
TSize GetTouchCellSize();
bool IsEditorLargeDisplay();

// A panel font of the open project: its face and character cell in pixels.
// Numbers the project lacks give font 0, the panel model's own.
std::string GetFontName(int fontNumber);
TSize GetFontSize(int fontNumber);

// The name of an analog (top bits 00) or digital (10) tag by its reference;
// false with "no tag" for other kinds, unknown numbers or no project.
bool GetTagName(std::uint16_t tag, std::string& name);
std::string GetTagName(std::uint16_t tag);

// The text of tag data type 0-4 ("Value", "Alarm", "Unack", "Low", "High");
// others give "Value".
std::string GetDataTypeText(int dataType);

// printf into a string; the report lines and position texts are built so.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
