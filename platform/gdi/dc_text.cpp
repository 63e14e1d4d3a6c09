// Fonts and text of the device context.

#include "platform/base/code_page.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_internal.h"
#include "platform/gdi/font_registry.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

// Magnifications beyond this are refused: no panel text is that large, and a
// wild height must not make a glyph of millions of pixels.
constexpr int kMaxMagnification = 64;
constexpr int kMaxDesktopPixels = 2000;

QString ToQString(const std::string& text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const int ch = static_cast<unsigned char>(c);
        const std::uint32_t u = Cp1252ToUnicode(ch);
        // Control codes and unassigned codes keep their own value, so a tab
        // or a blank cell is still one character.
        out.append(QChar(static_cast<char16_t>(u ? u : static_cast<std::uint32_t>(ch))));
    }
    return out;
}

std::string Bytes(const char* text, int count)
{
    if (!text)
        return std::string();
    // A count never reaches past the text's terminating zero.
    const std::size_t length = count < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(count));
    return std::string(text, length);
}

}  // namespace

const TDC::RealFont& TDC::Font() const
{
    if (font_)
        return *font_;
    font_ = std::make_unique<RealFont>();
    RealFont& f = *font_;
    const LOGFONT& lf = state_.font.GetObject();
    const int height = lf.lfHeight == 0 ? 0 : std::max(1, ToDeviceHeight(std::abs(lf.lfHeight)));
    const int width = lf.lfWidth == 0 ? 0 : std::max(1, ToDeviceWidth(std::abs(lf.lfWidth)));
    if (lf.lfFaceName[0])
        f.raster = FindRasterFont(lf.lfFaceName, height);
    TEXTMETRIC& tm = f.tm;
    if (f.raster) {
        const FntHeader& h = f.raster->Header();
        const int charHeight = std::max(1, lf.lfHeight < 0 ? h.pixHeight - h.internalLeading : h.pixHeight);
        const int cellWidth = std::max(1, h.avgWidth > 0 ? h.avgWidth : h.pixWidth > 0 ? h.pixWidth : 1);
        f.sy = std::clamp(height > 0 ? height / charHeight : 1, 1, kMaxMagnification);
        f.sx = std::clamp(width > 0 ? width / cellWidth : f.sy, 1, kMaxMagnification);
        tm = f.raster->Metrics(f.sx, f.sy);
        // Underline and strike-out are the request's, whatever the file says.
        tm.tmUnderlined = lf.lfUnderline;
        tm.tmStruckOut = lf.lfStrikeOut;
        return f;
    }
    if (!qGuiApp)
        return f;  // no desktop fonts without an application: text draws nothing
    QFont q = QGuiApplication::font();
    if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH && !lf.lfFaceName[0])
        q = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (lf.lfFaceName[0])
        q.setFamily(QString::fromLatin1(lf.lfFaceName));
    q.setStyleStrategy(QFont::NoAntialias);
    q.setWeight(static_cast<QFont::Weight>(std::clamp(lf.lfWeight > 0 ? lf.lfWeight : FW_NORMAL, 1, 1000)));
    q.setItalic(lf.lfItalic != 0);
    q.setUnderline(lf.lfUnderline != 0);
    q.setStrikeOut(lf.lfStrikeOut != 0);
    int pixels = std::min(height, kMaxDesktopPixels);
    if (pixels == 0) {
        const double points = q.pointSizeF() > 0 ? q.pointSizeF() : 9.0;
        pixels = std::max(1, static_cast<int>(points * device_.dpiY / 72.0 + 0.5));
    }
    q.setPixelSize(pixels);
    if (lf.lfHeight > 0) {
        // A positive height is the whole cell: shrink the em until the cell fits.
        const int cell = QFontMetrics(q).height();
        if (cell > pixels)
            q.setPixelSize(std::max(1, pixels * pixels / cell));
    }
    const QFontMetrics fm(q);
    tm.tmHeight = fm.height();
    tm.tmAscent = fm.ascent();
    tm.tmDescent = fm.descent();
    tm.tmInternalLeading = std::max(0, fm.height() - q.pixelSize());
    tm.tmExternalLeading = std::max(0, fm.leading());
    tm.tmAveCharWidth = fm.averageCharWidth();
    tm.tmMaxCharWidth = fm.maxWidth();
    tm.tmWeight = lf.lfWeight > 0 ? lf.lfWeight : FW_NORMAL;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    // The low bit set means variable pitch (the platform's reading of it).
    tm.tmPitchAndFamily = static_cast<BYTE>(QFontInfo(q).fixedPitch() ? 0 : 1);
    tm.tmCharSet = ANSI_CHARSET;
    f.desktop = q;
    return f;
}

int TDC::TextWidthDevice(const std::string& text) const
{
    const RealFont& f = Font();
    if (f.raster) {
        int width = 0;
        for (const char c : text)
            width += f.raster->CharWidth(static_cast<unsigned char>(c)) * f.sx;
        return width;
    }
    if (!f.desktop)
        return 0;
    return QFontMetrics(*f.desktop).horizontalAdvance(ToQString(text));
}

void TDC::DrawTextRun(int x, int top, const std::string& text)
{
    if (text.empty() || target_ == Target::None)
        return;
    const RealFont& f = Font();
    const int width = TextWidthDevice(text);
    const int height = f.tm.tmHeight;
    if (state_.bkMode == OPAQUE && width > 0 && height > 0) {
        const QRect box(x, top, width, height);
        FillRects(&box, 1, Resolve(state_.bkColor), R2_COPYPEN);
    }
    const unsigned color = Resolve(state_.textColor);
    if (f.raster) {
        std::vector<QRect> rects;
        int at = x;
        for (const char c : text) {
            const unsigned char ch = static_cast<unsigned char>(c);
            for (const TRasterFont::Run& r : f.raster->Glyph(ch))
                rects.emplace_back(at + r.x0 * f.sx, top + r.y * f.sy, (r.x1 - r.x0) * f.sx, f.sy);
            at += f.raster->CharWidth(ch) * f.sx;
        }
        if (f.tm.tmUnderlined)
            rects.emplace_back(x, top + std::min(f.tm.tmAscent, height - f.sy), width, f.sy);
        if (f.tm.tmStruckOut)
            rects.emplace_back(x, top + f.tm.tmAscent * 2 / 3, width, f.sy);
        FillRects(rects.data(), rects.size(), color, R2_COPYPEN);
        return;
    }
    if (!f.desktop || width <= 0)
        return;
    const QString qtext = ToQString(text);
    if (target_ == Target::VectorPainter) {
        ApplyClipToPainter();
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->setFont(*f.desktop);
        painter_->setPen(QColor::fromRgb(color));
        painter_->drawText(QPointF(x, top + f.tm.tmAscent), qtext);
        return;
    }
    // Drawn as a mask first, so the pixels set are exactly the font's and the
    // text goes through the same clipping as every other figure.
    const int margin = f.tm.tmHeight;  // room for italic overhang
    QImage mask(width + 2 * margin, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(*f.desktop);
        p.setPen(Qt::white);
        p.drawText(QPointF(margin, f.tm.tmAscent), qtext);
    }
    TRuns runs;
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        int xx = 0;
        while (xx < mask.width()) {
            if (qAlpha(row[xx]) < 128) {
                ++xx;
                continue;
            }
            const int start = xx;
            while (xx < mask.width() && qAlpha(row[xx]) >= 128)
                ++xx;
            runs.emplace_back(x - margin + start, top + y, xx - start, 1);
        }
    }
    FillRuns(runs, color, R2_COPYPEN);
}

bool TDC::GetTextMetrics(TEXTMETRIC& metrics) const
{
    const TEXTMETRIC& d = Font().tm;
    metrics = d;
    metrics.tmHeight = ToLogicalHeight(d.tmHeight);
    metrics.tmAscent = ToLogicalHeight(d.tmAscent);
    metrics.tmDescent = ToLogicalHeight(d.tmDescent);
    metrics.tmInternalLeading = ToLogicalHeight(d.tmInternalLeading);
    metrics.tmExternalLeading = ToLogicalHeight(d.tmExternalLeading);
    metrics.tmAveCharWidth = ToLogicalWidth(d.tmAveCharWidth);
    metrics.tmMaxCharWidth = ToLogicalWidth(d.tmMaxCharWidth);
    return true;
}

TSize TDC::GetTextExtent(const char* text, int count) const
{
    const std::string s = Bytes(text, count);
    return TSize(ToLogicalWidth(TextWidthDevice(s)), ToLogicalHeight(Font().tm.tmHeight));
}

bool TDC::TextOut(int x, int y, const char* text, int count)
{
    if (!IsOK() || !text)
        return false;
    const std::string s = Bytes(text, count);
    const UINT align = state_.textAlign;
    const bool updateCP = (align & TA_UPDATECP) != 0;
    const TPoint at = ToDevice(updateCP ? state_.position : TPoint(x, y));
    const int width = TextWidthDevice(s);
    const TEXTMETRIC& tm = Font().tm;
    int left = at.x;
    if ((align & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if (align & TA_RIGHT)
        left -= width;
    int top = at.y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top -= tm.tmAscent;
    else if (align & TA_BOTTOM)
        top -= tm.tmHeight;
    DrawTextRun(left, top, s);
    if (updateCP) {
        // The position moves past the text (to its left end when it was
        // right-aligned at the position).
        const bool right = (align & TA_CENTER) == TA_RIGHT;
        state_.position = ToLogical(TPoint(right ? left : left + width, at.y));
    }
    return true;
}

namespace {

struct Line {
    std::size_t start;  // offset in the shown text
    std::string text;
};

}  // namespace

int TDC::DrawText(const char* text, int count, TRect& rect, UINT format)
{
    if (!IsOK() || !text)
        return 0;
    const std::string source = Bytes(text, count);
    // Prefix characters: "&x" underlines x, "&&" is one "&".
    std::string shown;
    std::size_t underline = std::string::npos;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (!(format & DT_NOPREFIX) && source[i] == '&') {
            if (i + 1 < source.size() && source[i + 1] == '&') {
                shown += '&';
                ++i;
            } else if (i + 1 < source.size()) {
                underline = shown.size();
            }
            continue;
        }
        shown += source[i];
    }

    const TEXTMETRIC& tm = Font().tm;
    const bool tabs = (format & DT_EXPANDTABS) != 0;
    const int tabWidth = std::max(1, 8 * std::max(1, tm.tmAveCharWidth));
    // Hands each piece of a line between tabs to `piece` with its offset from
    // the line's start, and answers the line's width. Without DT_EXPANDTABS a
    // tab is an ordinary character.
    auto layOut = [&](const std::string& s, auto&& piece) {
        if (!tabs || s.find('\t') == std::string::npos) {
            piece(0, s);
            return TextWidthDevice(s);
        }
        int x = 0;
        std::size_t from = 0;
        for (;;) {
            const std::size_t tab = s.find('\t', from);
            const std::string part = s.substr(from, tab - from);
            piece(x, part);
            x += TextWidthDevice(part);
            if (tab == std::string::npos)
                return x;
            x = (x / tabWidth + 1) * tabWidth;
            from = tab + 1;
        }
    };
    auto width = [&](const std::string& s) { return layOut(s, [](int, const std::string&) {}); };

    const TRect box = ToDeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    const TPoint origin = ToDevice(rect.TopLeft());
    const int boxWidth = box.Width();

    // Lines: the whole text on one line, or broken at line breaks and, with
    // DT_WORDBREAK, at blanks before the line would grow past the rectangle.
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back({0, shown});
    } else {
        std::size_t at = 0;
        while (at <= shown.size()) {
            std::size_t end = shown.find_first_of("\r\n", at);
            const std::size_t stop = end == std::string::npos ? shown.size() : end;
            const std::string paragraph = shown.substr(at, stop - at);
            if (!(format & DT_WORDBREAK)) {
                lines.push_back({at, paragraph});
            } else {
                std::size_t pos = 0;
                do {
                    std::size_t fit = std::string::npos;
                    std::size_t k = pos;
                    for (;;) {
                        std::size_t wordEnd = k;
                        while (wordEnd < paragraph.size() && paragraph[wordEnd] != ' ')
                            ++wordEnd;
                        if (fit != std::string::npos && width(paragraph.substr(pos, wordEnd - pos)) > boxWidth)
                            break;
                        fit = wordEnd;
                        k = wordEnd;
                        while (k < paragraph.size() && paragraph[k] == ' ')
                            ++k;
                        if (k >= paragraph.size())
                            break;
                    }
                    lines.push_back({at + pos, paragraph.substr(pos, fit - pos)});
                    pos = fit;
                    while (pos < paragraph.size() && paragraph[pos] == ' ')
                        ++pos;
                } while (pos < paragraph.size());
            }
            if (end == std::string::npos)
                break;
            if (shown[end] == '\r' && end + 1 < shown.size() && shown[end + 1] == '\n')
                ++end;
            at = end + 1;
            if (at == shown.size())
                break;  // a closing line break opens no further line
        }
    }

    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int textHeight = lineHeight * static_cast<int>(lines.size());
    int maxWidth = 0;
    for (const Line& l : lines)
        maxWidth = std::max(maxWidth, width(l.text));

    int top = origin.y;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = box.top + (box.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = box.bottom - lineHeight;
    }
    const bool offsetAnswer = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    const int answerDevice = offsetAnswer ? top - origin.y + textHeight : textHeight;
    const int answer = std::max(1, ToLogicalHeight(answerDevice));

    if (format & DT_CALCRECT) {
        const TPoint corner = ToLogical(TPoint(origin.x + maxWidth, origin.y + textHeight));
        rect.right = corner.x;
        rect.bottom = corner.y;
        return answer;
    }

    const std::optional<QRegion> savedClip = state_.clip;
    if (!(format & DT_NOCLIP)) {
        const QRegion r(box.left, box.top, std::max(0, box.Width()), std::max(0, box.Height()));
        state_.clip = state_.clip ? (*state_.clip & r) : r;
        ClipChanged();
    }
    int y = top;
    for (const Line& l : lines) {
        const int w = width(l.text);
        int x = box.left;
        if (format & DT_CENTER)
            x = box.left + (box.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = box.right - w;
        layOut(l.text, [&](int dx, const std::string& piece) { DrawTextRun(x + dx, y, piece); });
        if (underline != std::string::npos && underline >= l.start && underline < l.start + l.text.size()) {
            const std::size_t i = underline - l.start;
            const int ux = x + width(l.text.substr(0, i));
            const int uw = std::max(1, TextWidthDevice(l.text.substr(i, 1)));
            const QRect bar(ux, y + std::min(tm.tmAscent + 1, tm.tmHeight - 1), uw, 1);
            FillRects(&bar, 1, Resolve(state_.textColor), R2_COPYPEN);
        }
        y += lineHeight;
    }
    state_.clip = savedClip;
    ClipChanged();
    return answer;
}
