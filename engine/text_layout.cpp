// Breaking, measuring and drawing memo text at the 600-dpi reference.
#include "engine/text_layout.h"

#include "platform/fonts/Fontes.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kAdvanceTableSize = 32768;

bool IsBlank(QChar c) { return c.unicode() == 32; }

// Spreads `total` pixels over `count` slots: an equal share each, the remainder one pixel at a
// time, evenly placed so that no stretch of the line bunches up.
int SpreadShare(int total, int count, int index)
{
    if (count <= 0)
        return 0;
    const long long a = (long long)total * (index + 1) / count;
    const long long b = (long long)total * index / count;
    return int(a - b);
}

bool IsVowel(QChar c)
{
    static const QString vowels = QStringLiteral("aeiouáéíóúâêôãõàüyAEIOUÁÉÍÓÚÂÊÔÃÕÀÜY");
    return vowels.contains(c);
}

// Hyphenation between a vowel and a consonant followed by a vowel (ca-sa, pro-du-to), with at
// least two letters on each side: simple, and never splits a word where a reader would balk.
bool MayHyphenate(const QString &t, int p, int wordStart, int wordEnd)
{
    if (p - wordStart < 2 || wordEnd - p < 2)
        return false;
    const QChar before = t.at(p - 1), at = t.at(p), after = t.at(p + 1);
    return before.isLetter() && at.isLetter() && after.isLetter() && IsVowel(before)
           && !IsVowel(at) && IsVowel(after);
}

// Logical indices in display order, by the levels of the bidi algorithm.
std::vector<int> VisualOrder(const QString &text, bool rtl)
{
    std::vector<int> order(std::size_t(text.size()));
    for (int i = 0; i < int(order.size()); ++i)
        order[std::size_t(i)] = i;
    bool needs = rtl;
    for (QChar c : text)
        if (c.unicode() >= 0x0590) { needs = true; break; }
    if (!needs)
        return order;
    const auto levels = fontes::niveisBidi(text, rtl);
    int highest = 0, lowestOdd = 255;
    for (auto l : levels) {
        highest = std::max<int>(highest, l);
        if (l % 2)
            lowestOdd = std::min<int>(lowestOdd, l);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (std::size_t i = 0; i < order.size();) {
            if (levels[std::size_t(order[i])] < level) { ++i; continue; }
            std::size_t j = i;
            while (j < order.size() && levels[std::size_t(order[j])] >= level)
                ++j;
            std::reverse(order.begin() + std::ptrdiff_t(i), order.begin() + std::ptrdiff_t(j));
            i = j;
        }
    // A surrogate pair reversed with its run must stay high-then-low for the glyph lookup; its
    // slots are adjacent either way, so nothing more is needed for placement.
    return order;
}

QColor SystemColor(int index)
{
    // The platform's default scheme for the system colours a report may name.
    switch (index) {
    case 0: return QColor(200, 200, 200);   // scroll bar
    case 1: return QColor(0, 0, 0);         // background
    case 2: return QColor(153, 180, 209);   // active caption
    case 3: return QColor(191, 205, 219);   // inactive caption
    case 4: return QColor(240, 240, 240);   // menu
    case 5: return QColor(255, 255, 255);   // window
    case 6: return QColor(100, 100, 100);   // window frame
    case 7: case 8: case 9: return QColor(0, 0, 0);
    case 12: return QColor(171, 171, 171);  // application workspace
    case 13: return QColor(0, 120, 215);    // highlight
    case 14: return QColor(255, 255, 255);  // highlight text
    case 15: return QColor(240, 240, 240);  // button face
    case 16: return QColor(160, 160, 160);  // button shadow
    case 17: return QColor(109, 109, 109);  // grey text
    case 18: return QColor(0, 0, 0);        // button text
    case 20: return QColor(255, 255, 255);  // 3D highlight
    case 27: return QColor(185, 209, 234);  // gradient of the active caption
    case 28: return QColor(215, 228, 242);  // gradient of the inactive caption
    default: return QColor(240, 240, 240);
    }
}

} // namespace

QColor frxColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (IsSystemColor(color))
        return SystemColor(int(color & 0xFF));
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

// ---------------------------------------------------------------------------------------------
// HTML tags

void frxParseHTMLTags(const QString &source, QString &text, std::vector<TfrxCharStyle> &styles,
                      bool baseBold, bool baseItalic)
{
    text.clear();
    styles.clear();
    text.reserve(source.size());
    styles.reserve(std::size_t(source.size()));
    TfrxCharStyle current;
    if (baseBold)
        current.Flags |= TfrxCharStyle::Bold;
    if (baseItalic)
        current.Flags |= TfrxCharStyle::Italic;
    std::vector<TColor> colors;  // open <font> tags
    struct Tag { const char *name; quint8 flag; };
    static const Tag tags[] = {{"b", TfrxCharStyle::Bold},       {"i", TfrxCharStyle::Italic},
                               {"u", TfrxCharStyle::Underline},  {"strike", TfrxCharStyle::StrikeOut},
                               {"sub", TfrxCharStyle::Sub},      {"sup", TfrxCharStyle::Sup},
                               {"nowrap", TfrxCharStyle::NoWrap}};
    const int n = int(source.size());
    for (int i = 0; i < n;) {
        if (source.at(i) == u'<') {
            const int close = int(source.indexOf(u'>', i + 1));
            if (close > i) {
                const QString inner = source.mid(i + 1, close - i - 1);
                const bool closing = inner.startsWith(u'/');
                const QString name = (closing ? inner.mid(1) : inner).trimmed().toLower();
                bool known = false;
                for (const Tag &t : tags)
                    if (name == QLatin1String(t.name)) {
                        known = true;
                        const bool base = (t.flag == TfrxCharStyle::Bold && baseBold)
                                          || (t.flag == TfrxCharStyle::Italic && baseItalic);
                        if (closing && !base)
                            current.Flags &= quint8(~t.flag);
                        else if (!closing)
                            current.Flags |= t.flag;
                    }
                if (!known && closing && name == QLatin1String("font")) {
                    known = true;
                    if (!colors.empty())
                        colors.pop_back();
                    current.Color = colors.empty() ? clNone : colors.back();
                } else if (!known && !closing && name.startsWith(QLatin1String("font color=\"#"))
                           && name.endsWith(u'"')) {
                    const QString hex = name.mid(13, name.size() - 14);
                    bool ok = false;
                    const uint rgb = hex.toUInt(&ok, 16);
                    if (ok && hex.size() == 6) {
                        known = true;
                        // #RRGGBB written as a report colour 0x00BBGGRR
                        const TColor c = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
                        colors.push_back(c);
                        current.Color = c;
                    }
                }
                if (known) {
                    i = close + 1;
                    continue;
                }
            }
        }
        text.append(source.at(i));
        styles.push_back(current);
        ++i;
    }
}

// ---------------------------------------------------------------------------------------------
// Layout

std::recursive_mutex &TfrxDrawText::Lock()
{
    static std::recursive_mutex lock;
    return lock;
}

TfrxDrawText &TfrxDrawText::Global()
{
    static TfrxDrawText global;
    return global;
}

TfrxDrawText::TfrxDrawText()
{
    FAdvances.resize(kAdvanceTableSize);
    SetFont(TfrxFont());
}

void TfrxDrawText::SetFont(const TfrxFont &font)
{
    const bool sameFace = FFaces[FBaseFace] && font.Name == FFont.Name
                          && (font.Style & (fsBold | fsItalic)) == (FFont.Style & (fsBold | fsItalic));
    if (!sameFace) {
        // Looked up first: when no font serves, the layout keeps the font it had.
        fontes::FaceFonte &face = fontes::abrirFace(font.Name, {(font.Style & fsBold) != 0,
                                                                (font.Style & fsItalic) != 0});
        FFaces = {};
        FBaseFace = ((font.Style & fsBold) ? 1 : 0) | ((font.Style & fsItalic) ? 2 : 0);
        FFaces[FBaseFace] = &face;
    }
    FFont = font;
    FMeasuringHeight = -nint(font.Size * double(ReferenceDPI) / 72.0);
}

fontes::FaceFonte &TfrxDrawText::FaceFor(quint8 styleFlags)
{
    const int index = FBaseFace | ((styleFlags & TfrxCharStyle::Bold) ? 1 : 0)
                      | ((styleFlags & TfrxCharStyle::Italic) ? 2 : 0);
    if (!FFaces[index])
        FFaces[index] = &fontes::abrirFace(FFont.Name, {(index & 1) != 0, (index & 2) != 0});
    return *FFaces[index];
}

void TfrxDrawText::SetOptions(bool WordWrap, bool HTMLTags, int Rotation, bool Wysiwyg,
                              bool Clipped, bool WordBreak, bool RTLReading)
{
    FWordWrap = WordWrap;
    FHTMLTags = HTMLTags;
    FRotation = ((Rotation % 360) + 360) % 360;
    FWysiwyg = Wysiwyg;
    FClipped = Clipped;
    FWordBreak = WordBreak;
    FRTLReading = RTLReading;
}

void TfrxDrawText::SetGaps(double LineSpacing, double CharSpacing, double ParagraphGap)
{
    FLineSpacing = LineSpacing;
    FCharSpacing = CharSpacing;
    FParagraphGap = ParagraphGap;
}

void TfrxDrawText::SetDimensions(const TfrxTextRect &Layout, const TfrxTextRect &Clip,
                                 double PrintScale, double ScaleY, double ScaleX)
{
    FLayout = Layout;
    FClip = Clip;
    FPrintScale = PrintScale;
    FScaleY = ScaleY;
    FScaleX = ScaleX;
}

static bool SwapsSides(int rotation)
{
    return (rotation >= 90 && rotation < 180) || (rotation >= 270 && rotation < 360);
}

int TfrxDrawText::LayoutWidth() const
{
    return SwapsSides(FRotation) ? FLayout.Height() : FLayout.Width();
}

int TfrxDrawText::LayoutHeight() const
{
    return SwapsSides(FRotation) ? FLayout.Width() : FLayout.Height();
}

int TfrxDrawText::AdvanceAt(const QString &text, int i, const std::vector<TfrxCharStyle> &styles,
                            int ppem)
{
    const char16_t unit = text.at(i).unicode();
    const char16_t next = i + 1 < text.size() ? text.at(i + 1).unicode() : 0;
    if (styles.empty())
        return FFaces[FBaseFace]->avancoPixels(unit, next, ppem);
    const TfrxCharStyle &s = styles[std::size_t(i)];
    const int size = (s.Flags & (TfrxCharStyle::Sub | TfrxCharStyle::Sup)) ? nint(ppem * 2.0 / 3.0) : ppem;
    return FaceFor(s.Flags).avancoPixels(unit, next, size);
}

int TfrxDrawText::Measure(const QString &text, const std::vector<TfrxCharStyle> &styles,
                          int charSpacing)
{
    const int n = int(text.size());
    // Past the usual limit the table grows instead of overrunning: a longer paragraph is rare
    // but must not corrupt anything.
    if (std::size_t(n) > FAdvances.size())
        FAdvances.resize(std::size_t(n));
    const int ppem = -FMeasuringHeight;
    std::int32_t sum = 0;
    std::int32_t *out = FAdvances.data();
    if (styles.empty()) {
        fontes::FaceFonte &face = *FFaces[FBaseFace];
        const QChar *data = text.constData();
        for (int i = 0; i < n; ++i) {
            const char16_t next = i + 1 < n ? data[i + 1].unicode() : 0;
            sum += face.avancoPixels(data[i].unicode(), next, ppem) + charSpacing;
            out[i] = sum;
        }
    } else {
        for (int i = 0; i < n; ++i) {
            sum += AdvanceAt(text, i, styles, ppem) + charSpacing;
            out[i] = sum;
        }
    }
    return sum;
}

void TfrxDrawText::SetText(const QStringList &lines)
{
    FLines.clear();
    FPlainText.clear();
    const int w = LayoutWidth();
    const int fullMax = nint(w * Ratio);
    const int firstMax = nint((w - FParagraphGap) * Ratio);
    const int charSpacing = nint(FCharSpacing * Ratio);
    for (int p = 0; p < int(lines.size()); ++p) {
        const QString &source = lines.at(p);
        const QString paragraph = source.isEmpty() ? QStringLiteral(" ") : source;
        FPlainText += paragraph;
        FPlainText += QLatin1String("\r\n");
        const std::size_t first = FLines.size();
        BreakParagraph(paragraph, firstMax, fullMax, charSpacing);
        if (FLines.size() > first) {
            FLines[first].Flags |= pfFirstLine;
            FLines.back().Flags |= pfLastLine;
        }
        for (std::size_t k = first; k < FLines.size(); ++k)
            FLines[k].Paragraph = p;
    }
}

void TfrxDrawText::BreakParagraph(const QString &source, int firstMax, int fullMax, int charSpacing)
{
    QString text;
    std::vector<TfrxCharStyle> styles;
    if (FHTMLTags && source.contains(u'<')) {
        frxParseHTMLTags(source, text, styles);
        if (text.isEmpty()) { // only tags: keep the line's height
            text = QStringLiteral(" ");
            styles.assign(1, TfrxCharStyle());
        }
    } else {
        text = source;
    }
    const int n = int(text.size());
    Measure(text, styles, charSpacing);
    const std::int32_t *A = FAdvances.data();
    auto base = [&](int s) { return s > 0 ? A[s - 1] : 0; };
    int hyphenWidth = -1;
    auto addLine = [&](int from, int to, bool hyphen) {
        TfrxWrappedLine line;
        line.Text = text.mid(from, to - from);
        line.Start = from;
        line.End = to;
        line.Width = (to > from ? A[to - 1] - base(from) : 0) - (to - from) * charSpacing;
        if (!styles.empty())
            line.Styles.assign(styles.begin() + from, styles.begin() + to);
        if (hyphen) {
            line.Text += u'-';
            line.Width += hyphenWidth;
            if (!styles.empty())
                line.Styles.push_back(styles[std::size_t(to - 1)]);
        }
        FLines.push_back(std::move(line));
    };

    if (n <= 1 || !FWordWrap || A[n - 1] < firstMax) {
        addLine(0, n, false);
        return;
    }

    int s = 0, c = 0, max = firstMax;
    for (int i = 0; i < n;) {
        if (IsBlank(text.at(i)) && (styles.empty() || !(styles[std::size_t(i)].Flags & TfrxCharStyle::NoWrap)))
            c = i;
        if (A[i] - base(s) <= max) {
            ++i;
            continue;
        }
        int next = -1;
        if (FWordBreak) {
            // The word that does not fit, from its start to the next blank.
            const int wordStart = c != s ? c + 1 : s;
            int wordEnd = i;
            while (wordEnd < n && !IsBlank(text.at(wordEnd)))
                ++wordEnd;
            if (hyphenWidth < 0)
                hyphenWidth = FFaces[FBaseFace]->avancoPixels(u'-', 0, -FMeasuringHeight) + charSpacing;
            for (int p = std::min(i, wordEnd - 2); p > wordStart; --p)
                if (MayHyphenate(text, p, wordStart, wordEnd) && A[p - 1] - base(s) + hyphenWidth <= max) {
                    addLine(s, p, true);
                    next = p;
                    break;
                }
        }
        if (next < 0) {
            if (c != s) {            // at the last blank that fits; the blank is dropped
                addLine(s, c, false);
                next = c + 1;
            } else if (i == s) {     // one character wider than the line
                addLine(s, s + 1, false);
                next = s + 1;
            } else {                 // a word longer than the line
                addLine(s, i, false);
                next = i;
            }
        }
        s = next;
        c = s;
        i = s;
        max = fullMax;
    }
    if (s < n)
        addLine(s, n, false);
}

void TfrxDrawText::ApplyParaBreaks(bool FirstParaBreak, bool LastParaBreak)
{
    if (FLines.empty())
        return;
    if (FirstParaBreak)
        FLines.front().Flags &= ~pfFirstLine;
    if (LastParaBreak)
        FLines.back().Flags &= ~pfLastLine;
}

double TfrxDrawText::LineHeight() const
{
    return -FMeasuringHeight / Ratio + FLineSpacing;
}

double TfrxDrawText::TextHeight() const
{
    return LinesHeight(int(FLines.size()));
}

double TfrxDrawText::LinesHeight(int count) const
{
    if (count <= 0)
        return 0;
    double h = LineHeight() * double(count);
    if (FLineSpacing < 0)
        h -= FLineSpacing;
    return h;
}

double TfrxDrawText::MaxLineWidth() const
{
    int widest = 0;
    const int indent = nint(FParagraphGap * Ratio);
    for (const TfrxWrappedLine &line : FLines) {
        int w = line.Width + nint(double(line.Text.size()) * FCharSpacing * Ratio);
        if (line.Flags & pfFirstLine)
            w += indent;
        widest = std::max(widest, w);
    }
    return widest / Ratio;
}

double TfrxDrawText::RemainingSpace() const
{
    const double available = LayoutHeight() + 1;
    const double lh = LineHeight();
    if (lh <= 0)
        return 0;
    const double whole = std::floor(available / lh + 1e-9);
    if (whole < 1)
        return 0;
    const double rest = available - lh * whole;
    return rest <= 1e-9 ? 0.0001 : rest;
}

double TfrxDrawText::TextWidth(const QString &line)
{
    QString text = line;
    std::vector<TfrxCharStyle> styles;
    if (FHTMLTags && line.contains(u'<'))
        frxParseHTMLTags(line, text, styles);
    const int measured = Measure(text, styles, 0);
    return (measured + nint(double(text.size()) * FCharSpacing * Ratio)) / Ratio;
}

QStringList TfrxDrawText::WrappedText() const
{
    QStringList result;
    result.reserve(qsizetype(FLines.size()));
    for (const TfrxWrappedLine &line : FLines)
        result.append(line.Text);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

struct Device {
    bool printer = false;
    double dpiX = 96, dpiY = 96;
};

Device DeviceOf(QPainter *canvas)
{
    Device d;
    if (QPaintDevice *dev = canvas->device()) {
        d.printer = dev->devType() == QInternal::Printer;
        d.dpiX = dev->logicalDpiX();
        d.dpiY = dev->logicalDpiY();
    }
    return d;
}

} // namespace

void TfrxDrawText::DrawText(QPainter *Canvas, TfrxHAlign HAlign, TfrxVAlign VAlign)
{
    if (FLines.empty() || !Canvas)
        return;
    const Device dev = DeviceOf(Canvas);
    const int refHeight = -FMeasuringHeight;
    // Output font: the em square in device pixels.
    const int ppem = dev.printer ? nint(dev.dpiY * FFont.Size * FPrintScale / 72.0)
                                 : nint(FFont.Size * FScaleY * 96.0 / 72.0);
    if (ppem <= 0)
        return;
    // Device pixels per reference dot.
    const double fx = dev.printer ? dev.dpiX * FPrintScale / ReferenceDPI : FScaleX / Ratio;
    const double fy = dev.printer ? dev.dpiY * FPrintScale / ReferenceDPI : FScaleY / Ratio;
    const int charSpacingRef = nint(FCharSpacing * Ratio);
    const int charSpacingDev = nint(FCharSpacing * Ratio * fx);
    const int n = int(FLines.size());

    const int lineAdvance = nint(FLineSpacing * FScaleY) + ppem;
    int total = lineAdvance * n;
    int spread = 0;
    if (FWysiwyg && n > 1) {
        const int target = nint((FLineSpacing * Ratio * n + double(refHeight) * n) * fy);
        spread = target - total;
        total = target;
    }

    Canvas->save();
    if (FClipped)
        Canvas->setClipRect(QRect(FClip.Left, FClip.Top, FClip.Width(), FClip.Height()), Qt::IntersectClip);
    // Rotated text is laid out in a local rectangle around the centre of the text rectangle.
    TfrxTextRect area = FClip;
    if (FRotation != 0) {
        const bool swap = SwapsSides(FRotation);
        const int w = swap ? FClip.Height() : FClip.Width();
        const int h = swap ? FClip.Width() : FClip.Height();
        Canvas->translate((FClip.Left + FClip.Right) / 2.0, (FClip.Top + FClip.Bottom) / 2.0);
        Canvas->rotate(-FRotation);
        area = {-w / 2, -h / 2, -w / 2 + w, -h / 2 + h};
    }

    int y = area.Top;
    if (VAlign == vaBottom)
        y += area.Height() - total;
    else if (VAlign == vaCenter)
        y += nint((area.Height() - total) / 2.0);

    const fontes::MetricasContorno &metrics = FFaces[FBaseFace]->metricas();
    const int ascent = nint(metrics.ascendenteCelula * ppem / 1000.0);
    const bool boldOrItalic = (FFont.Style & (fsBold | fsItalic)) != 0;
    std::vector<int> advances;

    for (int k = 0; k < n; ++k) {
        const TfrxWrappedLine &line = FLines[std::size_t(k)];
        const int len = int(line.Text.size());
        advances.assign(std::size_t(len), 0);
        int width = 0;
        for (int j = 0; j < len; ++j) {
            advances[std::size_t(j)] = AdvanceAt(line.Text, j, line.Styles, ppem) + charSpacingDev;
            width += advances[std::size_t(j)];
        }
        if (len > 0)
            width -= charSpacingDev;
        int t = width;
        if (FWysiwyg && len > 0) {
            const int refWidth = line.Width + len * charSpacingRef - charSpacingRef;
            t = nint(refWidth * fx);
            const int diff = t - width;
            for (int j = 0; j < len; ++j)
                advances[std::size_t(j)] += SpreadShare(diff, len, j);
        }
        const int available = area.Width() - t;
        const int indent = (line.Flags & pfFirstLine) ? nint(FParagraphGap * FScaleX) : 0;
        int x = area.Left;
        switch (HAlign) {
        case haLeft:
            x += indent;
            break;
        case haRight:
            x += available - (boldOrItalic && FRotation == 0 ? 1 : 0);
            break;
        case haCenter:
            x += nint(available / 2.0);
            break;
        case haBlock: {
            std::vector<int> blanks;
            for (int j = 0; j < len; ++j)
                if (line.Text.at(j).unicode() == 32 || line.Text.at(j).unicode() == 160)
                    blanks.push_back(j);
            if (!blanks.empty() && !(line.Flags & pfLastLine)) {
                const int extra = available - indent;
                // Even shares, the remainder one pixel each from the first blank.
                const int nb = int(blanks.size());
                const int share = extra / nb;
                const int rest = extra - share * nb;
                for (int b = 0; b < nb; ++b)
                    advances[std::size_t(blanks[std::size_t(b)])] += share + (b < std::abs(rest) ? (rest > 0 ? 1 : -1) : 0);
                x += indent;
            } else if (FRTLReading) {
                x += available;
            } else {
                x += indent;
            }
            break;
        }
        }
        DrawLine(Canvas, line, x, y + ascent, t, ppem, advances);
        y += lineAdvance + SpreadShare(spread, n - 1, std::min(k, n - 2));
    }
    Canvas->restore();
}

void TfrxDrawText::DrawLine(QPainter *Canvas, const TfrxWrappedLine &line, int x, int baseline,
                            int width, int ppem, const std::vector<int> &advances)
{
    const QString &text = line.Text;
    const int len = int(text.size());
    if (len == 0)
        return;
    // Character slots in display order: each character owns its adjusted advance.
    const std::vector<int> order = VisualOrder(text, FRTLReading);
    std::vector<int> slot(static_cast<std::size_t>(len));
    int pos = x;
    for (int v = 0; v < len; ++v) {
        slot[std::size_t(order[std::size_t(v)])] = pos;
        pos += advances[std::size_t(order[std::size_t(v)])];
    }

    const QColor fontColor = frxColor(FFont.Color);
    auto styleAt = [&](int j) { return line.Styles.empty() ? TfrxCharStyle() : line.Styles[std::size_t(j)]; };

    // Runs of one style; without HTML tags the whole line is one run.
    for (int a = 0; a < len;) {
        const TfrxCharStyle style = styleAt(a);
        int b = a + 1;
        while (b < len && styleAt(b) == style)
            ++b;
        fontes::FaceFonte &face = line.Styles.empty() ? *FFaces[FBaseFace] : FaceFor(style.Flags);
        const bool small = style.Flags & (TfrxCharStyle::Sub | TfrxCharStyle::Sup);
        const int size = small ? nint(ppem * 2.0 / 3.0) : ppem;
        int runBaseline = baseline;
        if (style.Flags & TfrxCharStyle::Sub)
            runBaseline += nint(ppem * 0.15);
        else if (style.Flags & TfrxCharStyle::Sup)
            runBaseline -= nint(ppem * 0.35);

        const QString run = text.mid(a, b - a);
        const auto glyphs = face.moldar(run, FRTLReading);
        const double unit = double(size) / face.unidadesPorEm();
        QVector<quint32> indexes;
        QVector<QPointF> positions;
        indexes.reserve(qsizetype(glyphs.size()));
        positions.reserve(qsizetype(glyphs.size()));
        // Each glyph sits at the leftmost slot of the characters of its cluster; several glyphs
        // of one cluster follow each other by their own advances.
        std::vector<std::uint32_t> clusters;
        for (const auto &g : glyphs)
            clusters.push_back(g.cluster);
        std::vector<std::uint32_t> sorted = clusters;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        std::uint32_t previousCluster = UINT32_MAX;
        double within = 0;
        for (std::size_t g = 0; g < glyphs.size(); ++g) {
            const std::uint32_t cl = glyphs[g].cluster;
            if (cl != previousCluster) {
                within = 0;
                previousCluster = cl;
            }
            auto it = std::upper_bound(sorted.begin(), sorted.end(), cl);
            const int end = it == sorted.end() ? int(run.size()) : int(*it);
            int left = slot[std::size_t(a + int(cl))];
            for (int j = int(cl) + 1; j < end; ++j)
                left = std::min(left, slot[std::size_t(a + j)]);
            indexes.append(glyphs[g].glifo);
            positions.append(QPointF(left + within + glyphs[g].deslocX * unit, -glyphs[g].deslocY * unit));
            within += glyphs[g].avanco * unit;
        }
        QGlyphRun glyphRun;
        glyphRun.setRawFont(face.fonteCrua(size));
        glyphRun.setGlyphIndexes(indexes);
        glyphRun.setPositions(positions);
        const QColor color = style.Color != clNone ? frxColor(style.Color) : fontColor;
        Canvas->setPen(color);
        Canvas->drawGlyphRun(QPointF(0, runBaseline), glyphRun);
        // A style without a file of its own is emboldened by a second pass one pixel over.
        const bool wantsBold = (FFont.Style & fsBold) || (style.Flags & TfrxCharStyle::Bold);
        if (wantsBold && !face.negritoReal())
            Canvas->drawGlyphRun(QPointF(1, runBaseline), glyphRun);

        const bool underline = (FFont.Style & fsUnderline) || (style.Flags & TfrxCharStyle::Underline);
        const bool strike = (FFont.Style & fsStrikeOut) || (style.Flags & TfrxCharStyle::StrikeOut);
        if (underline || strike) {
            int runLeft = INT32_MAX, runRight = INT32_MIN;
            for (int j = a; j < b; ++j) {
                runLeft = std::min(runLeft, slot[std::size_t(j)]);
                runRight = std::max(runRight, slot[std::size_t(j)] + advances[std::size_t(j)]);
            }
            if (line.Styles.empty()) { // the whole line: exactly its device width
                runLeft = x;
                runRight = x + width;
            }
            const fontes::MetricasContorno &m = face.metricas();
            auto rule = [&](int position, int thickness) {
                const int h = std::max(1, nint(thickness * size / 1000.0));
                const int top = runBaseline - nint(position * size / 1000.0);
                Canvas->fillRect(QRect(runLeft, top, runRight - runLeft, h), color);
            };
            if (underline)
                rule(m.posicaoSublinhado, m.espessuraSublinhado);
            if (strike)
                rule(m.posicaoTachado + m.espessuraTachado, m.espessuraTachado);
        }
        a = b;
    }
}
