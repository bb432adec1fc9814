// Bands taller than the space left, output in parts over pages: memos cut between whole lines,
// the views below them, and bands that hold more than a page.
#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/report_prepare.h"
#include "engine/text_layout.h"
#include "engine/views.h"
#include "tests/engine/aplicacao_de_teste.h"
#include "tests/engine/memory_cursor.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Printable area of the test page: 831.4966 high; the footer stands at 808.81942.
constexpr double kFooterHeight = 22.67718;
constexpr double kFooterTop = 831.4966 - kFooterHeight;
constexpr double kMemoWidth = 300;

// Paragraphs of numbered words, so that any line lost or repeated shows in a comparison.
QStringList paragraphs(int count, int wordsEach)
{
    QStringList out;
    int w = 0;
    for (int p = 0; p < count; ++p) {
        QStringList words;
        for (int i = 0; i < wordsEach; ++i)
            words << QStringLiteral("palavra%1").arg(++w);
        out << words.join(u' ');
    }
    return out;
}

// The wrapped lines a memo's text breaks into at the memo's width, as it is measured and drawn.
QStringList wrappedLines(const TfrxCustomMemoView &memo)
{
    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    frxPrepareMemoLayout(layout, memo);
    const TfrxTextRect rect = frxMemoLayoutRect(memo);
    layout.SetDimensions(rect, rect, 1, 1, 1);
    layout.SetText(memo.Memo);
    return layout.WrappedText();
}

double lineHeight(const TfrxCustomMemoView &memo)
{
    std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
    TfrxDrawText &layout = TfrxDrawText::Global();
    frxPrepareMemoLayout(layout, memo);
    return layout.LineHeight();
}

// One report page with a page footer and a data band over an in-memory table with one text
// column; the band holds a stretching memo showing the column.
struct Relatorio {
    Relatorio(std::vector<QString> textos, bool allowSplit = true)
    {
        report.SetName(QStringLiteral("Relatorio"));
        report.EngineOptions.NewSilentMode = simSilent;
        report.PreviewPages = &pages;
        page = new TfrxReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetOrientation(poLandscape);
        page->SetPaperWidth(340);
        page->SetPaperHeight(240);

        cursor.fields = {{QStringLiteral("TEXTO"), cfkString, 200}};
        for (const QString &t : textos)
            cursor.rows.push_back({t});
        ds.SetName(QStringLiteral("Dados"));
        ds.SetDataSet(&cursor);
        report.DataSets.Add(&ds);

        footer = new TfrxPageFooter(page);
        footer->SetName(QStringLiteral("Rodape"));
        footer->SetBounds(0, 500, page->PrintableWidth(), kFooterHeight);
        auto *numero = new TfrxMemoView(footer);
        numero->SetName(QStringLiteral("Pagina"));
        numero->SetBounds(0, 0, 200, 18.89765);
        numero->SetText(QStringLiteral("[Page]"));

        data = new TfrxMasterData(page);
        data->SetName(QStringLiteral("Linha"));
        data->SetBounds(0, 100, page->PrintableWidth(), 40);
        data->SetDataSet(&ds);
        data->AllowSplit = allowSplit;
        data->Stretched = true;
        texto = memo(QStringLiteral("Texto"), 0, 10, kMemoWidth);
        texto->SetDataSet(&ds);
        texto->DataField = QStringLiteral("TEXTO");
        texto->StretchMode = smActualHeight;
    }
    ~Relatorio() { report.PreviewPages = nullptr; }

    TfrxMemoView *memo(const QString &name, double left, double top, double width, double height = 18.89765)
    {
        auto *m = new TfrxMemoView(data);
        m->SetName(name);
        m->SetBounds(left, top, width, height);
        return m;
    }

    void prepare()
    {
        ASSERT_TRUE(frxPrepareReport(&report, true)) << report.Errors().join('\n').toStdString();
    }

    // The placed memos of that name, in page order, with the index of their page.
    struct Placed {
        int page;
        TfrxCustomMemoView *memo;
        double top, bottom;  // on the page's printable area
    };
    std::vector<Placed> placed(const QString &name)
    {
        std::vector<Placed> out;
        for (int i = 0; i < pages.Count(); ++i)
            for (TfrxComponent *c : pages.GetPage(i)->Objects())
                if (auto *b = dynamic_cast<TfrxBand *>(c))
                    for (TfrxComponent *v : b->Objects())
                        if (auto *m = dynamic_cast<TfrxCustomMemoView *>(v); m && m->Name() == name)
                            out.push_back({i, m, b->Top() + m->Top(), b->Top() + m->Top() + m->Height()});
        return out;
    }
    bool footerOn(int i)
    {
        for (TfrxComponent *c : pages.GetPage(i)->Objects())
            if (dynamic_cast<TfrxPageFooter *>(c) && std::abs(static_cast<TfrxBand *>(c)->Top() - kFooterTop) < 1e-4)
                return true;
        return false;
    }
    // The prepared report as stored, one text per page node.
    QStringList storedPages()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        pages.SaveToStream(&buffer);
        const QString all = QString::fromUtf8(buffer.data());
        QStringList out = all.split(QStringLiteral("<page0"));
        out.removeFirst();
        return out;
    }

    MemoryCursor cursor;
    TfrxDBDataset ds;
    TfrxReport report;
    TfrxPreviewPages pages{&report};
    TfrxReportPage *page;
    TfrxPageFooter *footer;
    TfrxMasterData *data;
    TfrxMemoView *texto;
};

// The memo of the band as the engine sees it after evaluation: its full text at its width.
QStringList fullLines(const QString &text)
{
    TfrxMemoView probe;
    probe.SetBounds(0, 0, kMemoWidth, 10);
    probe.SetText(text);
    return wrappedLines(probe);
}

char nomeDoPrograma[] = "band_split_test";
const auto *const aplicacao =
    ::testing::AddGlobalTestEnvironment(new AmbienteComAplicacao<QGuiApplication>(nomeDoPrograma));

}  // namespace

// A long memo spread over three pages: each part is the whole lines that fit above the footer,
// the page is full (one more line would not fit), and the parts' lines are the text's lines in
// order, none lost or repeated. A short memo beside it prints once, on the first page.
TEST(BandSplit, LongMemoOverThreePages)
{
    const QString text = paragraphs(10, 60).join(QStringLiteral("\r\n"));
    Relatorio r({text});
    auto *lado = r.memo(QStringLiteral("Lado"), 400, 10, 200);
    lado->SetText(QStringLiteral("ao lado"));
    r.prepare();

    const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
    ASSERT_EQ(r.pages.Count(), 3);
    ASSERT_EQ(parts.size(), 3u);
    const double lh = lineHeight(*parts[0].memo);
    QStringList joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        const Relatorio::Placed &p = parts[i];
        EXPECT_EQ(p.page, int(i));
        EXPECT_TRUE(r.footerOn(int(i))) << "page " << i + 1;
        EXPECT_LE(p.bottom, kFooterTop + 1e-4) << "page " << i + 1;
        const QStringList lines = wrappedLines(*p.memo);
        // Drawn at the part's height, none of its lines is clipped.
        EXPECT_LE(lines.size() * lh + frxMemoVerticalExtra(*p.memo), p.memo->Height() + 0.5) << "page " << i + 1;
        if (i + 1 < parts.size())
            EXPECT_GT(p.top + lines.size() * lh + lh + frxMemoVerticalExtra(*p.memo), kFooterTop)
                << "page " << i + 1 << " could hold another line";
        joined += lines;
    }
    EXPECT_EQ(parts[1].top, 0) << "the rest continues at the top of the next page";
    EXPECT_EQ(joined, fullLines(text));

    const std::vector<Relatorio::Placed> beside = r.placed(QStringLiteral("Lado"));
    ASSERT_EQ(beside.size(), 1u);
    EXPECT_EQ(beside[0].page, 0);
}

// A view below the cut memo comes after its last part, at its design distance from it; a view
// that fits nowhere but on a later page moves on whole.
TEST(BandSplit, ViewBelowTheMemoLandsAfterTheLastPart)
{
    const QString text = paragraphs(6, 60).join(QStringLiteral("\r\n"));
    Relatorio r({text});
    auto *abaixo = r.memo(QStringLiteral("Abaixo"), 0, 10 + 18.89765 + 5, 300);
    abaixo->SetText(QStringLiteral("depois do texto"));
    r.prepare();

    const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
    const std::vector<Relatorio::Placed> below = r.placed(QStringLiteral("Abaixo"));
    ASSERT_GE(parts.size(), 2u);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].page, parts.back().page);
    EXPECT_NEAR(below[0].top - parts.back().bottom, 5, 1e-4);
    EXPECT_LE(below[0].bottom, kFooterTop + 1e-4);
}

// One paragraph cut in the middle, in two records: each first part ends inside the paragraph,
// each continuation starts inside it (no paragraph start, so no first-line gap), both as stored
// in the prepared pages; put back together at the dropped blank the parts are the paragraph. The
// second record starts a paragraph again: the first record's cut does not leak into it.
TEST(BandSplit, SingleParagraphCutMidParagraph)
{
    const QString text = paragraphs(1, 300).first();
    Relatorio r({text, text});
    r.texto->ParagraphGap = 12;
    r.prepare();

    const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].page, 0);
    EXPECT_EQ(parts[1].page, 1);
    EXPECT_EQ(parts[2].page, 1);
    EXPECT_EQ(parts[3].page, 2);
    for (size_t k = 0; k < 4; k += 2) {
        SCOPED_TRACE(k / 2 + 1);
        const TfrxCustomMemoView &first = *parts[k].memo, &rest = *parts[k + 1].memo;
        ASSERT_EQ(first.Memo.size(), 1);
        ASSERT_EQ(rest.Memo.size(), 1);
        EXPECT_EQ(first.Memo[0] + u' ' + rest.Memo[0], text);
        EXPECT_FALSE(first.FirstParaBreak);
        EXPECT_TRUE(first.LastParaBreak);
        EXPECT_TRUE(rest.FirstParaBreak);
        EXPECT_FALSE(rest.LastParaBreak);
    }

    const QStringList stored = r.storedPages();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_TRUE(stored[0].contains(QStringLiteral("LastParaBreak=\"1\"")));
    EXPECT_FALSE(stored[0].contains(QStringLiteral("FirstParaBreak=\"1\"")));
    EXPECT_EQ(stored[1].count(QStringLiteral("FirstParaBreak=\"1\"")), 1);
    EXPECT_EQ(stored[1].count(QStringLiteral("LastParaBreak=\"1\"")), 1);
    EXPECT_TRUE(stored[2].contains(QStringLiteral("FirstParaBreak=\"1\"")));
    EXPECT_FALSE(stored[2].contains(QStringLiteral("LastParaBreak=\"1\"")));
}

// A band without AllowSplit that is taller than a page still splits; when it is not the first
// record it starts on a new page, from the top.
TEST(BandSplit, BandTallerThanAPageWithoutAllowSplit)
{
    const QString longo = paragraphs(10, 60).join(QStringLiteral("\r\n"));
    Relatorio r({QStringLiteral("curto"), longo}, false);
    r.prepare();

    const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
    ASSERT_GE(parts.size(), 3u);
    EXPECT_EQ(parts[0].page, 0);
    EXPECT_EQ(wrappedLines(*parts[0].memo), QStringList{QStringLiteral("curto")});
    EXPECT_EQ(parts[1].page, 1);
    EXPECT_NEAR(parts[1].top, 10, 1e-4);
    QStringList joined;
    for (size_t i = 1; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].page, int(i));
        EXPECT_LE(parts[i].bottom, kFooterTop + 1e-4);
        joined += wrappedLines(*parts[i].memo);
    }
    EXPECT_EQ(joined, fullLines(longo));
}

// Lines taller than a whole page, and a view that cannot split taller than the room under a page
// header: at least one line, or the view whole, goes on each page, so the run ends. The view is
// topmost, so it takes the first page; the lines follow one per page.
TEST(BandSplit, NothingFitsOnAnEmptyPage)
{
    Relatorio r({QStringLiteral("A\r\nB\r\nC")});
    auto *header = new TfrxPageHeader(r.page);
    header->SetName(QStringLiteral("Cabecalho"));
    header->SetBounds(0, 20, r.page->PrintableWidth(), 30);
    TfrxFont huge = r.texto->Font();
    huge.Size = 700;
    r.texto->SetFont(huge);
    r.texto->SetWidth(40);
    auto *caixa = new TfrxShapeView(r.data);
    caixa->SetName(QStringLiteral("Caixa"));
    caixa->SetBounds(500, 0, 50, 900);
    r.prepare();

    ASSERT_EQ(r.pages.Count(), 4);
    const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
    ASSERT_EQ(parts.size(), 3u);
    QStringList joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].page, int(i) + 1);
        EXPECT_NEAR(parts[i].top, 30, 1e-4) << "below the page header";
        joined += wrappedLines(*parts[i].memo);
    }
    EXPECT_EQ(joined, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    int boxes = 0;
    for (int i = 0; i < r.pages.Count(); ++i)
        boxes += r.pages.GetPage(i)->FindObject(QStringLiteral("Caixa")) != nullptr;
    EXPECT_EQ(boxes, 1);
    EXPECT_NE(r.pages.GetPage(0)->FindObject(QStringLiteral("Caixa")), nullptr);
}

// What SplitPart hands out, for texts whose cut is delicate: a word broken with a hyphen, and
// HTML attributes running across the cut. The parts laid out again give the whole text's lines,
// attributes included.
TEST(BandSplit, MemoPartsKeepLinesAndAttributes)
{
    struct Case {
        const char *name;
        QString text;
        bool html, wordBreak;
    };
    const QString words = paragraphs(1, 40).first();
    const Case cases[] = {
        {"plain, two paragraphs", words + QStringLiteral("\r\n") + words, false, false},
        {"hyphenated", QStringLiteral("Inconstitucionalissimamente ").repeated(12), false, true},
        {"bold across the cut", QStringLiteral("início <b>") + words + QStringLiteral("</b> <font color=\"#ff0000\">fim ") + words
                                    + QStringLiteral("</font>"),
         true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TfrxMemoView memo;
        memo.SetBounds(0, 0, 120, 10);
        memo.AllowHTMLTags = c.html;
        memo.WordBreak = c.wordBreak;
        memo.SetText(c.text);
        const QStringList whole = wrappedLines(memo);
        std::vector<TfrxCharStyle> wholeStyles;
        auto stylesOf = [](const TfrxCustomMemoView &m) {
            std::lock_guard<std::recursive_mutex> lock(TfrxDrawText::Lock());
            TfrxDrawText &layout = TfrxDrawText::Global();
            frxPrepareMemoLayout(layout, m);
            const TfrxTextRect rect = frxMemoLayoutRect(m);
            layout.SetDimensions(rect, rect, 1, 1, 1);
            layout.SetText(m.Memo);
            std::vector<TfrxCharStyle> out;
            for (const TfrxWrappedLine &l : layout.Lines())
                out.insert(out.end(), l.Styles.begin(), l.Styles.end());
            return out;
        };
        wholeStyles = stylesOf(memo);
        ASSERT_GT(whole.size(), 6);

        memo.BeginSplit();
        QStringList joined;
        std::vector<TfrxCharStyle> joinedStyles;
        int parts = 0;
        while (true) {
            const double h = memo.SplitPart(3 * lineHeight(memo) + frxMemoVerticalExtra(memo), false);
            ASSERT_GT(h, 0);
            const QStringList lines = wrappedLines(memo);
            EXPECT_LE(lines.size(), 3);
            joined += lines;
            const std::vector<TfrxCharStyle> s = stylesOf(memo);
            joinedStyles.insert(joinedStyles.end(), s.begin(), s.end());
            ++parts;
            if (!memo.HasMoreParts())
                break;
            memo.NextPart();
            ASSERT_LT(parts, 100);
        }
        EXPECT_EQ(joined, whole);
        EXPECT_TRUE(joinedStyles == wholeStyles);
        EXPECT_FALSE(memo.LastParaBreak) << "the last part ends the text";
    }
}

// Drawn, the first page shows the cut memo's lines down to the footer and nothing of it inside
// the footer's area. With QUELVORA_SPLIT_PNG set, the pages are written there to be looked at.
TEST(BandSplit, DrawnPartsStayAboveTheFooter)
{
    Relatorio r({paragraphs(8, 60).join(QStringLiteral("\r\n"))});
    r.texto->Frame.Typ = ftLeft | ftRight | ftTop | ftBottom;
    r.prepare();
    ASSERT_GE(r.pages.Count(), 2);

    for (int i = 0; i < 2; ++i) {
        const QSize size = r.pages.PageSize(i);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            r.pages.DrawPage(i, &painter, 1, 1, 0, 0);
        }
        if (const QString dir = qEnvironmentVariable("QUELVORA_SPLIT_PNG"); !dir.isEmpty())
            image.save(QDir(dir).filePath(QStringLiteral("band_split_page%1.png").arg(i + 1)));

        // Between the memo's part and the footer's text there is only paper: the memo's column,
        // from the part's bottom (plus its frame) down to the footer's top.
        const int left = int(std::lround(r.page->LeftMargin * fr01cm));
        const int top = int(std::lround(r.page->TopMargin * fr01cm));
        const std::vector<Relatorio::Placed> parts = r.placed(QStringLiteral("Texto"));
        const Relatorio::Placed &p = parts[std::size_t(i)];
        int dark = 0, darkInside = 0;
        for (int y = top + int(std::ceil(p.bottom)) + 2; y < top + int(kFooterTop); ++y)
            for (int x = left; x < left + 300; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        for (int y = top + int(p.top) + 4; y < top + int(p.bottom) - 4; ++y)
            for (int x = left + 4; x < left + 296; ++x)
                darkInside += qGray(image.pixel(x, y)) < 128;
        EXPECT_EQ(dark, 0) << "page " << i + 1;
        EXPECT_GT(darkInside, 1000) << "page " << i + 1 << " shows the part's text";
    }
}
