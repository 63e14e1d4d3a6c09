#pragma once
// The configuration program's string table: every text it shows (messages,
// captions, menu hints) and many of its file names and profile keys, by id.
//
// Each subsystem keeps its own entries in plintvlr/<subsystem>/<name>_strings.inc,
// one line per text:
//
//     PLV_STRING(kStrApplicationMessage, 443, "Application Message")
//
// The build collects every such file into the one table, so adding a file or
// a line needs no other edit. The ids are the program's own where one is
// known; a text without a known id takes one from its subsystem's block
// (project database 41000-41999, shell 42000-42999, graphic elements
// 43000-43999, page editor 44000-44999, data elements 45000-45999, tables
// 46000-46999, communications 47000-47999). The same id may appear in two
// files only with the same text. A text has at most 254 characters.
//
// Code reads the ids from the subsystem's <name>_string_ids.h, which turns the
// same lines into constants:
//
//     #define PLV_STRING(name, id, text) inline constexpr int name = id;
//     #include "plintvlr/shell/base/shell_strings.inc"
//     #undef PLV_STRING

#include <cstddef>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <utility>

struct StringEntry {
    int id = 0;
    const char* text = nullptr;
};

// The text of an entry, or null when the table has no such id.
const char* FindStringText(int id);

// Every entry of the table, in id order.
std::span<const StringEntry> StringTableEntries();

// For tests: entries laid over the table for the object's lifetime (texts of
// any length, ids the table lacks or has).
class TestStringTable {
public:
    explicit TestStringTable(std::initializer_list<std::pair<const int, std::string>> entries);
    ~TestStringTable();
    TestStringTable(const TestStringTable&) = delete;
    TestStringTable& operator=(const TestStringTable&) = delete;

    const char* Find(int id) const;

private:
    std::map<int, std::string> entries_;
    const TestStringTable* previous_;
};
