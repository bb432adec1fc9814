#include "engine/preview_pages.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/page_cache.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "engine/xml_tree.h"
#include "platform/erro/Erro.h"

namespace {

// A small report shaped like the real one: a title, a data band with memos and column rules,
// a page footer with the page number and the page-count marker.
struct Fixture {
    TfrxReport report;
    TfrxReportPage *page = nullptr;
    TfrxReportTitle *title = nullptr;
    TfrxMasterData *data = nullptr;
    TfrxPageFooter *footer = nullptr;
    TfrxMemoView *titleMemo = nullptr, *product = nullptr, *cst = nullptr, *pageNo = nullptr;
    TfrxLineView *rule = nullptr;
    TfrxShapeView *strip = nullptr;

    Fixture() {
        page = new TfrxReportPage(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetOrientation(poLandscape);
        page->SetPaperWidth(340);
        page->SetPaperHeight(240);

        title = new TfrxReportTitle(page);
        title->SetName(QStringLiteral("ReportTitle1"));
        title->SetBounds(0, 18.89765, 1209.4496, 52.91342);
        titleMemo = memo(title, "Memo1", 0, 0.77953, 1209.4496, 18.89765,
                         QString::fromUtf8("RELATÓRIO DE INCONSISTÊNCIAS TRIBUTÁRIAS"));
        TfrxFont bold;
        bold.Style = fsBold;
        titleMemo->SetFont(bold);
        titleMemo->HAlign = haCenter;

        data = new TfrxMasterData(page);
        data->SetName(QStringLiteral("MasterData1"));
        data->SetBounds(0, 241.88992, 1209.4496, 46.13389);
        product = memo(data, "frxDBListagemPRODUTO", 2, 0, 211.65368, 30.23624,
                       QStringLiteral("[frxDBListagem.\"PRODUTO\"]"));
        TfrxFont nine;
        nine.Size = 9;
        product->SetFont(nine);
        cst = memo(data, "frxDBListagemCST", 475.46475, 3.77953, 49.13389, 18.89765,
                   QStringLiteral("[frxDBListagem.\"CST\"]"));
        cst->HAlign = haCenter;
        rule = new TfrxLineView(data);
        rule->SetName(QStringLiteral("Line6"));
        rule->SetBounds(577.51206, 2.55906, 0, 45.35436);
        rule->Frame.Typ = ftLeft;
        strip = new TfrxShapeView(data);
        strip->SetName(QStringLiteral("CorFundo"));
        strip->SetBounds(0, 0, 100, 10);
        strip->Color = clNone;

        footer = new TfrxPageFooter(page);
        footer->SetName(QStringLiteral("PageFooter1"));
        footer->SetBounds(0, 453.5436, 1209.4496, 22.67718);
        pageNo = memo(footer, "Memo18", 1100, 0, 100, 18.89765,
                      QStringLiteral("[Page]/[TotalPages#]"));
    }

    static TfrxMemoView *memo(TfrxComponent *parent, const char *name, double l, double t,
                              double w, double h, const QString &text) {
        auto *m = new TfrxMemoView(parent);
        m->SetName(QString::fromLatin1(name));
        m->SetBounds(l, t, w, h);
        m->SetText(text);
        return m;
    }
};

// What the band engine does for one page of the listing: title on the first page only, rows
// with evaluated texts, the page footer at the bottom with the logical page number.
void placePage(Fixture &f, TfrxPreviewPages &pages, int pageIndex, int rows) {
    pages.AddPage(f.page);
    double y = 0;
    if (pageIndex == 0) {
        f.title->SetTop(0);
        pages.AddObject(f.title);
        y += f.title->Height();
    }
    const QStringList productText = f.product->Memo, cstText = f.cst->Memo;
    for (int r = 0; r < rows; ++r) {
        f.data->SetTop(y);
        f.product->SetText(QStringLiteral("PRODUTO %1-%2").arg(pageIndex + 1).arg(r + 1));
        f.cst->SetText(QStringLiteral("0%1").arg(r));
        pages.AddObject(f.data);
        y += f.data->Height();
    }
    f.product->Memo = productText;
    f.cst->Memo = cstText;
    const QStringList footerText = f.pageNo->Memo;
    f.footer->SetTop(808.81942);
    f.pageNo->SetText(QStringLiteral("%1/[TotalPages#]").arg(pages.LogicalPageNumber()));
    pages.AddObject(f.footer);
    f.pageNo->Memo = footerText;
}

void run(Fixture &f, TfrxPreviewPages &pages, int pageCount, int rows = 2) {
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    pages.BeginPass();
    for (int p = 0; p < pageCount; ++p) placePage(f, pages, p, rows);
    pages.EndRun();
}

QByteArray saved(TfrxPreviewPages &pages) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pages.SaveToStream(&buffer);
    return bytes;
}

void load(TfrxPreviewPages &pages, const QByteArray &bytes, bool partial = false) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    pages.LoadFromStream(&buffer, partial);
}

// Every object of every page as its full property text, parents before children: two stores
// with the same lines hold the same pages.
QStringList objectsOf(TfrxPreviewPages &pages) {
    QStringList out;
    for (int i = 0; i < pages.Count(); ++i) {
        TfrxReportPage *page = pages.GetPage(i);
        out << QStringLiteral("page %1 %2").arg(i).arg(page->PropertiesText());
        for (TfrxComponent *c : page->AllObjects())
            out << c->ClassName() + QStringLiteral(" ") + c->PropertiesText();
    }
    return out;
}

TEST(PreparedPages, ThreePagesStoreOnePageNodeEachAndLogicalNumbersWithoutTotals) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    run(f, pages, 3);
    ASSERT_EQ(pages.Count(), 3);

    TfrxXMLDocument doc;
    doc.LoadFromBytes(saved(pages));
    const TfrxXMLItem *root = doc.Root();
    EXPECT_EQ(root->Name, "preparedreport");
    const TfrxXMLItem *preview = root->Items(root->Find("previewpages"));
    ASSERT_EQ(preview->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(preview->Items(i)->Name, "page0");
        // The first two pages stay in memory; the later ones may go to the file cache.
        EXPECT_EQ(preview->Items(i)->Unloadable, i >= 2) << i;
    }
    const TfrxXMLItem *logical = root->Items(root->Find("logicalpagenumbers"));
    ASSERT_EQ(logical->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(logical->Items(i)->Name, "page");
        EXPECT_EQ(logical->Items(i)->Prop("n"), QString::number(i + 1));
        EXPECT_FALSE(logical->Items(i)->PropExists("t")) << i;
    }
    const TfrxXMLItem *dictionary = root->Items(root->Find("dictionary"));
    ASSERT_GE(dictionary->Count(), 9);
    EXPECT_EQ(dictionary->Items(0)->Name, "b1");
    EXPECT_EQ(dictionary->Items(0)->Prop("name"), "Page0.ReportTitle1");
    EXPECT_GE(root->Find("sourcepages"), 0);
    EXPECT_GE(root->Find("picturecache"), 0);
    EXPECT_GE(root->Find("TfrxReport"), 0);
}

// One line per placed object: the alias and only what differs from the template object. The
// row band always carries its "t"; memos carry their text and nothing else that stayed; the
// column rule and the shape carry nothing.
TEST(PreparedPages, DifferenceTextHoldsOnlyWhatChanged) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    pages.BeginPass();
    placePage(f, pages, 0, 1);

    // A second row whose memo moved, got a bold font, a bottom frame line of its own width and
    // a text with characters the node text must escape; its rule is hidden.
    pages.AddPage(f.page);
    f.data->SetTop(10.5);
    f.cst->SetLeft(480);
    TfrxFont bold = f.cst->Font();
    bold.Style = fsBold;
    f.cst->SetFont(bold);
    f.cst->Frame.Typ = ftBottom;
    f.cst->Frame.BottomLine.Width = 2;
    f.cst->SetText(QStringLiteral("a \"b\" & <c>\r\nsecond"));
    f.product->SetText(QString());
    f.rule->SetVisible(false);
    pages.AddObject(f.data);
    pages.EndRun();

    const QString expected = QString::fromUtf8(
        "page0\n"
        "  b1 t=\"0\"\n"
        "    m1 u=\"RELATÓRIO DE INCONSISTÊNCIAS TRIBUTÁRIAS\"\n"
        "  b2 t=\"52.91342\"\n"
        "    m2 u=\"PRODUTO 1-1\"\n"
        "    m3 u=\"00\"\n"
        "    l1\n"
        "    s1\n"
        "  b3 t=\"808.81942\"\n"
        "    m4 u=\"1/[TotalPages#]\"\n"
        "page0\n"
        "  b2 t=\"10.5\"\n"
        "    m2 u=\"\"\n"
        "    m3 l=\"480\" Font.Style=\"1\" ParentFont=\"0\" Frame.Typ=\"8\" Frame.BottomLine.Width=\"2\" "
        "u=\"a &#34;b&#34; &#38; &#60;c&#62;&#13;&#10;second\"\n"
        "    s1\n");
    EXPECT_EQ(pages.Dump(), expected);

    // Rebuilt from template text plus difference text, the memo is the placed one again.
    TfrxReportPage *second = pages.GetPage(1);
    auto *memo = dynamic_cast<TfrxMemoView *>(second->FindObject("frxDBListagemCST"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Memo, QStringList({"a \"b\" & <c>", "second"}));
    EXPECT_DOUBLE_EQ(memo->Left(), 480);
    EXPECT_EQ(memo->Font().Style, fsBold);
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame.BottomLine.Width, 2);
    EXPECT_EQ(memo->Frame.LeftLine.Width, 1);
    EXPECT_EQ(memo->HAlign, haCenter);
    EXPECT_EQ(second->FindObject("Line6"), nullptr);
    EXPECT_EQ(second->Name(), "Page1");
    EXPECT_DOUBLE_EQ(second->PaperWidth(), 340);
}

TEST(PreparedPages, PagesRebuiltFromNodesEqualThePlacedObjects) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    pages.BeginPass();
    pages.AddPage(f.page);
    // Snapshot of each placed band as it was handed over.
    QStringList placed;
    auto place = [&](TfrxBand *band) {
        pages.AddObject(band);
        placed << band->ClassName() + " " + band->PropertiesText();
        for (TfrxComponent *c : band->AllObjects())
            if (c->Visible()) placed << c->ClassName() + " " + c->PropertiesText();
    };
    f.title->SetTop(0);
    place(f.title);
    f.data->SetTop(52.91342);
    f.product->SetText("um\r\ndois");
    f.product->SetParentFont(true);
    f.cst->Highlight.Active = true;
    f.strip->Color = clMoneyGreen;
    f.strip->Frame.SetColor(clNone);
    place(f.data);
    f.footer->SetTop(808.81942);
    place(f.footer);
    pages.EndRun();

    TfrxReportPage *page = pages.GetPage(0);
    QStringList rebuilt;
    for (TfrxComponent *c : page->AllObjects()) rebuilt << c->ClassName() + " " + c->PropertiesText();
    EXPECT_EQ(rebuilt, placed);
}

TEST(PreparedPages, SavedAndLoadedPagesAreTheSameAlsoAfterTheFileCache) {
    QTemporaryDir temp;
    Fixture plain;
    TfrxPreviewPages reference(&plain.report);
    run(plain, reference, 6, 3);
    const QStringList expected = objectsOf(reference);
    const QString dump = reference.Dump();

    // With MaxMemSize 0 every page added swaps the earlier unloadable ones out to the file.
    Fixture cached;
    cached.report.EngineOptions.UseFileCache = true;
    cached.report.EngineOptions.MaxMemSize = 0;
    cached.report.EngineOptions.TempDir = temp.path();
    TfrxPreviewPages pages(&cached.report);
    run(cached, pages, 6, 3);
    EXPECT_EQ(QDir(temp.path()).entryList({"fr*"}, QDir::Files).size(), 1);
    EXPECT_EQ(pages.Dump(), dump);
    EXPECT_EQ(objectsOf(pages), expected);

    const QByteArray file = saved(pages);
    EXPECT_EQ(file, saved(reference));
    for (bool partial : {false, true}) {
        Fixture other;
        TfrxPreviewPages loaded(&other.report);
        load(loaded, file, partial);
        EXPECT_EQ(loaded.Count(), 6);
        EXPECT_EQ(loaded.Dump(), dump) << partial;
        EXPECT_EQ(objectsOf(loaded), expected) << partial;
        EXPECT_EQ(saved(loaded), file) << partial;
        EXPECT_EQ(loaded.PageSize(5), QSize(1285, 907));
    }
}

TEST(PreparedPages, DamagedFileRaisesAndKeepsThePagesThere) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    run(f, pages, 3);
    const QByteArray good = saved(pages);
    const QString before = pages.Dump();

    QByteArray wrongAlias = good;
    wrongAlias.replace("name=\"Page0.Memo1\"", "name=\"Page0.Nothing\"");
    QByteArray wrongSource = good;
    wrongSource.replace("page0", "page7");
    const struct {
        const char *what;
        QByteArray bytes;
        const char *message;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), "danificado"},
        {"compressed", QByteArray::fromHex("789c4b4c4a0600024d0127"), "Erro de descompressão de fluxo"},
        {"empty", QByteArray(), "Erro de descompressão de fluxo"},
        {"other root", "<?xml version=\"1.0\"?><TfrxReport/>", "preparedreport"},
        {"alias without object", wrongAlias, "Nothing"},
        {"page without source", wrongSource, "página 1"},
    };
    for (const auto &c : cases) {
        try {
            load(pages, c.bytes);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Erro &e) {
            EXPECT_TRUE(e.mensagem().contains(QString::fromUtf8(c.message))) << c.what << ": "
                                                                             << e.what();
        }
        EXPECT_EQ(pages.Count(), 3) << c.what;
        EXPECT_EQ(pages.Dump(), before) << c.what;
    }
}

TEST(PreparedPages, SaveToFileReplacesOnlyWithAWholeFile) {
    QTemporaryDir temp;
    const QString name = temp.filePath("listagem.fp3");
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    run(f, pages, 2);
    pages.SaveToFile(name);
    TfrxPreviewPages loaded(nullptr);
    EXPECT_TRUE(loaded.LoadFromFile(name));
    EXPECT_EQ(loaded.Dump(), pages.Dump());
    EXPECT_FALSE(loaded.LoadFromFile(temp.filePath("nada.fp3")));
    EXPECT_THROW(loaded.LoadFromFile(temp.filePath("nada.fp3"), true), Erro);
    EXPECT_THROW(pages.SaveToFile(temp.filePath("sem/pasta/x.fp3")), Erro);
}

TEST(PreparedPages, PageCacheAnswersUntilThePageIsDroppedButNeverWhileRunning) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    run(f, pages, 4);
    pages.PagesInCache = 2;
    auto firstMemo = [&](int index) {
        return dynamic_cast<TfrxMemoView *>(pages.GetPage(index)->FindObject("frxDBListagemPRODUTO"));
    };
    firstMemo(0)->SetText("changed in the cache");
    EXPECT_EQ(firstMemo(0)->Memo.value(0), "changed in the cache");
    pages.GetPage(1);
    pages.GetPage(2);  // page 0 falls out of a cache of two
    EXPECT_EQ(firstMemo(0)->Memo.value(0), "PRODUTO 1-1");
    EXPECT_EQ(pages.GetPage(4), nullptr);
    EXPECT_EQ(pages.GetPage(-1), nullptr);
    EXPECT_EQ(pages.PageSize(4), QSize(0, 0));
    EXPECT_EQ(pages.PageSize(0), QSize(1285, 907));

    // While the engine fills a page, every GetPage shows its newest state.
    Fixture g;
    TfrxPreviewPages filling(&g.report);
    filling.BeginRun();
    filling.AddSourcePage(g.page);
    filling.BeginPass();
    filling.AddPage(g.page);
    g.title->SetTop(0);
    filling.AddObject(g.title);
    EXPECT_EQ(filling.GetPage(0)->Objects().size(), 1u);
    g.data->SetTop(52.91342);
    filling.AddObject(g.data);
    EXPECT_EQ(filling.GetPage(0)->Objects().size(), 2u);
    filling.EndRun();
}

TEST(PreparedPages, QuestionsOfTheBandEngine) {
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    pages.BeginPass();
    pages.AddPage(f.page);
    EXPECT_EQ(pages.CurrentPosition(), 0);
    EXPECT_EQ(pages.LastBandBottom(0), 0);
    EXPECT_FALSE(pages.BandExists(f.footer));
    f.title->SetTop(0);
    pages.AddObject(f.title);
    f.data->SetTop(52.91342);
    pages.AddObject(f.data);
    f.footer->SetTop(808.81942);
    pages.AddObject(f.footer);
    EXPECT_EQ(pages.CurrentPosition(), 3);
    EXPECT_TRUE(pages.BandExists(f.footer));
    EXPECT_TRUE(pages.BandExists(f.data));
    // The page footer does not count for the bottom of the bands.
    EXPECT_NEAR(pages.LastBandBottom(0), 52.91342 + 46.13389, 1e-9);
    // With X only bands at that Left count, but the title always does.
    EXPECT_NEAR(pages.LastBandBottom(300), 52.91342, 1e-9);

    // A keep moves the cut bands to the next page, starting at the given position.
    const int at = 1;
    EXPECT_EQ(pages.CutObjects(at), 3);
    EXPECT_EQ(pages.CurrentPosition(), 1);
    pages.AddPage(f.page);
    pages.PasteObjects(0, 20);
    EXPECT_EQ(pages.CurrentPosition(), 2);
    EXPECT_NEAR(pages.LastBandBottom(0), 20 + 46.13389, 1e-9);
    EXPECT_TRUE(pages.BandExists(f.footer));

    // Anchors: the last of a name wins, letter case ignored; an unknown name gives page 1.
    pages.SetCurPage(0);
    pages.AddAnchor("Regra", 10.4);
    pages.SetCurPage(1);
    pages.AddAnchor("regra", 30.6);
    EXPECT_EQ(pages.GetAnchorPage("REGRA"), 2);
    EXPECT_EQ(pages.GetAnchorPage("outra"), 1);
    EXPECT_EQ(pages.AnchorCount(), 1);
    pages.ShiftAnchors(0, 5);
    int page = -1, top = -1;
    ASSERT_TRUE(pages.FindAnchor("regra", page, top));
    EXPECT_EQ(page, 2);
    EXPECT_EQ(top, 5);

    // Outline entries nest under the current one until its level is left.
    pages.OutlineAdd("A", 0);
    pages.OutlineAdd("A.1", 12);
    pages.OutlineLevelUp();
    pages.OutlineAdd("A.2", 24);
    pages.OutlineLevelRoot();
    pages.OutlineAdd("B", 36);
    EXPECT_EQ(pages.OutlineCount(), 4);
    pages.OutlineShiftItems(2, 0);
    const std::vector<TfrxOutlineEntry> outline = pages.OutlineEntries();
    ASSERT_EQ(outline.size(), 2u);
    ASSERT_EQ(outline[0].Children.size(), 2u);
    EXPECT_EQ(outline[0].Children[1].Text, "A.2");
    EXPECT_EQ(outline[0].Children[1].Page, 2);
    EXPECT_EQ(outline[0].Children[1].Top, 0);
    EXPECT_EQ(outline[1].Top, 12);
    EXPECT_EQ(outline[0].Children[0].Page, 1);
    pages.EndRun();
}

TEST(PreparedPages, DoublePassKeepsTheFirstPassNumbersAndDropsItsPages) {
    Fixture f;
    f.report.EngineOptions.DoublePass = true;
    struct Engine : TfrxCustomEngine {} engine;
    f.report.Engine = &engine;
    TfrxPreviewPages pages(&f.report);
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    engine.FinalPass = false;
    pages.BeginPass();
    for (int p = 0; p < 3; ++p) placePage(f, pages, p, 1);
    // First pass: only the common attributes, so no memo text is stored.
    EXPECT_FALSE(pages.Dump().contains(" u=\""));
    engine.TotalPages = pages.Count();
    pages.SetCurPage(pages.Count() - 1);
    pages.DropFirstPass();
    EXPECT_EQ(pages.Count(), 0);
    EXPECT_EQ(pages.CurPage(), -1);
    engine.FinalPass = true;
    for (int p = 0; p < 3; ++p) placePage(f, pages, p, 1);
    EXPECT_EQ(pages.LogicalPageNumber(), 3);
    EXPECT_EQ(pages.LogicalTotalPages(), 3);
    pages.EndRun();
    f.report.Engine = nullptr;
    EXPECT_TRUE(pages.Dump().contains("u=\"3/[TotalPages#]\""));
}

TEST(PreparedPages, DrawPagePutsTheViewsInsideMarginsAndKeepsTheMarker) {
    // Text is drawn with glyphs of the font files, which needs the application's font system.
    static int argc = 1;
    static char name[] = "preview_pages_test";
    static char *argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);  // lives for the whole run
    Fixture f;
    TfrxPreviewPages pages(&f.report);
    pages.BeginRun();
    pages.AddSourcePage(f.page);
    pages.BeginPass();
    pages.AddPage(f.page);
    f.data->SetTop(100);
    f.strip->Color = 0x000000FF;  // red
    f.strip->Frame.SetColor(clNone);
    pages.AddObject(f.data);
    f.footer->SetTop(808.81942);
    f.pageNo->SetText("1/[TotalPages#]");
    pages.AddObject(f.footer);
    pages.EndRun();

    // Scale 0.5 with an offset of 10: the strip's corner is at 10 + (10 mm + 0) * 0.5 on X and
    // 10 + (10 mm + 100) * 0.5 on Y; outside the paper nothing is drawn.
    QImage image(700, 500, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        pages.DrawPage(0, &painter, 0.5, 0.5, 10, 10);
    }
    const double x0 = 10 + 10 * fr01cm * 0.5, y0 = 10 + (10 * fr01cm + 100) * 0.5;
    EXPECT_EQ(image.pixelColor(int(x0 + 20), int(y0 + 2)), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(int(x0 - 3), int(y0 + 2)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(int(x0 + 20), int(y0 - 3)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    auto *marker = dynamic_cast<TfrxMemoView *>(pages.GetPage(0)->FindObject("Memo18"));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->Memo.value(0), "1/[TotalPages#]");
}

TEST(FileCache, RecordsComeBackByOffsetAndBadOffsetsRaise) {
    QTemporaryDir dir;
    QString name;
    {
        TfrxFileCache cache(dir.path());
        EXPECT_FALSE(cache.HasFile());
        const qint64 a = cache.Write("<page0><b1 t=\"1\"/></page0>");
        const qint64 b = cache.Write(QByteArray());
        const QByteArray accented = QString::fromUtf8("<m1 u=\"SAÍDA\"/>").toUtf8();
        const qint64 c = cache.Write(accented);
        name = cache.FileName();
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith("fr"));
        EXPECT_EQ(QFileInfo(name).absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(cache.Read(c), accented);
        EXPECT_EQ(cache.Read(a), "<page0><b1 t=\"1\"/></page0>");
        EXPECT_EQ(cache.Read(b), QByteArray());
        for (qint64 bad : {a + 1, cache.Size(), qint64(-4)}) EXPECT_THROW(cache.Read(bad), Erro) << bad;
        cache.Reset();
        EXPECT_FALSE(QFileInfo::exists(name));
        cache.Write("x");
        name = cache.FileName();
        EXPECT_TRUE(QFileInfo::exists(name));
    }
    EXPECT_FALSE(QFileInfo::exists(name));
    TfrxFileCache nowhere("/proc/no-such-folder");
    EXPECT_THROW(nowhere.Write("x"), Erro);
    EXPECT_FALSE(nowhere.HasFile());
}

}  // namespace
