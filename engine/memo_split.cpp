// Memos output in parts when their band is split over pages.
#include "engine/views.h"

#include "engine/text_layout.h"

#include <algorithm>
#include <climits>

namespace {

// The characters from .. to − 1 of a paragraph with HTML tags, written with tags again so that
// the piece reads back with the same attributes: each run of equal attributes gets its own tags.
QString htmlPiece(const QString &source, int from, int to, bool hyphen)
{
    QString text;
    std::vector<TfrxCharStyle> styles;
    frxParseHTMLTags(source, text, styles);
    to = std::min(to, int(text.size()));
    if (hyphen && to > from) {
        text.insert(to, u'-');
        styles.insert(styles.begin() + to, styles[std::size_t(to - 1)]);
        ++to;
    }
    struct Tag { quint8 flag; const char *name; };
    static const Tag tags[] = {{TfrxCharStyle::Bold, "b"},       {TfrxCharStyle::Italic, "i"},
                               {TfrxCharStyle::Underline, "u"},  {TfrxCharStyle::StrikeOut, "strike"},
                               {TfrxCharStyle::Sub, "sub"},      {TfrxCharStyle::Sup, "sup"},
                               {TfrxCharStyle::NoWrap, "nowrap"}};
    QString out;
    for (int i = from; i < to;) {
        const TfrxCharStyle style = styles[std::size_t(i)];
        int j = i;
        while (j < to && styles[std::size_t(j)] == style)
            ++j;
        QString close;
        for (const Tag &t : tags)
            if (style.Flags & t.flag) {
                out += QStringLiteral("<%1>").arg(QLatin1String(t.name));
                close.prepend(QStringLiteral("</%1>").arg(QLatin1String(t.name)));
            }
        if (style.Color != clNone) {
            // Report colours are 0x00BBGGRR; the tag writes #RRGGBB.
            const uint c = style.Color;
            const uint rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            out += QStringLiteral("<font color=\"#%1\">").arg(rgb, 6, 16, QLatin1Char('0'));
            close.prepend(QStringLiteral("</font>"));
        }
        out += text.mid(i, j - i);
        out += close;
        i = j;
    }
    return out;
}

// Characters from .. to − 1 of one source line, as the layout counts them.
QString piece(const TfrxCustomMemoView &memo, const QString &source, int from, int to, bool hyphen)
{
    if (memo.AllowHTMLTags && source.contains(u'<'))
        return htmlPiece(source, from, to, hyphen);
    QString s = source.mid(from, to == INT_MAX ? -1 : to - from);
    if (hyphen)
        s += u'-';
    return s;
}

}  // namespace

void TfrxCustomMemoView::BeginSplit()
{
    FSplitRest = Memo;
    FSplitRestContinues = FirstParaBreak;
    FSplitEndsOpen = LastParaBreak;
}

double TfrxCustomMemoView::SplitPart(double space, bool atLeastOne)
{
    // Lines of a rotated memo do not run down the page, so cutting between them gains nothing.
    if (FSplitRest.isEmpty() || Rotation % 360 != 0)
        return 0;

    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    frxPrepareMemoLayout(layout, *this);
    const TfrxTextRect rect = frxMemoLayoutRect(*this);
    layout.SetDimensions(rect, rect, PrintScale, 1, 1);
    layout.SetText(FSplitRest);
    const std::vector<TfrxWrappedLine> &lines = layout.Lines();
    const int n = int(lines.size());
    if (n == 0)
        return 0;

    // Measured as CalcHeight measures a whole memo, so a part is exactly as high as its text
    // makes it when it is drawn.
    const double extra = frxMemoVerticalExtra(*this);
    auto heightOf = [&](int k) { return double(nint(layout.LinesHeight(k) + extra)); };
    int k = 0;
    while (k < n && heightOf(k + 1) <= space + 1e-7)
        ++k;
    if (k == 0) {
        if (!atLeastOne)
            return 0;
        k = 1;
    }

    const int cutParagraph = lines[std::size_t(k - 1)].Paragraph;
    const bool midParagraph = k < n && lines[std::size_t(k)].Paragraph == cutParagraph;
    QStringList part = FSplitRest.mid(0, cutParagraph);
    QStringList rest;
    if (!midParagraph) {
        part << FSplitRest.at(cutParagraph);
        rest = FSplitRest.mid(cutParagraph + 1);
    } else {
        const QString &source = FSplitRest.at(cutParagraph);
        const TfrxWrappedLine &last = lines[std::size_t(k - 1)];
        const TfrxWrappedLine &next = lines[std::size_t(k)];
        const bool hyphen = last.Text.size() > last.End - last.Start;
        part << piece(*this, source, 0, last.End, hyphen);
        rest << piece(*this, source, next.Start, INT_MAX, false);
        rest += FSplitRest.mid(cutParagraph + 1);
    }

    Memo = std::move(part);
    FirstParaBreak = FSplitRestContinues;
    LastParaBreak = midParagraph || (rest.isEmpty() && FSplitEndsOpen);
    FSplitRest = std::move(rest);
    FSplitRestContinues = midParagraph;
    const double height = heightOf(k);
    SetHeight(height);
    return height;
}

void TfrxCustomMemoView::NextPart()
{
    Memo = FSplitRest;
    FirstParaBreak = FSplitRestContinues;
    LastParaBreak = FSplitEndsOpen;
}
