// Views drawn on QImage pixels, where the rules are exact, and memos measured and drawn through
// the object model.
#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/text_layout.h"
#include "engine/views.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class Drawing : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "drawing_test";
        static char *argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);  // lives for the whole test run
    }
};

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

template <class V>
QImage Draw(V &view, int w, int h, double scale = 1, double offsetX = 0, double offsetY = 0)
{
    QImage image = Blank(w, h);
    QPainter painter(&image);
    view.Draw(&painter, scale, scale, offsetX, offsetY);
    painter.end();
    return image;
}

bool IsInk(QRgb p) { return qRed(p) < 160 || qGreen(p) < 160 || qBlue(p) < 160; }

std::set<std::pair<int, int>> InkPixels(const QImage &image)
{
    std::set<std::pair<int, int>> ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink.insert({x, y});
    return ink;
}

std::set<std::pair<int, int>> RectPixels(int x, int y, int w, int h)
{
    std::set<std::pair<int, int>> s;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            s.insert({i, j});
    return s;
}

// Bounding box of dark pixels (text ink) within a region.
QRect InkBox(const QImage &image, QRect region = QRect())
{
    if (region.isNull())
        region = image.rect();
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (IsInk(image.pixel(x, y))) {
                x0 = std::min(x0, x); y0 = std::min(y0, y);
                x1 = std::max(x1, x); y1 = std::max(y1, y);
            }
    return x0 == INT_MAX ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

TfrxFont ArialFont(int size, TFontStyles style = 0)
{
    TfrxFont f;
    f.Size = size;
    f.Style = style;
    return f;
}

std::unique_ptr<TfrxMemoView> Memo(double left, double top, double width, double height,
                                   const QString &text, int size = 10, TfrxHAlign align = haLeft)
{
    auto memo = std::make_unique<TfrxMemoView>();
    memo->SetBounds(left, top, width, height);
    memo->SetFont(ArialFont(size));
    memo->Memo = text.isNull() ? QStringList() : QStringList{text};
    memo->HAlign = align;
    return memo;
}

const QString kDescription = "REFRIGERANTE DE COLA SEM ACUCAR LATA 350ML PACK COM 12 UNID.";

} // namespace

// ---------------------------------------------------------------------------------------------
// Measuring memos

TEST_F(Drawing, MemoHeightsAndWidths)
{
    struct Case { const char *name; int size; QStringList text; TfrxFrameTypes typ; double expected; } cases[] = {
        {"one 10-point line", 10, {"Inconsistência:"}, 0, 17},          // round(15.28 + 2)
        {"two 9-point lines", 9, {kDescription.left(40)}, 0, 30},      // round(28 + 2)
        {"empty line", 9, {""}, 0, 16},                                // a blank keeps its height
        {"two paragraphs", 10, {"A", "B"}, 0, 33},                     // round(30.56 + 2)
        {"bottom frame", 10, {"A"}, ftBottom, 18},                     // round(15.28 + 2 + 0.5)
        {"top frame", 10, {"A"}, ftTop, 17},                           // (1 − 1) / 2 adds nothing
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto memo = Memo(2, 0, 211.65368, 30.23624, QString(), c.size);
        memo->Memo = c.text;
        memo->Frame.Typ = c.typ;
        EXPECT_EQ(memo->CalcHeight(), c.expected);
    }

    // "A" and "B" are 55 dots each at 83 pixels per em: 110 / 6.25 = 17.6, plus the gaps.
    auto ab = Memo(0, 0, 10, 10, "AB");
    EXPECT_EQ(ab->CalcWidth(), 22);
    ab->Frame.Typ = ftLeft | ftRight;
    ab->Frame.SetWidth(3);
    EXPECT_EQ(ab->CalcWidth(), 24);  // + (3 − 1) / 2 + 3 / 2 = 2.5: round(24.1)
    ab->Memo = QStringList{"AB", "ABAB"};
    EXPECT_EQ(ab->CalcWidth(), 42);  // the widest line: 220 / 6.25 = 35.2, + 4 + 2.5
}

TEST_F(Drawing, AutoWidthKeepsTheRightEdgeOfARightAlignedMemo)
{
    auto memo = Memo(100, 0, 300, 19, "1/3", 10, haRight);
    memo->AutoWidth = true;
    const double expected = memo->CalcWidth();
    Draw(*memo, 500, 30);
    EXPECT_NEAR(memo->Width(), expected, 0.5);
    EXPECT_NEAR(memo->Left() + memo->Width(), 400, 1e-9);
}

// ---------------------------------------------------------------------------------------------
// Memo text on the device

// The listing's code column: 49.13389 pixels at 475.46475; drawn with the page 450 pixels left.
TEST_F(Drawing, TwoDigitCodeIsOneCentredLine)
{
    auto memo = Memo(475.46475, 3.77953, 49.13389, 18.89765, "60", 10, haCenter);
    const QImage image = Draw(*memo, 100, 30, 1, -450, 0);
    EXPECT_EQ(TfrxDrawText::Global().WrappedText(), QStringList{"60"});
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.height(), 11);  // one line of digits
    // Text rectangle 27..74 (exclusive): its centre is 50.5.
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, 50.5, 1.5);
}

// Lines are broken at the 600-dpi reference from the memo at scale 1: any zoom and the printer
// get the same lines, and Wysiwyg keeps each line's device width proportional.
TEST_F(Drawing, SameLinesAtEveryZoomAndInPrint)
{
    auto memo = Memo(2, 0, 211.65368, 300, kDescription + " E MAIS ALGUMAS PALAVRAS AQUI", 9);
    memo->SetHeight(80);
    QStringList reference;
    QRect firstLineAt1;
    for (double zoom : {1.0, 0.25, 4.0, 6.25}) {
        SCOPED_TRACE(zoom);
        const QImage image = Draw(*memo, int(230 * zoom), int(90 * zoom), zoom);
        const QStringList lines = TfrxDrawText::Global().WrappedText();
        if (reference.isEmpty())
            reference = lines;
        EXPECT_EQ(lines, reference);
        const QRect first = InkBox(image, QRect(0, 0, image.width(), nint(12 * zoom)));
        if (zoom == 1.0)
            firstLineAt1 = first;
        else if (zoom >= 4)
            EXPECT_NEAR(first.width(), firstLineAt1.width() * zoom, 2 * zoom);
    }
    EXPECT_GE(reference.size(), 3);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("memo.pdf"));
    printer.setResolution(600);
    QPainter painter(&printer);
    memo->PrintScale = 1;
    memo->Draw(&painter, 6.25, 6.25, 0, 0);
    painter.end();
    EXPECT_EQ(TfrxDrawText::Global().WrappedText(), reference);
}

// The product column holds two 9-point lines; the rest is laid out and cut at the memo's edge.
TEST_F(Drawing, ProductMemoClipsLinesBeyondItsHeight)
{
    auto memo = Memo(2, 0, 211.65368, 30.23624, kDescription + " E MAIS UMA LINHA", 9);
    const QImage image = Draw(*memo, 240, 60);
    EXPECT_GE(TfrxDrawText::Global().WrappedText().size(), 3);
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.bottom(), 31);   // text rectangle 1..31 (exclusive)
    EXPECT_GT(ink.bottom(), 20);   // the second line is there
    memo->Clipped = false;
    EXPECT_GT(InkBox(Draw(*memo, 240, 60)).bottom(), 31);
}

TEST_F(Drawing, HorizontalAndVerticalAlignment)
{
    // Text rectangle of a memo at (10, 10) 100 × 40: 12..109 × 11..51.
    struct Case { TfrxHAlign h; TfrxVAlign v; int left, right, top, bottom; } cases[] = {
        {haLeft, vaTop, 12, -1, 11, -1},
        {haRight, vaTop, -1, 108, 11, -1},
        {haCenter, vaCenter, -1, -1, -1, -1},
        {haLeft, vaBottom, 12, -1, -1, 50},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.h) * 10 + int(c.v));
        auto memo = Memo(10, 10, 100, 40, "HIH", 10, c.h);
        memo->VAlign = c.v;
        const QRect ink = InkBox(Draw(*memo, 130, 60));
        ASSERT_FALSE(ink.isNull());
        if (c.left >= 0) EXPECT_NEAR(ink.left(), c.left, 2);
        if (c.right >= 0) EXPECT_NEAR(ink.right(), c.right, 2);
        if (c.top >= 0) EXPECT_NEAR(ink.top(), c.top + 3, 2);      // cap height below the cell top
        if (c.bottom >= 0) EXPECT_NEAR(ink.bottom(), c.bottom - 6, 2);  // descent and spacing
        if (c.h == haCenter) EXPECT_NEAR((ink.left() + ink.right()) / 2.0, 60, 1.5);
        if (c.v == vaCenter) EXPECT_NEAR((ink.top() + ink.bottom()) / 2.0, 30.5, 2.5);
    }
}

TEST_F(Drawing, BlockAlignmentJustifiesAllButTheLastLine)
{
    auto memo = Memo(0, 0, 150, 60, "AAA BB CCCC DD EEE FF GGGG", 10, haBlock);
    const QImage image = Draw(*memo, 160, 70);
    const QStringList lines = TfrxDrawText::Global().WrappedText();
    ASSERT_GE(lines.size(), 2);
    const QRect first = InkBox(image, QRect(0, 0, 160, 14));
    EXPECT_NEAR(first.right(), 150 - 2, 2);  // reaches the right edge of the text rectangle
    const int lastTop = nint(1 + (lines.size() - 1) * 15.28);
    const QRect last = InkBox(image, QRect(0, lastTop, 160, 14));
    EXPECT_LT(last.right(), 140);            // the paragraph's last line stays left-aligned
}

TEST_F(Drawing, UnderlinedFontRulesExactlyTheLineWidth)
{
    auto plain = Memo(10, 10, 100, 20, "HIH");
    auto underlined = Memo(10, 10, 100, 20, "HIH");
    underlined->SetFont(ArialFont(10, fsUnderline));
    const QImage a = Draw(*plain, 130, 40), b = Draw(*underlined, 130, 40);
    // The only new ink is one full row under the baseline, as wide as the drawn line.
    std::set<int> rows;
    for (auto [x, y] : InkPixels(b))
        if (!InkPixels(a).count({x, y}))
            rows.insert(y);
    ASSERT_EQ(rows.size(), 1u);
    const int y = *rows.begin();
    const QRect text = InkBox(a);
    EXPECT_GT(y, text.bottom());
    EXPECT_LE(y, text.bottom() + 3);
    const QRect rule = InkBox(b, QRect(0, y, 130, 1));
    EXPECT_NEAR(rule.left(), 12, 1);
    EXPECT_NEAR(rule.right(), text.right(), 2);
}

TEST_F(Drawing, RotatedTextRunsUpTheMemo)
{
    auto memo = Memo(10, 10, 20, 120, "ABCDEF");
    memo->Rotation = 90;
    const QImage image = Draw(*memo, 40, 140);
    EXPECT_EQ(TfrxDrawText::Global().WrappedText(), QStringList{"ABCDEF"});  // the height is the line width
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), 3 * ink.width());
    EXPECT_GE(ink.left(), 12);
    EXPECT_LE(ink.right(), 30);
}

TEST_F(Drawing, UnderlinesRuleEveryLinePosition)
{
    auto memo = Memo(0, 0, 100, 50, QString(), 10);
    memo->Underlines = true;
    const QImage image = Draw(*memo, 110, 60);
    // Line height 15.28 from the text top 1: rules at 16, 32 and 47 across 2..99.
    for (int y : {16, 32, 47}) {
        SCOPED_TRACE(y);
        for (int x = 2; x < 99; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0));
    }
    EXPECT_EQ(InkPixels(image).size(), std::size_t(3 * (99 - 2)));
}

TEST_F(Drawing, ActiveHighlightColoursOnlyThisDrawing)
{
    auto memo = Memo(0, 0, 40, 20, "", 10);
    memo->Color = clNone;
    memo->Highlight.Active = true;
    memo->Highlight.Color = 0x0000FF;  // red
    memo->Highlight.Font = ArialFont(10);
    const QImage image = Draw(*memo, 50, 30);
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(memo->Color, clNone);
}

// ---------------------------------------------------------------------------------------------
// Lines, frames, shapes, background

TEST_F(Drawing, StraightLinesAreOneFrameSide)
{
    struct Case { const char *name; double l, t, w, h; std::set<std::pair<int, int>> pixels; } cases[] = {
        // rows 3 .. round(3.3 + 45.35436) − 1 of column 10
        {"vertical of width 0", 10.4, 3.3, 0, 45.35436, RectPixels(10, 3, 1, 46)},
        {"wider than high becomes horizontal", 5, 7.6, 30, 2, RectPixels(5, 8, 30, 1)},
        {"as wide as high is vertical", 5, 5, 10, 10, RectPixels(5, 5, 1, 10)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TfrxLineView line;
        line.SetBounds(c.l, c.t, c.w, c.h);
        line.Frame.Typ = ftLeft;
        EXPECT_EQ(InkPixels(Draw(line, 60, 60)), c.pixels);
    }
}

TEST_F(Drawing, FrameSidesByTheirRules)
{
    auto frameOf = [](TfrxFrameTypes typ, TfrxFrameStyle style, double width = 1) {
        auto memo = Memo(10, 10, 30, 20, QString());
        memo->Frame.Typ = typ;
        memo->Frame.SetStyle(style);
        memo->Frame.SetWidth(width);
        return memo;
    };
    const TfrxFrameTypes all = ftLeft | ftRight | ftTop | ftBottom;

    // Nothing for an empty Typ whatever the style, for clNone and for width 0.
    EXPECT_TRUE(InkPixels(Draw(*frameOf(0, fsDouble), 60, 50)).empty());
    auto none = frameOf(all, fsSolid);
    none->Frame.SetColor(clNone);
    EXPECT_TRUE(InkPixels(Draw(*none, 60, 50)).empty());
    EXPECT_TRUE(InkPixels(Draw(*frameOf(all, fsSolid, 0), 60, 50)).empty());
    TfrxPictureView page;
    page.SetBounds(5, 5, 40, 30);
    page.Frame.SetStyle(fsDouble);
    EXPECT_TRUE(InkPixels(Draw(page, 60, 50)).empty());

    // Solid, one pixel: the sides run from X to X1 and from Y to Y1, end points excluded, except
    // that the right side closes the corner with the bottom.
    std::set<std::pair<int, int>> border = RectPixels(10, 10, 1, 20);
    for (auto p : RectPixels(40, 10, 1, 21)) border.insert(p);
    for (auto p : RectPixels(10, 10, 30, 1)) border.insert(p);
    for (auto p : RectPixels(10, 30, 30, 1)) border.insert(p);
    EXPECT_EQ(InkPixels(Draw(*frameOf(all, fsSolid), 60, 50)), border);

    // A side line of its own colour and only the flagged side.
    auto left = frameOf(ftLeft, fsSolid);
    left->Frame.LeftLine.Color = 0x0000FF;
    const QImage leftImage = Draw(*left, 60, 50);
    EXPECT_EQ(InkPixels(leftImage), RectPixels(10, 10, 1, 20));
    EXPECT_EQ(leftImage.pixel(10, 15), qRgb(255, 0, 0));

    // Double: two strokes one pen width to either side of the edge, nothing between them.
    const QImage twice = Draw(*frameOf(ftTop, fsDouble), 60, 50);
    for (int x = 10; x < 40; ++x) {
        EXPECT_EQ(twice.pixel(x, 9), qRgb(0, 0, 0));
        EXPECT_EQ(twice.pixel(x, 10), qRgb(255, 255, 255));
        EXPECT_EQ(twice.pixel(x, 11), qRgb(0, 0, 0));
    }

    // Dotted: the platform's three on, three off along the side.
    const QImage dots = Draw(*frameOf(ftBottom, fsDot), 60, 50);
    for (int x = 10; x < 40; ++x)
        EXPECT_EQ(dots.pixel(x, 30) == qRgb(0, 0, 0), (x - 10) % 6 < 3) << x;

    // Width 3 at scale 2: a six-pixel pen centred on the edge.
    const QImage wide = Draw(*frameOf(ftLeft, fsSolid, 3), 120, 100, 2);
    const QRect ink = InkBox(wide);
    EXPECT_EQ(ink.left(), 20 - 3);
    EXPECT_EQ(ink.width(), 6);
}

TEST_F(Drawing, DropShadowStrips)
{
    auto memo = Memo(10, 10, 30, 20, QString());
    memo->Frame.DropShadow = true;
    memo->Frame.ShadowColor = 0x00FF00;  // green
    const QImage image = Draw(*memo, 60, 50);
    // The rectangle shrinks by 4 to 10..36 × 10..26; strips of 4 along its right and bottom.
    std::set<std::pair<int, int>> strips = RectPixels(36, 14, 4, 16);
    for (auto p : RectPixels(14, 26, 26, 4)) strips.insert(p);
    EXPECT_EQ(InkPixels(image), strips);
    EXPECT_EQ(image.pixel(37, 20), qRgb(0, 255, 0));
}

TEST_F(Drawing, ShapeOutlinesAndFills)
{
    auto shape = [](TColor fill, TColor frame, TfrxFrameStyle style = fsSolid) {
        auto s = std::make_unique<TfrxShapeView>();
        s->SetBounds(10, 10, 20, 12);
        s->Color = fill;
        s->Frame.SetColor(frame);
        s->Frame.SetStyle(style);
        return s;
    };
    // Both corners included: 10..30 × 10..22.
    const QImage filled = Draw(*shape(0x0000FF, clBlack), 40, 40);
    EXPECT_EQ(InkPixels(filled), RectPixels(10, 10, 21, 13));
    for (auto [x, y] : {std::pair{10, 10}, {30, 22}, {30, 10}, {10, 22}, {20, 10}, {10, 15}})
        EXPECT_EQ(filled.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    EXPECT_EQ(filled.pixel(20, 15), qRgb(255, 0, 0));
    EXPECT_EQ(filled.pixel(11, 11), qRgb(255, 0, 0));

    // No fill: only the outline, whatever Frame.Typ holds.
    const auto outline = InkPixels(Draw(*shape(clNone, clBlack), 40, 40));
    EXPECT_EQ(outline.size(), std::size_t(2 * 21 + 2 * 11));
    EXPECT_EQ(outline.count({20, 15}), 0u);

    // No outline colour: the fill alone over the same area.
    const QImage bare = Draw(*shape(0x0000FF, clNone), 40, 40);
    EXPECT_EQ(InkPixels(bare), RectPixels(10, 10, 21, 13));
    EXPECT_EQ(bare.pixel(10, 10), qRgb(255, 0, 0));

    // Double: drawn again inset by twice the frame width.
    const QImage twice = Draw(*shape(clNone, clBlack, fsDouble), 40, 40);
    EXPECT_EQ(twice.pixel(12, 15), qRgb(0, 0, 0));
    EXPECT_EQ(twice.pixel(11, 15), qRgb(255, 255, 255));
    EXPECT_EQ(twice.pixel(28, 20), qRgb(0, 0, 0));

    // The report's shaded strip: a system colour resolved at drawing time.
    const QImage strip = Draw(*shape(clGradientActiveCaption, clBlack), 40, 40);
    EXPECT_EQ(strip.pixel(20, 15), frxColor(clGradientActiveCaption).rgb());
    EXPECT_EQ(frxColor(clMoneyGreen), QColor(192, 220, 192));
}

TEST_F(Drawing, BackgroundFillAndHatch)
{
    auto memo = Memo(10, 10, 20, 10, QString());
    memo->Color = 0x00FF00;
    EXPECT_EQ(InkPixels(Draw(*memo, 40, 40)), RectPixels(10, 10, 20, 10));

    memo->Color = clNone;
    memo->BrushStyle = bsHorizontal;
    const auto hatch = InkPixels(Draw(*memo, 40, 40));
    EXPECT_FALSE(hatch.empty());
    EXPECT_LT(hatch.size(), std::size_t(20 * 10));
    for (auto [x, y] : hatch) {
        EXPECT_GE(x, 10); EXPECT_LT(x, 30); EXPECT_GE(y, 10); EXPECT_LT(y, 20);
    }
}

TEST_F(Drawing, PictureViewDrawsItsPictureInsideItsRectangle)
{
    TfrxPictureView view;
    view.SetBounds(10, 10, 20, 20);
    view.Picture = QImage(4, 4, QImage::Format_RGB32);
    view.Picture.fill(Qt::blue);
    const QImage image = Draw(view, 40, 40);
    EXPECT_EQ(InkPixels(image), RectPixels(10, 10, 20, 20));
    EXPECT_EQ(image.pixel(20, 20), qRgb(0, 0, 255));
}

// ---------------------------------------------------------------------------------------------
// The report's group heading and a listing row, rendered for a look (PNG in the build folder).

namespace {

struct Item { const char *kind; double l, t, w, h; const char *text; int size; bool bold; TfrxHAlign align;
              TfrxFrameTypes typ = 0; TfrxFrameStyle style = fsSolid; TColor color = clNone; };

void Build(TfrxBand &band, const std::vector<Item> &items)
{
    for (const Item &it : items) {
        if (QLatin1String(it.kind) == QLatin1String("line")) {
            auto *line = new TfrxLineView(&band);
            line->SetBounds(it.l, it.t, it.w, it.h);
            line->Frame.Typ = ftLeft;
        } else if (QLatin1String(it.kind) == QLatin1String("shape")) {
            auto *shape = new TfrxShapeView(&band);
            shape->SetBounds(it.l, it.t, it.w, it.h);
            shape->Color = it.color;
        } else {
            auto *memo = new TfrxMemoView(&band);
            memo->SetBounds(it.l, it.t, it.w, it.h);
            memo->SetFont(ArialFont(it.size, it.bold ? fsBold : 0));
            if (it.text)
                memo->Memo = QStringList{QString::fromUtf8(it.text)};
            memo->HAlign = it.align;
            memo->Frame.Typ = it.typ;
            memo->Frame.SetStyle(it.style);
        }
    }
}

QImage DrawBand(TfrxBand &band, double scale)
{
    QImage image = Blank(int(1215 * scale), int((band.Height() + 4) * scale));
    QPainter painter(&image);
    for (TfrxComponent *c : band.Objects())
        static_cast<TfrxView *>(c)->Draw(&painter, scale, scale, 2 * scale, 2 * scale);
    return image;
}

} // namespace

TEST_F(Drawing, GroupHeadingAndListingRowRender)
{
    TfrxGroupHeader heading;
    heading.SetBounds(0, 0, 1209.4496, 88.14966);
    Build(heading, {
        {"shape", 0, 0, 1205.67007, 34.01577, nullptr, 0, false, haLeft, 0, fsSolid, clGradientActiveCaption},
        {"memo", 2.47248, 39.23624, 207.87415, 18.89765, "PRODUTO", 10, false, haCenter},
        {"memo", 475.46475, 41.57483, 49.13389, 18.89765, "CST0", 10, false, haCenter},
        {"memo", 528.37817, 41.57483, 49.13389, 18.89765, "CST1", 10, false, haCenter},
        {"memo", 581.29159, 41.57483, 49.13389, 18.89765, "CST2", 10, false, haCenter},
        {"memo", 0, 0, 109.60637, 18.89765, "Inconsistência:", 10, false, haLeft},
        {"memo", 0.55906, 15.11812, 789.92177, 18.89765, "CST DO ICMS INVÁLIDO PARA O REGIME TRIBUTÁRIO", 10, true, haLeft, ftBottom},
        {"memo", 750.23655, 41.57483, 49.13389, 18.89765, "B.ICMS", 10, false, haCenter},
        {"memo", 804.14997, 41.57483, 68.03154, 18.89765, "Aliq.ICMS", 10, false, haCenter},
        {"memo", 875.96104, 41.57483, 56.69295, 18.89765, "Aliq.ECF", 10, false, haCenter},
        {"memo", 936.43352, 41.57483, 52.91342, 18.89765, "CEST", 10, false, haCenter},
        {"memo", 992.906, 32.7953, 124.72449, 15.11812, "Subs.Tributária", 10, false, haCenter, ftBottom},
        {"memo", 994.906, 47.69295, 68.03154, 15.11812, "ENTRADA", 10, false, haLeft},
        {"memo", 1068.71707, 47.69295, 49.13389, 15.11812, "SAÍDA", 10, false, haLeft},
        {"memo", 634.20501, 41.57483, 49.13389, 18.89765, "CST3", 10, false, haCenter},
        {"line", 214.66945, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 524.59864, 34.23624, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 577.51206, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 630.42548, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 683.3389, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"memo", 1125.54391, 41.57483, 71.81107, 18.89765, "NCM", 10, false, haCenter},
        {"line", 800.50433, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 747.59091, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"memo", 687.3389, 41.57483, 52.91342, 18.89765, "CSOSN", 10, false, haCenter},
        {"line", 872.3154, 33.7953, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 932.78788, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 993.26036, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 1065.07143, 48.13389, 0, 41.57483, nullptr, 0, false, haLeft},
        {"line", 1204.91404, 35.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 1117.98485, 34.01577, 0, 56.69295, nullptr, 0, false, haLeft},
        {"memo", 1.16512, 68.03154, 1201.89054, 18.89765, nullptr, 10, false, haCenter, ftTop, fsDot},
        {"line", 0, 34.01577, 0, 52.91342, nullptr, 0, false, haLeft},
        {"memo", 215.43321, 41.57483, 128.50402, 18.89765, "GRUPO", 10, false, haCenter},
        {"memo", 343.93723, 41.57483, 124.72449, 18.89765, "SUB GRUPO", 10, false, haCenter},
        {"line", 472.44125, 34.23624, 0, 56.69295, nullptr, 0, false, haLeft},
        {"line", 345.71676, 34.01577, 0, 52.91342, nullptr, 0, false, haLeft},
    });

    TfrxMasterData row;
    row.SetBounds(0, 0, 1209.4496, 46.13389);
    const char *code = "060";
    Build(row, {
        {"memo", 475.46475, 3.77953, 49.13389, 18.89765, code, 10, false, haCenter},
        {"memo", 528.37817, 3.77953, 49.13389, 18.89765, "00", 10, false, haCenter},
        {"memo", 581.29159, 3.77953, 49.13389, 18.89765, "40", 10, false, haCenter},
        {"memo", 634.20501, 3.77953, 49.13389, 18.89765, "41", 10, false, haCenter},
        {"memo", 751.37044, 3.77953, 49.13389, 18.89765, "100,00", 10, false, haCenter},
        {"memo", 804.28386, 3.77953, 68.03154, 18.89765, "18,00", 10, false, haCenter},
        {"memo", 876.09493, 3.77953, 56.69295, 18.89765, "F", 10, false, haCenter},
        {"memo", 936.56741, 3.77953, 56.69295, 18.89765, "0300700", 10, false, haCenter},
        {"memo", 997.03989, 3.77953, 68.03154, 18.89765, "S", 10, false, haCenter},
        {"memo", 1068.85096, 3.77953, 49.13389, 18.89765, "N", 10, false, haCenter},
        {"memo", 1125.54391, 3.77953, 79.37013, 18.89765, "22021000", 10, false, haCenter},
        {"line", 577.51206, 2.55906, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 630.42548, 2.55906, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 683.3389, 3.55906, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 747.59091, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"memo", 690.3389, 3.77953, 52.91342, 18.89765, "102", 10, false, haCenter},
        {"line", 800.50433, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 872.3154, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 932.78788, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 993.26036, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 1065.07143, 1.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 1204.91404, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 1117.98485, 2.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 214.66945, 0.77953, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 0, 0, 0, 45.35436, nullptr, 0, false, haLeft},
        {"memo", 2, 0, 211.65368, 30.23624, "REFRIGERANTE DE COLA SEM AÇÚCAR LATA 350ML PACK COM 12 UNIDADES SORTIDAS", 9, false, haLeft},
        {"memo", 218.99227, 0, 124.72449, 30.23624, "BEBIDAS", 9, false, haCenter},
        {"memo", 347.71676, 0, 124.72449, 30.23624, "REFRIGERANTES E SUCOS", 9, false, haCenter},
        {"line", 345.93723, 0, 0, 45.35436, nullptr, 0, false, haLeft},
        {"line", 472.44125, 0, 0, 49.13389, nullptr, 0, false, haLeft},
        {"line", 524.35467, 0, 0, 49.13389, nullptr, 0, false, haLeft},
    });

    const QString folder = QStringLiteral(QUELVORA_BUILD) + "/png";
    QDir().mkpath(folder);
    for (double scale : {1.0, 2.0}) {
        const QImage head = DrawBand(heading, scale);
        const QImage line = DrawBand(row, scale);
        const QString suffix = scale == 1 ? QString() : QStringLiteral("-x2");
        EXPECT_TRUE(head.save(folder + "/cabecalho-grupo" + suffix + ".png"));
        EXPECT_TRUE(line.save(folder + "/linha-listagem" + suffix + ".png"));
        // Every memo with text shows ink inside its own rectangle (offset 2, 2).
        for (TfrxBand *band : {static_cast<TfrxBand *>(&heading), static_cast<TfrxBand *>(&row)}) {
            const QImage &image = band == &heading ? head : line;
            for (TfrxComponent *c : band->Objects()) {
                auto *memo = dynamic_cast<TfrxMemoView *>(c);
                if (!memo || memo->Memo.isEmpty())
                    continue;
                SCOPED_TRACE(qPrintable(memo->Memo.join(' ')));
                const QRect r(nint((2 + memo->Left()) * scale) + 2, nint((2 + memo->Top()) * scale) + 1,
                              nint(memo->Width() * scale) - 4, nint(memo->Height() * scale) - 2);
                EXPECT_FALSE(InkBox(image, r).isNull());
            }
        }
    }
}
