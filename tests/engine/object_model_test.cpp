// The report object model: fonts inherited down the tree, page geometry, names, tree order,
// absolute positions and the engine's resource texts.
#include "engine/bands.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/resources.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include <QFile>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TfrxFont Font(int size, TFontStyles style = 0, QString name = QStringLiteral("Arial")) {
    TfrxFont f;
    f.Name = name;
    f.Size = size;
    f.Style = style;
    return f;
}

struct Template {
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *inherits = new TfrxMemoView(band);
    TfrxMemoView *own = new TfrxMemoView(band);
    Template() {
        page->SetName("Page1");
        band->SetName("MasterData1");
        inherits->SetName("Memo1");
        own->SetName("Memo2");
        own->SetFont(Font(9, fsBold));
    }
};

TEST(FontInheritance, MemoWithoutOwnFontPrintsInDefaultArialTenBlack) {
    Template t;
    const TfrxFont &f = t.inherits->Font();
    EXPECT_EQ(f.Name, "Arial");
    EXPECT_EQ(f.Size, 10);
    EXPECT_EQ(f.Height(), -13);
    EXPECT_EQ(f.Color, clBlack);
    EXPECT_EQ(f.Style, 0);
    EXPECT_EQ(f.Charset, DEFAULT_CHARSET);
    EXPECT_TRUE(t.inherits->ParentFont());
}

TEST(FontInheritance, BandFontChangeReachesOnlyMemosThatInherit) {
    Template t;
    t.band->SetFont(Font(14, fsItalic, "Tahoma"));
    EXPECT_EQ(t.inherits->Font(), Font(14, fsItalic, "Tahoma"));
    EXPECT_TRUE(t.inherits->ParentFont());
    EXPECT_EQ(t.own->Font(), Font(9, fsBold));
    EXPECT_FALSE(t.own->ParentFont());
    EXPECT_FALSE(t.band->ParentFont());
}

TEST(FontInheritance, ParentFontTrueCopiesTheParentsFontAgain) {
    Template t;
    t.band->SetFont(Font(12));
    t.own->SetParentFont(true);
    EXPECT_EQ(t.own->Font(), Font(12));
    // and from then on follows the band
    t.band->SetFont(Font(8));
    EXPECT_EQ(t.own->Font().Size, 8);
}

TEST(FontInheritance, MovingToAnotherParentReappliesParentFont) {
    Template t;
    auto *other = new TfrxHeader(t.page);
    other->SetFont(Font(16));
    t.inherits->MoveToParent(other);
    EXPECT_EQ(t.inherits->Font().Size, 16);
    EXPECT_EQ(other->Objects().back(), t.inherits);
    EXPECT_EQ(t.band->Objects().size(), 1u);
}

TEST(FontHeights, SizeAndPixelHeightAtNinetySixPixelsPerInch) {
    const struct { int height, size; } cases[] = {{-13, 10}, {-12, 9}, {-11, 8}, {-16, 12}, {-15, 11}};
    for (const auto &c : cases) {
        TfrxFont f;
        f.SetHeight(c.height);
        EXPECT_EQ(f.Size, c.size) << c.height;
        EXPECT_EQ(f.Height(), c.height) << c.size;
    }
}

TEST(PageGeometry, LandscapeCustomPaperOfTheReport) {
    TfrxReportPage page;
    page.SetOrientation(poLandscape);
    page.SetPaperWidth(340);
    page.SetPaperHeight(240);
    page.SetPaperSize(256);
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 10;
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_DOUBLE_EQ(page.PrintableWidth(), 1209.4496);
    EXPECT_DOUBLE_EQ(page.PrintableHeight(), 831.4966);
    EXPECT_EQ(page.Width(), 1285);
    EXPECT_EQ(page.Height(), 907);
}

TEST(PageGeometry, OrientationSwapsPaperAndRotatesMargins) {
    TfrxReportPage page;
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 210);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 297);
    page.LeftMargin = 1;
    page.RightMargin = 2;
    page.TopMargin = 3;
    page.BottomMargin = 4;
    page.SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 210);
    EXPECT_EQ(page.PaperSize(), 9) << "turning the paper keeps its code";
    EXPECT_EQ((std::vector<double>{page.LeftMargin, page.RightMargin, page.TopMargin, page.BottomMargin}),
              (std::vector<double>{3, 4, 2, 1}));
    page.SetOrientation(poPortrait);
    EXPECT_EQ((std::vector<double>{page.LeftMargin, page.RightMargin, page.TopMargin, page.BottomMargin}),
              (std::vector<double>{1, 2, 3, 4}));
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 210);
}

TEST(PageGeometry, PaperCodesLoadDimensionsAndCustomSizesRoundToEightDecimals) {
    TfrxReportPage page;
    page.SetOrientation(poLandscape);
    page.SetPaperSize(8);  // A3, turned
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 420);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 297);
    page.SetPaperWidth(100.123456789);
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 100.12345679);
    page.SetPaperSize(9999);  // unknown code: dimensions stay
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 100.12345679);
}

TEST(Names, UniqueWithoutRegardToCaseAndNumberedFromTheBaseName) {
    Template t;
    EXPECT_EQ(t.inherits->BaseName(), "Memo");
    EXPECT_EQ(t.band->BaseName(), "MasterData");
    try {
        t.own->SetName("MEMO1");
        FAIL() << "a duplicate name was accepted";
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), "prDupl") << "the table has no text for prDupl: the key is the message";
    }
    EXPECT_EQ(t.own->Name(), "Memo2");
    auto *m = new TfrxMemoView(t.band);
    m->CreateUniqueName();
    EXPECT_EQ(m->Name(), "Memo3");
    t.inherits->SetName("Texto");  // frees number 1
    auto *n = new TfrxMemoView(t.band);
    n->CreateUniqueName();
    EXPECT_EQ(n->Name(), "Memo1");
    auto *line = new TfrxLineView(t.band);
    line->CreateUniqueName();
    EXPECT_EQ(line->Name(), "Line1");
}

TEST(Names, AnInheritedObjectCannotBeRenamed) {
    Template t;
    t.inherits->IsAncestor = true;
    try {
        t.inherits->SetName("Outro");
        FAIL();
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), "Could not rename Memo1, it was introduced in the ancestor report");
    }
}

TEST(Tree, AllObjectsIsDepthFirstParentBeforeChildrenAndFindObjectIgnoresCase) {
    Template t;
    auto *title = new TfrxReportTitle(t.page);
    title->SetName("ReportTitle1");
    auto *m = new TfrxMemoView(title);
    m->SetName("Memo9");
    QStringList names;
    for (TfrxComponent *c : t.report.AllObjects()) names << c->Name();
    EXPECT_EQ(names, (QStringList{"Page1", "MasterData1", "Memo1", "Memo2", "ReportTitle1", "Memo9"}));
    EXPECT_EQ(t.report.FindObject("memo9"), m);
    EXPECT_EQ(t.report.FindObject("nada"), nullptr);
    EXPECT_EQ(t.page->FindBand<TfrxReportTitle>(), title);
    EXPECT_EQ(m->Page(), t.page);
    EXPECT_EQ(m->Report(), &t.report);
}

TEST(Tree, FreeingAParentFreesItsChildrenAndLeavesTheTreeConsistent) {
    Template t;
    delete t.band;
    EXPECT_TRUE(t.page->Objects().empty());
    EXPECT_EQ(t.report.AllObjects().size(), 1u);
}

TEST(Geometry, AbsolutePositionAddsParentsButNotADialogPage) {
    Template t;
    t.page->SetLeft(37.7953);  // an export sets the margin as the page's Left
    t.band->SetBounds(0, 241.88992, 1209.4496, 46.13389);
    t.inherits->SetBounds(475.46475, 3.77953, 49.13389, 18.89765);
    EXPECT_DOUBLE_EQ(t.inherits->AbsLeft(), 37.7953 + 475.46475);
    EXPECT_DOUBLE_EQ(t.inherits->AbsTop(), 241.88992 + 3.77953);
    const TfrxRect r = t.inherits->AbsoluteRect();
    EXPECT_DOUBLE_EQ(r.Right, 37.7953 + 475.46475 + 49.13389);
    EXPECT_DOUBLE_EQ(r.Bottom, 241.88992 + 3.77953 + 18.89765);

    TfrxDialogPage dialog;
    dialog.SetBounds(100, 100, 300, 200);
    auto *d = new TfrxMemoView(&dialog);
    d->SetBounds(5, 6, 10, 10);
    EXPECT_DOUBLE_EQ(d->AbsLeft(), 5);
    EXPECT_DOUBLE_EQ(d->AbsTop(), 6);
}

TEST(Geometry, SaveAndRestoreBoundsBracketARun) {
    Template t;
    t.inherits->SetBounds(1, 2, 3, 4);
    t.inherits->SaveBounds();
    t.inherits->SetBounds(10, 20, 30, 40);
    t.inherits->RestoreBounds();
    EXPECT_EQ((std::vector<double>{t.inherits->Left(), t.inherits->Top(), t.inherits->Width(), t.inherits->Height()}),
              (std::vector<double>{1, 2, 3, 4}));
}

TEST(Alignment, AlignedViewsArePackedAndCentred) {
    TfrxMasterData band;
    band.SetBounds(0, 0, 1000, 50);
    auto make = [&](TfrxAlign a, double left, double w) {
        auto *v = new TfrxMemoView(&band);
        v->Align = a;
        v->SetBounds(left, 5, w, 10);
        return v;
    };
    TfrxMemoView *l2 = make(baLeft, 50, 100), *l1 = make(baLeft, -5, 30), *r = make(baRight, 0, 80),
                 *c = make(baCenter, 0, 200), *b = make(baBottom, 7, 10), *n = make(baNone, 333, 1);
    band.ApplyAlignment();
    EXPECT_DOUBLE_EQ(l1->Left(), 0) << "negative Left sorts first";
    EXPECT_DOUBLE_EQ(l2->Left(), 30);
    EXPECT_DOUBLE_EQ(r->Left(), 920);
    EXPECT_DOUBLE_EQ(c->Left(), 400);
    EXPECT_DOUBLE_EQ(b->Top(), 40);
    EXPECT_DOUBLE_EQ(n->Left(), 333);
}

TEST(Bands, NumbersFollowTheFixedListOfEighteenClasses) {
    TfrxReportPage page;
    std::vector<TfrxBand *> bands = {
        new TfrxReportTitle(&page), new TfrxReportSummary(&page), new TfrxPageHeader(&page),
        new TfrxPageFooter(&page),  new TfrxHeader(&page),        new TfrxFooter(&page),
        new TfrxMasterData(&page),  new TfrxDetailData(&page),    new TfrxSubdetailData(&page),
        new TfrxDataBand4(&page),   new TfrxDataBand5(&page),     new TfrxDataBand6(&page),
        new TfrxGroupHeader(&page), new TfrxGroupFooter(&page),   new TfrxChild(&page),
        new TfrxColumnHeader(&page), new TfrxColumnFooter(&page), new TfrxOverlay(&page)};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(bands[i]->BandNumber(), i);
        EXPECT_EQ(bands[i]->ClassName(), QLatin1String(frxBandClassNames[i]));
    }
    EXPECT_EQ(TfrxNullBand().BandNumber(), -1);
}

TEST(Views, DefaultsOfMemoLineShapeAndFrame) {
    TfrxMemoView m;
    EXPECT_EQ(m.ExpressionDelimiters, "[,]");
    EXPECT_DOUBLE_EQ(m.GapX, 2);
    EXPECT_DOUBLE_EQ(m.GapY, 1);
    EXPECT_DOUBLE_EQ(m.LineSpacing, 2);
    EXPECT_TRUE(m.WordWrap && m.Wysiwyg && m.Clipped && m.AllowExpressions);
    EXPECT_EQ(m.Color, clNone);
    EXPECT_EQ(m.Frame.Typ, 0);
    TfrxLineView line;
    EXPECT_EQ(line.ArrowLength, 20);
    EXPECT_EQ(line.ArrowWidth, 5);
    TfrxShapeView shape;
    EXPECT_EQ(shape.Shape, skRectangle);
    EXPECT_EQ(shape.Frame.Color(), clBlack);
}

TEST(Views, FrameLevelValuesSetAllSidesWhichMayThenDiffer) {
    TfrxFrame f;
    f.SetColor(0x0000FF);
    f.SetWidth(2);
    f.SetStyle(fsDot);
    for (const TfrxFrameLine *l : {&f.LeftLine, &f.TopLine, &f.RightLine, &f.BottomLine}) {
        EXPECT_EQ(l->Color, 0x0000FFu);
        EXPECT_DOUBLE_EQ(l->Width, 2);
        EXPECT_EQ(l->Style, fsDot);
    }
    f.TopLine.Color = clBlack;
    EXPECT_EQ(f.Color(), 0x0000FFu);
    EXPECT_EQ(f.LeftLine.Color, 0x0000FFu);
}

TEST(Memo, TextIsLinesEachEndedByCrLfAndComponentTextReplacesTheFirstPageCount) {
    TfrxMemoView m;
    m.SetText("a\r\nb\nc\r");
    EXPECT_EQ(m.Memo, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(m.Text(), "a\r\nb\r\nc\r\n");
    m.SetText("");
    EXPECT_TRUE(m.Memo.isEmpty());
    m.SetText("[totalpages] de [TotalPages]");
    m.TotalPages = 7;
    EXPECT_EQ(m.ComponentText(), "7 de [TotalPages]\r\n");
}

TEST(Report, DefaultsOfTheDocument) {
    TfrxReport r;
    EXPECT_EQ(r.Version, "4.9.72");
    EXPECT_EQ(r.ScriptLanguage, "PascalScript");
    EXPECT_EQ(r.ScriptText, (QStringList{"begin", "", "end."}));
    EXPECT_TRUE(r.EngineOptions.ConvertNulls);
    EXPECT_EQ(r.EngineOptions.NewSilentMode, simMessageBoxes);
    EXPECT_EQ(r.PreviewOptions.PagesInCache, 50);
    EXPECT_EQ(r.PrintOptions.Printer, "Padrão");
    EXPECT_EQ(TfrxReport::SysVariables().size(), 9);
}

TEST(Resources, QuotedTextsUnknownKeysAndTheBangPrefix) {
    const struct { const char *key, *text; } cases[] = {
        {"clErrors", "Erro(s) encontrado(s):"},
        {"clExprError", "Erro na expressão"},
        {"clUnknownVar", "Variável ou campo de dados desconhecido:"},
        {"SIdUndeclared", "Identificador não declarado:"},
        {"dbNotConn", "DataSet %s não está conectado a dados"},
        {"dbFldNotFound", "Campo não encontrado:"},
        {"clDSNotExist", "Dataset \"%s\" não existe"},
        {"enUnconnHeader", "Cabeçalho/Rodapé desconectado"},
        {"clPageOf", "Página %d de %d"},
        {"9", "Informe números e/ou intervalos de páginas, separados por vírgulas. Ex.: 1,3,5-12"},
        {"510", "Arquivo de impressão (*.prn)|*.prn"},
        {"8704", "Indice"},
        {"chaveQueNaoExiste", "chaveQueNaoExiste"},
        {"prDupl", "prDupl"},
        {"prInvProp", "prInvProp"},
    };
    for (const auto &c : cases) EXPECT_EQ(frxGet(c.key), QString::fromUtf8(c.text)) << c.key;
}

TEST(Resources, TableLoadsFromTheXmlFormDecodingEntitiesTwice) {
    TfrxResources &r = TfrxResources::Instance();
    const int before = r.Count();
    r.LoadFromXml(QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><Resources CodePage=\"1252\">"
        "<StrRes Name=\"a\" Text=\"!Aviso\"/><StrRes Name=\"b\" Text=\"x &amp;quot;y&amp;quot; &amp;#233;\"/>"
        "</Resources>"));
    EXPECT_EQ(r.Get("a"), "Aviso");
    EXPECT_EQ(r.Get("b"), QString::fromUtf8("x \"y\" é"));
    EXPECT_EQ(r.Get("clErrors"), "clErrors");
    // put the program's table back for the other tests
    QFile f(":/engine/resources.xml");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    r.LoadFromXml(f.readAll());
    EXPECT_EQ(r.Count(), before);
}

}  // namespace
