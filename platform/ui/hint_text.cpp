#include "platform/ui/hint_text.h"

namespace {

THintTextSource& Source()
{
    static THintTextSource source;
    return source;
}

}  // namespace

void SetHintTextSource(THintTextSource source)
{
    Source() = std::move(source);
}

std::string GetCommandHintText(UINT id, THintText which)
{
    if (!Source() || id == 0)
        return {};
    const std::string text = Source()(id);
    const std::size_t lineBreak = text.find('\n');
    if (which == THintText::Hint)
        return text.substr(0, lineBreak);
    return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
}
