#include "plintvlr/elements/point_elem.h"

#include "plintvlr/db/atag.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/shape_drawing.h"
#include "plintvlr/elements/text_sheets.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/elements/text_support.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

constexpr std::uint8_t kWidthByteFlag = 0x40;
constexpr std::uint8_t kOffsetByteFlag = 0x80;
constexpr std::uint16_t kNumberMask = 0x3FFF;
constexpr std::size_t kMaxValueText = 14;

std::uint16_t KindBits(char kind)
{
    switch (kind) {
    case 'R':
        return 0x4000;
    case 'D':
        return 0x8000;
    case 'B':
        return 0xC000;
    default:
        return 0;
    }
}

char KindOfBits(std::uint16_t id)
{
    static constexpr char kKinds[] = {'A', 'R', 'D', 'B'};
    return kKinds[id >> 14 & 3];
}

// Digits from `at` up to the first character that is not one.
int ReadNumber(const std::string& text, std::size_t& at)
{
    long long value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        value = std::min<long long>(value * 10 + (text[at] - '0'), 99999999);
        ++at;
    }
    return static_cast<int>(value);
}

// The panel type of the page being edited.
int EditedPanelType()
{
    if (const ActivePageEditor* editor = GetActivePageEditor())
        return editor->GetPanelModel().type;
    return GetOpenPanelType();
}

std::string From(const std::string& text, int offset)
{
    return offset >= 0 && static_cast<std::size_t>(offset) < text.size() ? text.substr(static_cast<std::size_t>(offset))
                                                                         : text;
}

std::string Fit(const std::string& text, int width)
{
    return static_cast<int>(text.size()) > width ? std::string(Str(kStrValueTooWide)) : text;
}

std::string AnalogPreview(const std::string& type, int number, int w, int o)
{
    atag tag;
    const bool found = number > 0 && tag.Read(number);
    const int d = found ? tag.GetDecimals() : 0;
    if (type == "PV") {
        std::string value = InsertDecimals("0", d);
        if (static_cast<int>(value.size()) > w)
            return Str(kStrValueTooWide);
        return std::string(static_cast<std::size_t>(w - static_cast<int>(value.size())), '0') + value;
    }
    if (!found)
        return Str(kStrMissingTag);
    std::string extUpper, extLower, intUpper, intLower, alarmUpper, alarmLower;
    tag.FormatScaleRange(extUpper, extLower, intUpper, intLower);
    tag.FormatAlarmLimits(alarmUpper, alarmLower);
    auto value = [](const std::string& text) { return text.substr(0, kMaxValueText); };
    if (type == "EL")
        return Fit(value(extLower), w);
    if (type == "EU")
        return Fit(value(extUpper), w);
    if (type == "IL")
        return Fit(InsertDecimals(value(intLower), d), w);
    if (type == "IU")
        return Fit(InsertDecimals(value(intUpper), d), w);
    if (type == "AL")
        return Fit(InsertDecimals(value(alarmLower), d), w);
    if (type == "AU")
        return Fit(InsertDecimals(value(alarmUpper), d), w);
    if (type == "AT")
        return tag.GetAlarmType() ? std::string(1, static_cast<char>(tag.GetAlarmType())) : std::string();
    if (type == "UN")
        return From(tag.UnitsString(), o);
    if (type == "TG")
        return From(tag.GetName(), o);
    return {};
}

std::string DigitalPreview(const std::string& type, int number, int o)
{
    if (type == "PV")
        return Str(kStrRegisterPreview);
    dtag tag;
    if (number <= 0 || !tag.Read(number))
        return Str(kStrMissingTag);
    if (type == "S0" || type == "ST")
        return From(tag.GetStatusText(0), o);
    if (type == "S1" || type == "S2" || type == "S3")
        return From(tag.GetStatusText(type[1] - '0'), o);
    if (type == "AT")
        return tag.GetAlarmCode() ? std::string(1, static_cast<char>(tag.GetAlarmCode())) : std::string();
    if (type == "TG")
        return From(tag.GetName(), o);
    if (type == "B1" || type == "B2")
        return " ";
    return {};
}

}  // namespace

// --- The reference ----------------------------------------------------------

TagRefParts TagRefParts::Parse(const std::string& text)
{
    TagRefParts parts;
    parts.kind = text.empty() ? 'A' : text[0];
    std::size_t at = 1;
    parts.number = ReadNumber(text, at);
    parts.type.clear();
    const std::size_t dot = text.find('.', at);
    if (dot == std::string::npos)
        return parts;
    at = dot + 1;
    while (at < text.size() && text[at] != ',' && parts.type.size() < 2)
        parts.type += text[at++];
    at = text.find(',', at);
    if (at == std::string::npos)
        return parts;
    ++at;
    parts.hasWidth = true;
    parts.width = ReadNumber(text, at);
    at = text.find(',', at);
    if (at == std::string::npos)
        return parts;
    ++at;
    parts.hasOffset = true;
    parts.offset = ReadNumber(text, at);
    return parts;
}

std::string TagRefParts::Format() const
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%c%04i.%.2s", kind, number, type.c_str());
    std::string text = buffer;
    if (hasWidth || hasOffset) {
        std::snprintf(buffer, sizeof buffer, ",%02i", width);
        text += buffer;
    }
    if (hasOffset) {
        std::snprintf(buffer, sizeof buffer, ",%02i", offset);
        text += buffer;
    }
    return text;
}

int DisplayTypeListId(char kind)
{
    switch (kind) {
    case 'D':
        return kStrDigitalTypes;
    case 'R':
        return kStrRegisterTypes;
    case 'B':
        return kStrBitTypes;
    default:
        return kStrAnalogTypes;
    }
}

int DisplayTypeNamesId(char kind)
{
    switch (kind) {
    case 'D':
        return kStrDigitalLongNames;
    case 'R':
        return kStrRegisterLongNames;
    case 'B':
        return kStrBitLongNames;
    default:
        return kStrAnalogLongNames;
    }
}

int DisplayTypePosition(char kind, const std::string& type)
{
    return type.empty() ? 0 : FindListItem(type, Str(DisplayTypeListId(kind)));
}

int DefaultDisplayWidth(char kind, int position)
{
    static constexpr int kAnalog[] = {5, 5, 8, 5, 5, 8, 8, 8, 8, 1, 5, 32};
    static constexpr int kDigital[] = {5, 5, 1, 32, 32, 32, 32, 1, 32, 32, 5, 5};
    static constexpr int kRegister[] = {5, 5, 6, 2};
    static constexpr int kBit[] = {5, 5, 1};
    auto at = [position](const auto& table) {
        return position >= 0 && position < static_cast<int>(std::size(table)) ? table[position] : table[0];
    };
    switch (kind) {
    case 'D':
        return at(kDigital);
    case 'R':
        return at(kRegister);
    case 'B':
        return at(kBit);
    default:
        return at(kAnalog);
    }
}

int DefaultRecordWidth(char kind)
{
    switch (kind) {
    case 'R':
        return 6;
    case 'D':
    case 'B':
        return 1;
    default:
        return 8;
    }
}

std::string InsertDecimals(const std::string& digits, int decimals)
{
    const int n = static_cast<int>(digits.size());
    if (decimals <= 0)
        return digits;
    if (decimals < n)
        return digits.substr(0, static_cast<std::size_t>(n - decimals)) + Str(kStrDecimalPoint) +
               digits.substr(static_cast<std::size_t>(n - decimals));
    return Str(kStrLeadingDecimal) + std::string(static_cast<std::size_t>(decimals - n), '0') + digits;
}

// --- The element --------------------------------------------------------------

PointElem::PointElem(const TRect& rect, const char* tagRef, bool horizontal)
    : TFormatText(rect, "point", horizontal), tagRef_(tagRef ? tagRef : "")
{
}

PointElem::PointElem(const PointElem& other)
    : TFormatText(other), tagRef_(other.tagRef_), editable_(other.editable_), keptCode_(other.keptCode_)
{
}

std::unique_ptr<SizeRect> PointElem::Clone() const
{
    return std::make_unique<PointElem>(*this);
}

std::unique_ptr<PointElem> NewPointElem(const TPoint& a, const TPoint& b, bool digital)
{
    auto element = std::make_unique<PointElem>(TRect(a, b).Normalized(), digital ? "D0001.PV" : "A0001.PV", true);
    element->SetJustify(2);
    element->SetText(digital ? "0" : "00000000");
    element->Relayout();
    return element;
}

std::string PointElem::MakePreview() const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    const int p = DisplayTypePosition(parts.kind, parts.type);
    int w = parts.width;
    if (w == 0) {
        w = DefaultDisplayWidth(parts.kind, p);
        const int panel = EditedPanelType();
        if (parts.kind == 'R' && (panel == 5 || panel == 6 || panel == 7 || panel == 8 || panel == 10 || panel == 13))
            w = 32;
    }
    const int o = parts.offset;
    std::string preview;
    if (p < 2) {
        preview = tagRef_.substr(0, static_cast<std::size_t>(DefaultDisplayWidth(parts.kind, p)));
    } else if (parts.kind == 'A') {
        preview = AnalogPreview(parts.type, parts.number, w, o).substr(0, static_cast<std::size_t>(w));
    } else if (parts.kind == 'D') {
        preview = DigitalPreview(parts.type, parts.number, o).substr(0, static_cast<std::size_t>(w));
    } else if (parts.kind == 'B') {
        preview = std::string(static_cast<std::size_t>(w), '0');
    } else if (parts.type == "PV") {
        preview = std::string(Str(kStrRegisterPreview)).substr(0, 6);
    } else {
        preview = std::string(static_cast<std::size_t>(w), '?');
    }
    return preview.empty() ? std::string(" ") : preview;
}

TRect PointElem::SetTagRef(const std::string& tagRef)
{
    const TRect before = GetRepaintRect();
    tagRef_ = tagRef;
    SetTextOnly(MakePreview());
    return before | Relayout();
}

TRect PointElem::ApplyParts(const TagRefParts& parts)
{
    return SetTagRef(parts.Format());
}

TRect PointElem::SetTagAndType(std::uint16_t tagId, const std::string& type)
{
    TagRefParts parts = TagRefParts::Parse(tagRef_);
    parts.kind = (tagId & 0x8000) ? 'D' : 'A';
    parts.number = tagId & kNumberMask;
    parts.type = type.substr(0, 2);
    return ApplyParts(parts);
}

void PointElem::GetTagAndType(std::uint16_t& tagId, std::string& type) const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    tagId = static_cast<std::uint16_t>((parts.number & kNumberMask) | (parts.kind == 'D' ? 0x8000 : 0));
    type = parts.type;
}

int PointElem::GetWidth() const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    return parts.hasWidth ? parts.width : 0;
}

int PointElem::GetOffset() const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    return parts.hasOffset ? parts.offset : 0;
}

TRect PointElem::SetWidth(int width)
{
    TagRefParts parts = TagRefParts::Parse(tagRef_);
    parts.hasWidth = true;
    parts.width = std::max(width, 0);
    return ApplyParts(parts);
}

TRect PointElem::SetOffset(int offset)
{
    TagRefParts parts = TagRefParts::Parse(tagRef_);
    parts.hasWidth = true;
    parts.hasOffset = true;
    parts.offset = std::max(offset, 0);
    return ApplyParts(parts);
}

std::uint16_t PointElem::GetTagId() const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    return static_cast<std::uint16_t>((parts.number & kNumberMask) | KindBits(parts.kind));
}

std::uint16_t PointElem::GetTag() const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    return parts.type == "PV" || parts.type == "ST" ? GetTagId() : 0;
}

void PointElem::SetTag(std::uint16_t tag)
{
    TagRefParts parts = TagRefParts::Parse(tagRef_);
    if ((tag & 0xC000) == 0)
        parts.kind = 'A';
    else if ((tag & 0xC000) == 0x8000)
        parts.kind = 'D';
    parts.number = tag & kNumberMask;
    ApplyParts(parts);
}

std::string PointElem::GetTypeName() const
{
    return "analog";
}

bool PointElem::SetFont(int fontNumber)
{
    SetFontNumber(fontNumber);
    SetTagRef(tagRef_);
    return true;
}

int PointElem::DefaultJustify() const
{
    // Values and limits line up on the right, texts on the left.
    const int p = DisplayTypePosition('A', TagRefParts::Parse(tagRef_).type);
    return p >= 2 && p <= 8 ? 2 : 0;
}

// --- Records ----------------------------------------------------------------

std::uint8_t* PointElem::WriteRecord(std::uint8_t* at) const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    const int t = parts.type.empty() ? 0 : FindListItem(parts.type + ":", Str(kStrDisplayTypeCodes));
    const std::uint8_t code = t > 0 ? static_cast<std::uint8_t>(0x20 + (t - 1)) : keptCode_;
    const TSize size = GetTextSize();
    at = PackTextSize(code, size.cx, size.cy, at);
    std::uint8_t* flags = at++;
    *flags = GetHorizontal() ? 0 : kTextVerticalFlag;
    at = PackColorOrShowHide(GetColors(), GetShowHide(), at);
    at = PackTextPoint(at);
    at = GetDynPosition().Pack(at, *flags);
    at = GetDynBlink().Pack(at, *flags);
    const std::uint16_t id = GetTagId();
    *at++ = static_cast<std::uint8_t>(id & 0xFF);
    *at++ = static_cast<std::uint8_t>(id >> 8);
    const int width = GetWidth();
    const int offset = GetOffset();
    if (width != 0 || parts.type == "PV") {
        *flags |= kWidthByteFlag;
        *at++ = static_cast<std::uint8_t>(width != 0 ? width : DefaultRecordWidth(parts.kind));
    }
    if (offset != 0) {
        *flags |= kOffsetByteFlag;
        *at++ = static_cast<std::uint8_t>(offset);
    }
    const int justify = DefaultJustify();
    const std::uint8_t extra = editable_ ? 1 : 0;
    if (!HasTail(justify, extra))
        return at;
    *flags |= kTextTailFlag;
    return WriteTail(at, justify, extra);
}

bool PointElem::ReadRecord(RecordReader& in)
{
    std::uint8_t code = 0;
    std::uint8_t flags = 0;
    if (!ReadRecordHead(in, code, flags))
        return false;
    std::uint16_t id = 0;
    if (!UnpackColorOrShowHide(GetColors(), GetShowHide(), in) || !UnpackTextPoint(in) ||
        !GetDynPosition().Unpack(in, flags) || !GetDynBlink().Unpack(in, flags) || !in.ReadWord(id))
        return false;
    std::uint8_t width = 0;
    std::uint8_t offset = 0;
    if (((flags & kWidthByteFlag) && !in.ReadByte(width)) || ((flags & kOffsetByteFlag) && !in.ReadByte(offset)))
        return false;
    keptCode_ = static_cast<std::uint8_t>(code & ~0x40);
    TagRefParts parts;
    parts.kind = KindOfBits(id);
    parts.number = id & kNumberMask;
    const std::string item = GetListItem(Str(kStrDisplayTypeCodes), (code & 0x1F) + 1);
    parts.type = item.size() >= 3 && item[2] == ':' ? item.substr(0, 2) : std::string();
    int w = width;
    if (parts.type == "PV" && w == DefaultRecordWidth(parts.kind))
        w = 0;
    parts.hasOffset = offset != 0;
    parts.hasWidth = w != 0 || parts.hasOffset;
    parts.width = w;
    parts.offset = offset;
    tagRef_ = parts.Format();
    SetTextOnly(MakePreview());
    std::uint8_t extra = 0;
    if (!ReadTail(in, flags, DefaultJustify(), extra))
        return false;
    editable_ = extra != 0;
    return true;
}

// --- Report and editing -----------------------------------------------------

void PointElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    const TagRefParts parts = TagRefParts::Parse(tagRef_);
    AddDescriptionLine(*this, number, lines, subnumber,
                       Str(parts.kind == 'A' ? kStrAnalogPointType : kStrDigitalPointType));
    const std::uint16_t tag = static_cast<std::uint16_t>((parts.number & kNumberMask) | (parts.kind == 'A' ? 0 : 0x8000));
    const std::string name = GetTagName(tag);
    const std::string longName =
        GetListItem(Str(DisplayTypeNamesId(parts.kind)), DisplayTypePosition(parts.kind, parts.type));
    lines.push_back(FormatText(Str(kStrPointTagLine), name.c_str(), longName.c_str(), GetText().c_str()));
    DescribeStyle(lines);
    lines.push_back(FormatText(Str(kStrPointStyleLine), GetWidth(), GetOffset(), Str(editable_ ? kStrTrue : kStrFalse)));
    DescribeColorOrShowHide(GetColors(), GetShowHide(), lines);
    GetDynBlink().Describe(lines);
    GetDynPosition().Describe(lines);
    lines.emplace_back();
}

void PointElem::Edit(TWindow* parent)
{
    const char kind = TagRefParts::Parse(tagRef_).kind;
    if (kind == 'R' || kind == 'B') {
        if (!AskConvertOldKind(parent))
            return;
        SetTagRef(kind == 'B' ? "D0001.PV" : "A0001.PV");
    }
    ActivePageEditor* editor = GetActivePageEditor();
    if (TMDIClient* client = SheetClient(parent, editor))
        (new TTagDisplayDlg(client, *this, editor))->Create();
}
