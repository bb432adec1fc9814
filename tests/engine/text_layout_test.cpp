#include "engine/text_layout.h"

#include "platform/fonts/Fontes.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TfrxFont Arial(int size, TFontStyles style = 0)
{
    TfrxFont f;
    f.Size = size;
    f.Style = style;
    return f;
}

// A layout over a text rectangle `width` × `height` pixels with the memo defaults.
struct Layout {
    TfrxDrawText text;
    explicit Layout(int size, int width, int height = 100, double paragraphGap = 0,
                    double charSpacing = 0, double lineSpacing = 2)
    {
        text.SetFont(Arial(size));
        text.SetOptions(true, false, 0, true, true, false, false);
        text.SetGaps(lineSpacing, charSpacing, paragraphGap);
        const TfrxTextRect r{0, 0, width, height};
        text.SetDimensions(r, r, 1, 1, 1);
    }
    QStringList Break(const QStringList &lines)
    {
        text.SetText(lines);
        return text.WrappedText();
    }
};

// Advance of a text at 600 dpi the way a reader of the font would add it up.
int ReferenceWidth(const QString &s, int size)
{
    fontes::FaceFonte &face = fontes::abrirFace("Arial", {});
    const int ppem = nint(size * 600.0 / 72.0);
    int w = 0;
    for (int i = 0; i < s.size(); ++i)
        w += face.avancoPixels(s.at(i).unicode(), i + 1 < s.size() ? s.at(i + 1).unicode() : 0, ppem);
    return w;
}

} // namespace

TEST(TextLayout, MeasuringFontAndLineHeights)
{
    struct Case { int size; double lineSpacing; int measuring; double line; double twoLines; } cases[] = {
        {10, 2, -83, 15.28, 30.56},
        {9, 2, -75, 14, 28},
        {9, 0, -75, 12, 24},
        {9, -2, -75, 10, 22},  // a negative spacing is given back once: the last line keeps its height
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        Layout l(c.size, 1000, 100, 0, 0, c.lineSpacing);
        EXPECT_EQ(l.text.MeasuringHeight(), c.measuring);
        l.text.SetText({"a", "b"});
        EXPECT_NEAR(l.text.LineHeight(), c.line, 1e-9);
        EXPECT_NEAR(l.text.TextHeight(), c.twoLines, 1e-9);
    }
}

// The listing's code memo: 49.13389 wide at 475.46475 gives a text rectangle 477..524.
TEST(TextLayout, TwoDigitCodeStaysOnOneLine)
{
    Layout l(10, 524 - 477, 18);
    EXPECT_EQ(l.Break({"60"}), QStringList{"60"});
    EXPECT_EQ(l.Break({"500"}), QStringList{"500"});
}

// The product memo of the listing: 9 points, text rectangle 4..213.
TEST(TextLayout, DescriptionBreaksAtTheLastBlankThatFits)
{
    const QString description = "REFRIGERANTE DE COLA SEM ACUCAR LATA 350ML PACK COM 12 UNIDADES";
    Layout l(9, 209, 30);
    const QStringList lines = l.Break({description});
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.join(' '), description);  // only the blanks at the breaks are gone
    const int max = nint(209 * 6.25);
    QString consumed;
    for (int k = 0; k + 1 < lines.size(); ++k) {
        SCOPED_TRACE(qPrintable(lines[k]));
        EXPECT_LE(ReferenceWidth(lines[k], 9), max);
        // The next word would not have fitted on this line.
        const QString next = lines[k + 1].section(' ', 0, 0);
        EXPECT_GT(ReferenceWidth(lines[k] + ' ' + next, 9), max);
    }
    EXPECT_EQ(lines[0], "REFRIGERANTE DE COLA SEM");
}

TEST(TextLayout, WordLongerThanTheLineBreaksAtTheFirstCharacterThatDoesNotFit)
{
    Layout l(10, 40);
    const QString word = "ABCDEFGHIJKLMNOP";
    const QStringList lines = l.Break({word});
    ASSERT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), word);
    const int max = nint(40 * 6.25);
    for (int k = 0; k + 1 < lines.size(); ++k) {
        EXPECT_LE(ReferenceWidth(lines[k], 10), max);
        EXPECT_GT(ReferenceWidth(lines[k] + lines[k + 1].left(1), 10), max);
    }
    // A character wider than the whole line goes alone on its line.
    Layout narrow(10, 3);
    EXPECT_EQ(narrow.Break({"WWW"}), (QStringList{"W", "W", "W"}));
}

TEST(TextLayout, EmptyLineKeepsItsHeightAndPlainTextKeepsEveryLine)
{
    Layout l(10, 200);
    EXPECT_EQ(l.Break({"A", "", "B"}), (QStringList{"A", " ", "B"}));
    EXPECT_NEAR(l.text.TextHeight(), 3 * 15.28, 1e-9);
    EXPECT_EQ(l.text.PlainText(), "A\r\n \r\nB\r\n");
}

// The whole-width test is strict, the character walk is not: a line exactly as wide as the
// maximum leaves the fast path and is walked, and the walk keeps a character that ends exactly at
// the maximum on the line.
TEST(TextLayout, ExactFitAtTheMaximum)
{
    const QString word = "ABCDEFGH";
    const int upToD = ReferenceWidth("ABCD", 10);
    // The paragraph gap moves the first-line maximum to exactly the end of "D".
    const double gap = 100 - upToD / 6.25;
    Layout l(10, 100, 100, gap);
    EXPECT_EQ(l.Break({word}), (QStringList{"ABCD", "EFGH"}));

    const int whole = ReferenceWidth(word, 10);
    Layout exact(10, 100, 100, 100 - whole / 6.25);
    EXPECT_EQ(exact.Break({word}), QStringList{word});
    Layout oneShort(10, 100, 100, 100 - (whole - 1) / 6.25);
    EXPECT_EQ(oneShort.Break({word}), (QStringList{"ABCDEFG", "H"}));
}

TEST(TextLayout, ParagraphGapNarrowsOnlyTheFirstLineAndFlagsMarkParagraphs)
{
    // Without the gap "AAA AAA" fits; with it the first line takes one word.
    const int w = nint(ReferenceWidth("AAA AAA", 10) / 6.25) + 1;
    Layout plain(10, w);
    EXPECT_EQ(plain.Break({"AAA AAA AAA AAA"}), (QStringList{"AAA AAA", "AAA AAA"}));
    Layout indented(10, w, 100, 10);
    EXPECT_EQ(indented.Break({"AAA AAA AAA AAA", "B"}), (QStringList{"AAA", "AAA AAA", "AAA", "B"}));
    const auto &lines = indented.text.Lines();
    EXPECT_EQ(lines[0].Flags, pfFirstLine);
    EXPECT_EQ(lines[1].Flags, 0);
    EXPECT_EQ(lines[2].Flags, pfLastLine);
    EXPECT_EQ(lines[3].Flags, pfFirstLine | pfLastLine);
    indented.text.ApplyParaBreaks(true, true);
    EXPECT_EQ(lines[0].Flags, 0);
    EXPECT_EQ(lines[3].Flags, pfFirstLine);
}

TEST(TextLayout, MaxLineWidthAddsCharSpacingAndTheFirstLineIndent)
{
    const int ab = ReferenceWidth("AB", 10);
    Layout l(10, 10000, 10000, 0, 0.5);
    l.text.SetText({"AB"});
    EXPECT_NEAR(l.text.MaxLineWidth(), (ab + nint(2 * 0.5 * 6.25)) / 6.25, 1e-9);
    Layout gap(10, 10000, 10000, 3);
    gap.text.SetText({"AB"});
    EXPECT_NEAR(gap.text.MaxLineWidth(), (ab + nint(3 * 6.25)) / 6.25, 1e-9);
    // One line measured on its own, for whoever places lines itself: no indent, lines kept.
    EXPECT_NEAR(l.text.TextWidth("AB"), l.text.MaxLineWidth(), 1e-9);
    EXPECT_NEAR(gap.text.TextWidth("AB"), ab / 6.25, 1e-9);
    EXPECT_EQ(gap.text.WrappedText(), QStringList{"AB"});
}

TEST(TextLayout, WordWrapOffAndSingleCharacterStayWhole)
{
    Layout l(10, 20);
    l.text.SetOptions(false, false, 0, true, true, false, false);
    EXPECT_EQ(l.Break({"AAAA BBBB CCCC"}), QStringList{"AAAA BBBB CCCC"});
    Layout one(10, 1);
    EXPECT_EQ(one.Break({"W"}), QStringList{"W"});
}

TEST(TextLayout, RemainingSpace)
{
    struct Case { int height; double expected; } cases[] = {
        {30, 3},        // 31 available, two 14-pixel lines
        {27, 0.0001},   // 28: exactly two lines
        {12, 0},        // 13: not one line
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.height);
        Layout l(9, 100, c.height);
        l.text.SetText({"x"});
        EXPECT_NEAR(l.text.RemainingSpace(), c.expected, 1e-9);
    }
}

TEST(TextLayout, HtmlTagsSwitchStylesAndTakeNoWidth)
{
    QString text;
    std::vector<TfrxCharStyle> styles;
    frxParseHTMLTags("a<B>b</b><font color=\"#FF0000\">c</font><x>d<nowrap>e f</nowrap>", text, styles);
    EXPECT_EQ(text, "abc<x>de f");
    ASSERT_EQ(styles.size(), std::size_t(text.size()));
    EXPECT_EQ(styles[0].Flags, 0);
    EXPECT_EQ(styles[1].Flags, TfrxCharStyle::Bold);
    EXPECT_EQ(styles[2].Color, TColor(0x0000FF));  // red as 0x00BBGGRR
    EXPECT_EQ(styles[3].Color, clNone);
    EXPECT_EQ(styles[8].Flags, TfrxCharStyle::NoWrap);

    fontes::FaceFonte &bold = fontes::abrirFace("Arial", {true, false});
    Layout l(10, 10000);
    l.text.SetOptions(true, true, 0, true, true, false, false);
    l.text.SetText({"<b>A</b>A"});
    ASSERT_EQ(l.text.WrappedText(), QStringList{"AA"});
    EXPECT_EQ(l.text.Lines()[0].Width, bold.avancoPixels(u'A', 0, 83) + ReferenceWidth("A", 10));
}

TEST(TextLayout, NoWrapBlanksAreNoBreakPoints)
{
    const int w = nint(ReferenceWidth("AAA BBB", 10) / 6.25) + 1;
    Layout l(10, w);
    l.text.SetOptions(true, true, 0, true, true, false, false);
    EXPECT_EQ(l.Break({"<nowrap>AAA BBB</nowrap> CCC"}), (QStringList{"AAA BBB", "CCC"}));
    EXPECT_EQ(l.Break({"AAA <nowrap>BBB AAA</nowrap>"}), (QStringList{"AAA", "BBB AAA"}));
    // The same texts without tags break at the inner blank.
    l.text.SetOptions(true, false, 0, true, true, false, false);
    EXPECT_EQ(l.Break({"AAA BBB AAA"}), (QStringList{"AAA BBB", "AAA"}));
}

TEST(TextLayout, WordBreakHyphenatesBetweenVowelAndConsonant)
{
    const int w = nint(ReferenceWidth("AB PRODU-", 10) / 6.25) + 1;
    Layout l(10, w);
    l.text.SetOptions(true, false, 0, true, true, true, false);
    EXPECT_EQ(l.Break({"AB PRODUTO"}), (QStringList{"AB PRODU-", "TO"}));
}

TEST(TextLayout, ParagraphLongerThanTheAdvanceTable)
{
    QStringList words;
    for (int i = 0; i < 5000; ++i)
        words << "palavra";
    const QString huge = words.join(' ');  // 39999 characters
    Layout l(10, 300);
    const QStringList lines = l.Break({huge});
    EXPECT_GT(lines.size(), 100);
    EXPECT_EQ(lines.join(' '), huge);
}

TEST(TextLayout, RotationTakesTheHeightAsLineWidth)
{
    Layout l(10, 20, 1000);
    l.text.SetOptions(true, false, 90, true, true, false, false);
    EXPECT_EQ(l.Break({"AAAA BBBB"}), QStringList{"AAAA BBBB"});
    l.text.SetOptions(true, false, 0, true, true, false, false);
    EXPECT_GT(l.Break({"AAAA BBBB"}).size(), 1);
}
