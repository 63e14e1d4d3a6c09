#include "platform/ui/res_id.h"

#include <strings.h>

#include <cctype>

bool TResId::operator==(const TResId& other) const
{
    if (isName_ != other.isName_)
        return false;
    return isName_ ? ::strcasecmp(name_.c_str(), other.name_.c_str()) == 0 : id_ == other.id_;
}

std::string TResId::ToString() const
{
    return isName_ ? name_ : std::to_string(id_);
}

std::string TResId::Key() const
{
    if (!isName_)
        return "#" + std::to_string(id_);
    std::string key = name_;
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}
