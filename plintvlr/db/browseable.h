#pragma once
// One row of a browser: analog and digital tags, message tables and the
// texts of the message text pool show themselves through this interface as
// rows of titled text columns, and the browser deletes, cuts, copies, pastes
// and renames them through it.

#include <cstdint>
#include <string>
#include <string_view>

class browseable {
public:
    virtual ~browseable() = default;

    // Loads the item of this number from the open project; false when there is none.
    virtual bool Read(std::int32_t number) = 0;
    virtual int GetColumnCount() const = 0;
    // The title of a column and its length; 0 (and an empty text) for a
    // column the row does not have.
    virtual int GetColumnTitle(std::string& title, int column) const = 0;
    // The text of a column and its length.
    virtual int GetColumnText(std::string& text, int column) = 0;
    // The id range of the item's kind; (0, -1) leaves the browser to ask the
    // registry which ids exist.
    virtual bool GetIdRange(std::int32_t& first, std::int32_t& last) = 0;
    virtual bool Delete() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual bool Paste(std::int32_t number) = 0;
    virtual void Rename(std::string_view name) = 0;
};

// The id range of rows whose ids the registry knows: (0, -1).
inline bool RegistryIdRange(std::int32_t& first, std::int32_t& last)
{
    first = 0;
    last = -1;
    return true;
}
