#pragma once
// Whole graphic pages on the desktop clipboard. A page travels as its stored
// record followed by one zero byte under format 0x200; beside it goes the
// panel type it was made for (16 bits, little-endian) under a second format
// of ours, since the records' layout depends on the panel and the page block
// itself does not say which panel that was.
//
// Anything may hold format 0x200 (another program, another instance of
// ours), so a block is checked whole before any of it reaches a page: its
// length, its two closing zero bytes and a walk over its element records
// that must end exactly at the record's end byte.

#include "platform/base/clipboard.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class Quellstor;

inline constexpr UINT kPageClipboardFormat = 0x200;
inline constexpr UINT kPagePanelClipboardFormat = 0x201;

enum class PageBlock {
    Good,
    Busy,        // the clipboard could not be opened, or holds no page
    NotAPage,    // the block is no well-formed page record
    OtherPanel,  // a page of a panel with another colour kind or screen size
};

// The largest page record a panel stores (its records stay below this).
int LargestPageRecord(const Quellstor& panel);

// Whether pages of the two panel types can take each other's records: the
// same colour kind and the same screen size.
bool SamePageLayout(const Quellstor& a, const Quellstor& b);

// Checks a block of format 0x200 for a page of `panel`, with the panel block
// when there was one; on Good `record` holds the page record (the block less
// its trailing zero byte). Needs the open project's panel type to be
// `panel`'s, as every record reader does.
PageBlock CheckPageBlock(const Quellstor& panel, std::span<const std::uint8_t> block,
                         const std::optional<ClipboardData>& panelBlock, std::vector<std::uint8_t>& record);

// Puts a stored page record of a panel type on the clipboard; false (nothing
// changed) when the clipboard cannot be opened.
bool PutPageOnClipboard(HWND owner, const std::vector<std::uint8_t>& record, int panelType);

// Takes the page on the clipboard for `panel`.
PageBlock TakePageFromClipboard(HWND owner, const Quellstor& panel, std::vector<std::uint8_t>& record);

bool IsPageOnClipboard();
