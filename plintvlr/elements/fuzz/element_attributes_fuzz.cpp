// Element attribute readers on hostile bytes. The first byte picks the panel
// kind (bit 7: colour) and the reader (the rest of it); the other bytes are
// the record. A successful read is written back and read again, and must
// give the same attribute and bytes. Later element readers join the table below.
// Readers 40-43 are the text elements (formatted text, one-line text, caption
// label, tag display) on the panel kind of bit 7; 44-47 the same on a text
// panel. Text lays out in panel fonts made here, one per panel model font.

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/color_point.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/frame_rect.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/elements/packed_point.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/tag_mask.h"
#include "plintvlr/elements/text_elem.h"
#include "platform/base/fnt_file.h"
#include "platform/base/prompt.h"
#include "platform/gdi/font_registry.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Reads one attribute and writes it back; that must read again, exactly,
// and write the same bytes (some forms drop what a record may hold but the
// attribute cannot keep, such as states 2 and 3 of a tag's status bit, so the
// first read is compared through what it writes).
template <class T>
void RoundTrip(RecordReader& in, const std::function<bool(T&, RecordReader&)>& read,
               const std::function<std::uint8_t*(const T&, std::uint8_t*)>& write, const T& blank)
{
    T first = blank;
    if (!read(first, in))
        return;
    std::vector<std::uint8_t> once(65536);
    const std::uint8_t* end = write(first, once.data());
    Check(end != nullptr);
    once.resize(static_cast<std::size_t>(end - once.data()));
    RecordReader again(once.data(), once.size());
    T second = blank;
    Check(read(second, again));
    Check(again.Remaining() == 0);
    std::vector<std::uint8_t> twice(65536);
    end = write(second, twice.data());
    Check(end != nullptr);
    twice.resize(static_cast<std::size_t>(end - twice.data()));
    Check(twice == once);
    RecordReader third(twice.data(), twice.size());
    T last = blank;
    Check(read(last, third) && last == second);
}

struct Dynamics {
    SizeRect element;
    std::uint8_t flags = 0;
    bool operator==(const Dynamics& o) const
    {
        return element.GetDynPosition() == o.element.GetDynPosition() &&
               element.GetDynBlink() == o.element.GetDynBlink() &&
               element.GetDynRotation() == o.element.GetDynRotation() &&
               element.GetDynFill() == o.element.GetDynFill();
    }
};

// An element read by its own reader; copies are deep, and two are equal
// when they write the same record.
struct Element {
    explicit Element(std::unique_ptr<SizeRect> made) : element(std::move(made)) {}
    Element(const Element& other) : element(other.element->Clone()) {}
    bool operator==(const Element& other) const
    {
        std::vector<std::uint8_t> a(65536);
        std::vector<std::uint8_t> b(65536);
        const std::uint8_t* endA = element->WriteRecord(a.data());
        const std::uint8_t* endB = other.element->WriteRecord(b.data());
        return endA && endB && std::equal(static_cast<const std::uint8_t*>(a.data()), endA, static_cast<const std::uint8_t*>(b.data()), endB);
    }
    std::unique_ptr<SizeRect> element;
};

void ElementRoundTrip(RecordReader& in, const Element& blank)
{
    RoundTrip<Element>(
        in, [](Element& e, RecordReader& r) { return e.element->ReadRecord(r); },
        [](const Element& e, std::uint8_t* at) { return e.element->WriteRecord(at); }, blank);
}

// Message boxes (a text line too long for the screen) are answered silently.
class QuietPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override { return PromptDefaultAnswer(request.flags); }
};

// The panel models' fonts, blank cells of their sizes, registered once.
void RegisterPanelFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static QuietPrompts prompts;
    SetPromptBackend(&prompts);
    const struct {
        const char* face;
        int width;
        int height;
    } fonts[] = {{"ANSI Zobrel 5x8", 6, 8}, {"ANSI Zobrel 8x14", 8, 14}, {"QS VZKA/MA 6x9", 6, 9}};
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "plv-fuzz-fonts";
    std::filesystem::create_directories(folder);
    for (const auto& f : fonts) {
        FntHeader header;
        header.pixWidth = f.width;
        header.pixHeight = f.height;
        header.ascent = f.height - 1;
        header.avgWidth = f.width;
        header.firstChar = 32;
        header.lastChar = 255;
        header.defaultChar = 32;
        header.charSet = 250;
        header.face = f.face;
        const std::vector<std::uint8_t> bytes = FntFile(header).FileBytes();
        const std::string path = (folder / (std::to_string(f.width) + "x" + std::to_string(f.height) + ".fnt")).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        AddFontResource(path.c_str());
    }
}

// A caption label read and written through its text-element record; its
// place is its owner's, the same for every copy.
struct Label {
    LabelRect label{TRect(0, 0, 4000, 200), "", true};
    bool operator==(const Label& other) const
    {
        std::vector<std::uint8_t> a(65536);
        std::vector<std::uint8_t> b(65536);
        const std::uint8_t* endA = label.WriteRecord(a.data());
        const std::uint8_t* endB = other.label.WriteRecord(b.data());
        return endA && endB && std::equal(static_cast<const std::uint8_t*>(a.data()), endA,
                                          static_cast<const std::uint8_t*>(b.data()), endB);
    }
};

void TextRoundTrip(RecordReader& in, int reader)
{
    switch (reader % 4) {
    case 0:
        ElementRoundTrip(in, Element(std::make_unique<TFormatText>()));
        break;
    case 1:
        ElementRoundTrip(in, Element(std::make_unique<TextElem>(TRect(), "", true)));
        break;
    case 2:
        RoundTrip<Label>(
            in, [](Label& l, RecordReader& r) { return l.label.ReadRecord(r); },
            [](const Label& l, std::uint8_t* at) { return l.label.WriteRecord(at); }, Label());
        break;
    default:
        ElementRoundTrip(in, Element(std::make_unique<PointElem>(TRect(), "", true)));
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool colour = data[0] & 0x80;
    const int reader = data[0] & 0x7F;
    const bool textPanel = reader >= 44 && reader <= 47;
    const int panelType = textPanel ? 15 : colour ? 5 : 9;
    _QSglobals.GetDatabase().SetPanelType(panelType);
    PanelPageEditor editor(panelType);
    SetActivePageEditor(&editor);
    RecordReader in(data + 1, size - 1);
    if (reader >= 40 && reader <= 47) {
        RegisterPanelFonts();
        TextRoundTrip(in, reader);
        SetActivePageEditor(nullptr);
        return 0;
    }

    switch (reader % 12) {
    case 0:
        RoundTrip<ColorPoint>(
            in, [](ColorPoint& c, RecordReader& r) { return c.Unpack(r); },
            [](const ColorPoint& c, std::uint8_t* at) { return c.Pack(at); }, ColorPoint());
        break;
    case 1:
        RoundTrip<ColorPoint>(
            in, [](ColorPoint& c, RecordReader& r) { return c.Unpack(r); },
            [](const ColorPoint& c, std::uint8_t* at) { return c.Pack(at); },
            ColorPoint(ColorPoint::kTouchRegionKind));
        break;
    case 2:
        RoundTrip<ColorPoint>(
            in, [](ColorPoint& c, RecordReader& r) { return c.UnpackCompact(r); },
            [](const ColorPoint& c, std::uint8_t* at) { return c.PackCompact(at); }, ColorPoint());
        break;
    case 3:
        RoundTrip<DynamicData>(
            in, [](DynamicData& d, RecordReader& r) { return d.UnpackShowHide(r); },
            [](const DynamicData& d, std::uint8_t* at) { return d.PackShowHide(at); }, DynamicData());
        break;
    case 4:
        // The compact form does not carry the tag: the reference read keeps the kind.
        RoundTrip<DynamicData>(
            in,
            [](DynamicData& d, RecordReader& r) {
                d.SetReference(0x8001);
                return d.UnpackCompact(r);
            },
            [](const DynamicData& d, std::uint8_t* at) { return d.PackCompact(at); }, DynamicData());
        break;
    case 5:
        // The flags byte, then the dynamics it announces.
        RoundTrip<Dynamics>(
            in,
            [](Dynamics& d, RecordReader& r) {
                return r.ReadByte(d.flags) && UnpackDynamics(d.element, r, d.flags);
            },
            [](const Dynamics& d, std::uint8_t* at) {
                std::uint8_t* flags = at++;
                *flags = 0;
                return PackDynamics(d.element, at, *flags);
            },
            Dynamics());
        break;
    case 6:
        RoundTrip<FrameRect>(
            in, [](FrameRect& f, RecordReader& r) { return f.ReadRecord(r); },
            [](const FrameRect& f, std::uint8_t* at) { return f.WriteRecord(at); }, FrameRect());
        break;
    case 8:
        ElementRoundTrip(in, Element(std::make_unique<LinesElem>()));
        break;
    case 9:
        // Field records of types 21 and 14, as the factory makes them.
        ElementRoundTrip(in, Element(std::make_unique<TRegFigElem>(TRegFigElem::kRectangle)));
        break;
    case 10:
        ElementRoundTrip(in, Element(std::make_unique<TRegFigElem>(TRegFigElem::kFrame)));
        break;
    case 11:
        ElementRoundTrip(in, Element(std::make_unique<BitmapElem>()));
        break;
    default: {
        int x = 0;
        int y = 0;
        UnpackPoint(x, y, in);
        break;
    }
    }
    SetActivePageEditor(nullptr);
    return 0;
}
