#pragma once
// Hints of commands: the program's string-table entry whose number is a
// command's id holds the command's status-line hint, and, after its first
// line break, the tool tip of the command's tool bar button. The program
// tells the layer where its texts are; without a source there are no hints.

#include "platform/base/win_types.h"

#include <functional>
#include <string>

using THintTextSource = std::function<std::string(UINT id)>;
void SetHintTextSource(THintTextSource source);

enum class THintText { Hint, Tooltip };
// The part of entry `id` before the first line break (Hint) or after it
// (Tooltip; empty when the entry has no line break).
std::string GetCommandHintText(UINT id, THintText which = THintText::Hint);
