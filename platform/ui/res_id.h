#pragma once
// A resource is named by a number or by a name ("recipe", "bselect").
// Names compare without regard to case.

#include <string>

// The module whose resources a window or dialog uses; null is the program.
class TModule;

class TResId {
public:
    TResId() = default;
    TResId(int id) : id_(id) {}  // NOLINT: ids are written as plain numbers
    TResId(const char* name) : isName_(name != nullptr), name_(name ? name : "") {}  // NOLINT

    bool IsName() const { return isName_; }
    bool IsNull() const { return !isName_ && id_ == 0; }
    int Id() const { return id_; }
    const std::string& Name() const { return name_; }
    bool operator==(const TResId& other) const;
    std::string ToString() const;  // "123" or the name
    // A key for tables of resources: "#123", or the name in lower case.
    std::string Key() const;

private:
    int id_ = 0;
    bool isName_ = false;
    std::string name_;
};
