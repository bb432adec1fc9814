// The node tree (escaping, attributes by name, text form) and the stored form of component
// trees: save then load gives the same report, and template text plus difference text rebuild
// a placed object.
#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/stored_values.h"
#include "engine/views.h"
#include "engine/xml_tree.h"
#include "platform/erro/Erro.h"

#include <QBuffer>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlEscaping, ValuesWriteOnlyUnambiguousCharacters) {
    const struct { const char *in, *out; } cases[] = {
        {"plain", "plain"},
        {"a\"b", "a&#34;b"},
        {"<x>", "&#60;x&#62;"},
        {"l1\r\nl2", "l1&#13;&#10;l2"},
        {"R&D", "R&#38;D"},
        {"&quot;", "&#38;quot;"},
        {"Ação", "Ação"},
    };
    for (const auto &c : cases) EXPECT_EQ(frxStrToXML(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(XmlEscaping, UnescapingDecodesNumericAndNamedEntitiesOnly) {
    const struct { const char *in, *out; } cases[] = {
        {"&#34;&#60;&#62;&#13;&#10;", "\"<>\r\n"},
        {"&quot;&amp;&lt;&gt;", "\"&<>"},
        {"R&D &x; &#; &#12a;", "R&D &x; &#; &#12a;"},
        {"&#233;", "é"},
        {"fim &", "fim &"},
    };
    for (const auto &c : cases) EXPECT_EQ(frxXMLToStr(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(XmlEscaping, EveryTextSurvivesTheRoundTrip) {
    // Short texts that look like entities used to come back as other texts.
    for (const char *s : {"&quot;", "&amp;", "a&#65;", "&lt;b&gt;", "x\"&\"y", "", "&", "&#"})
        EXPECT_EQ(frxXMLToStr(frxStrToXML(QString::fromUtf8(s))), QString::fromUtf8(s)) << s;
}

TEST(XmlItem, AttributesAreFoundWithoutRegardToCaseAndReplacedInPlace) {
    TfrxXMLItem item;
    item.SetProp("Name", "Memo1");
    item.SetProp("u", "a \"b\"");
    item.SetProp("l", "10");
    EXPECT_EQ(item.Text, " Name=\"Memo1\" u=\"a &#34;b&#34;\" l=\"10\"");
    EXPECT_EQ(item.Prop("NAME"), "Memo1");
    EXPECT_EQ(item.Prop("U"), "a \"b\"");
    item.SetProp("L", "20");
    EXPECT_EQ(item.Prop("l"), "20");
    EXPECT_EQ(item.Text, " Name=\"Memo1\" u=\"a &#34;b&#34;\" l=\"20\"");
    EXPECT_FALSE(item.PropExists("t"));
    EXPECT_EQ(item.Prop("t"), "");
    item.DeleteProp("u");
    EXPECT_EQ(item.Text, " Name=\"Memo1\" l=\"20\"");
}

TEST(XmlItem, AValueEndingLikeAnAttributeIsNotTakenForOne) {
    TfrxXMLItem item;
    item.SetProp("a", " t=");
    item.SetProp("t", "5");
    EXPECT_EQ(item.Prop("t"), "5");
    EXPECT_EQ(item.Prop("a"), " t=");
}

TEST(XmlItem, FindItemCreatesAChildOnFirstUse) {
    TfrxXMLItem root("preparedreport");
    TfrxXMLItem *pages = root.FindItem("previewpages");
    EXPECT_EQ(root.Count(), 1);
    EXPECT_EQ(root.FindItem("PreviewPages"), pages);
    EXPECT_EQ(root.Count(), 1);
    EXPECT_EQ(pages->Parent(), &root);
    EXPECT_EQ(root.Find("nada"), -1);
}

TEST(XmlDocument, TextFormWithIndentationUnloadableNodesAndBackAgain) {
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    TfrxXMLItem *root = doc.Root();
    root->Name = "preparedreport";
    TfrxXMLItem *pages = root->Add("previewpages");
    pages->Add("page0");
    TfrxXMLItem *p1 = pages->Add("page0");
    p1->Unloadable = true;
    TfrxXMLItem *m = p1->Add("m1");
    m->SetProp("u", "1/[TotalPages#]");
    const QByteArray text = doc.SaveToBytes();
    EXPECT_EQ(text,
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
              "<preparedreport>\r\n"
              "  <previewpages>\r\n"
              "    <page0/>\r\n"
              "    <page0 ld=\"0\">\r\n"
              "      <m1 u=\"1/[TotalPages#]\"/>\r\n"
              "    </page0>\r\n"
              "  </previewpages>\r\n"
              "</preparedreport>\r\n");
    TfrxXMLDocument back;
    back.LoadFromBytes(text);
    EXPECT_EQ(back.Root()->Name, "preparedreport");
    const TfrxXMLItem *bp = back.Root()->Items(0);
    ASSERT_EQ(bp->Count(), 2);
    EXPECT_FALSE(bp->Items(0)->Unloadable);
    EXPECT_TRUE(bp->Items(1)->Unloadable);
    EXPECT_EQ(bp->Items(1)->Text, "");
    EXPECT_EQ(bp->Items(1)->Items(0)->Prop("u"), "1/[TotalPages#]");
    back.AutoIndent = true;
    EXPECT_EQ(back.SaveToBytes(), text);
}

TEST(XmlDocument, DamagedTextIsRefusedWithAMessage) {
    for (const char *bad : {"", "<a>", "<a></b>", "<a x=\"1></a>", "<a/><b/>", "texto", "<a><b></a>"}) {
        TfrxXMLDocument doc;
        EXPECT_THROW(doc.LoadFromBytes(bad), Erro) << bad;
    }
}

// A small template in the shape of the program's report.
struct Fixture {
    TfrxDBDataset listagem;
    TfrxReport report;
    Fixture() {
        listagem.SetName("frxDBListagem");
        report.SetName("frxListagem");
        report.DataSets.Add(&listagem);
        report.Variables.Add(QString::fromUtf8(" Cabeçalho"));
        report.Variables.Add("FILIAL", QString::fromUtf8("'Loja D''Ávila'"));
        report.Variables.Add("Numero", 42);
        report.ReportOptions.CreateDate = 44022.3986673843;
        report.PreviewOptions.Zoom = 1;
        auto *data = new TfrxDataPage(&report);
        data->SetName("Data");
        auto *page = new TfrxReportPage(&report);
        page->SetName("Page1");
        page->SetOrientation(poLandscape);
        page->SetPaperWidth(340);
        page->SetPaperHeight(240);
        page->SetPaperSize(256);
        page->Frame().SetStyle(fsDouble);
        auto *title = new TfrxReportTitle(page);
        title->SetName("ReportTitle1");
        title->SetBounds(0, 18.89765, 1209.4496, 52.91342);
        TfrxFont big;
        big.Size = 14;
        title->SetFont(big);
        auto *m1 = new TfrxMemoView(title);
        m1->SetName("Memo1");
        m1->SetBounds(0, 0.77953, 1209.4496, 18.89765);
        TfrxFont bold;
        bold.Style = fsBold;
        m1->SetFont(bold);  // the default font, but its own: must not take the band's on reload
        m1->HAlign = haCenter;
        m1->SetText(QString::fromUtf8("RELATÓRIO DE INCONSISTÊNCIAS TRIBUTÁRIAS"));
        auto *filial = new TfrxMemoView(title);
        filial->SetName("FILIAL");
        filial->SetText("[FILIAL]\r\nsegunda &quot; linha <b>");
        auto *group = new TfrxGroupHeader(page);
        group->SetName("GroupHeader1");
        group->Condition = "frxDBListagem.\"DESC_ERRO\"";
        auto *shape = new TfrxShapeView(group);
        shape->SetName("CorFundo");
        shape->Color = clGradientActiveCaption;
        auto *linha = new TfrxMemoView(group);
        linha->SetName("Linha");
        linha->Frame.Typ = ftTop;
        linha->Frame.SetStyle(fsDot);
        linha->Frame.SetColor(0x0000FF);
        linha->Frame.BottomLine.Color = clBlack;  // one side back at the default value
        auto *master = new TfrxMasterData(page);
        master->SetName("MasterData1");
        master->SetDataSet(&listagem);
        auto *child = new TfrxChild(page);
        child->SetName("Child1");
        master->Child = child;
        auto *cst = new TfrxMemoView(master);
        cst->SetName("frxDBListagemCST");
        cst->SetDataSet(&listagem);
        cst->DataField = "CST";
        cst->DisplayFormat.Kind = fkNumeric;
        cst->DisplayFormat.FormatStr = "%2.2f";
        auto *line = new TfrxLineView(master);
        line->SetName("Line6");
        line->SetBounds(577.51206, 2.55906, 0, 45.35436);
        auto *loose = new TfrxLineView(page);
        loose->SetName("Line29");
        loose->SetBounds(0, 308.92146, 0, 52.91342);
    }
};

QByteArray Save(const TfrxComponent &c) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    c.SaveToStream(&b);
    return bytes;
}

void Load(TfrxComponent &c, const QByteArray &bytes) {
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    c.LoadFromStream(&b);
}

TEST(StoredForm, SaveLoadSaveGivesTheSameText) {
    Fixture f;
    const QByteArray first = Save(f.report);
    TfrxReport copy;
    Load(copy, first);
    EXPECT_EQ(Save(copy), first);
}

TEST(StoredForm, ReloadedReportHasTheValuesOfTheOriginal) {
    Fixture f;
    TfrxReport copy;
    Load(copy, Save(f.report));
    EXPECT_EQ(copy.Name(), "frxListagem");
    EXPECT_EQ(copy.ReportOptions, f.report.ReportOptions);
    EXPECT_EQ(copy.Variables, f.report.Variables);
    EXPECT_EQ(copy.Variables.Get("numero").typeId(), QMetaType::Int);
    EXPECT_TRUE(copy.Variables.Items(0).Value.isNull());
    ASSERT_EQ(copy.DataSets.Count(), 1);
    EXPECT_EQ(copy.DataSets.Items(0).DataSet, &f.listagem);

    auto *page = dynamic_cast<TfrxReportPage *>(copy.FindObject("Page1"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Orientation(), poLandscape);
    EXPECT_DOUBLE_EQ(page->PaperWidth(), 340);
    EXPECT_DOUBLE_EQ(page->PaperHeight(), 240);
    EXPECT_EQ(page->PaperSize(), 256);
    EXPECT_EQ(page->Frame().Style(), fsDouble);
    EXPECT_EQ(page->Frame().Typ, 0);

    auto *m1 = dynamic_cast<TfrxMemoView *>(copy.FindObject("Memo1"));
    ASSERT_TRUE(m1);
    EXPECT_FALSE(m1->ParentFont());
    EXPECT_EQ(m1->Font().Size, 10);
    EXPECT_EQ(m1->Font().Style, fsBold);
    EXPECT_EQ(m1->HAlign, haCenter);
    EXPECT_EQ(m1->Parent()->Font().Size, 14);
    auto *filial = dynamic_cast<TfrxMemoView *>(copy.FindObject("FILIAL"));
    EXPECT_EQ(filial->Memo, (QStringList{"[FILIAL]", "segunda &quot; linha <b>"}));
    EXPECT_EQ(filial->Font().Size, 14) << "inherits the band's font";

    auto *linha = dynamic_cast<TfrxMemoView *>(copy.FindObject("Linha"));
    EXPECT_EQ(linha->Frame.LeftLine.Color, 0x0000FFu);
    EXPECT_EQ(linha->Frame.BottomLine.Color, clBlack);
    EXPECT_EQ(linha->Frame.TopLine.Style, fsDot);
    EXPECT_EQ(dynamic_cast<TfrxShapeView *>(copy.FindObject("CorFundo"))->Color, clGradientActiveCaption);

    auto *master = dynamic_cast<TfrxMasterData *>(copy.FindObject("MasterData1"));
    EXPECT_EQ(master->DataSet(), &f.listagem);
    EXPECT_EQ(master->Child, copy.FindObject("Child1"));
    auto *cst = dynamic_cast<TfrxMemoView *>(copy.FindObject("frxDBListagemCST"));
    EXPECT_EQ(cst->DataSet(), &f.listagem);
    EXPECT_EQ(cst->DataField, "CST");
    EXPECT_EQ(cst->DisplayFormat.Kind, fkNumeric);
    EXPECT_EQ(dynamic_cast<TfrxGroupHeader *>(copy.FindObject("GroupHeader1"))->Condition, "frxDBListagem.\"DESC_ERRO\"");
    EXPECT_DOUBLE_EQ(copy.FindObject("Line6")->Height(), 45.35436);
    EXPECT_EQ(copy.FindObject("Line29")->Parent(), page);
}

TEST(StoredForm, ObjectsKeepTheirStoredOrder) {
    Fixture f;
    TfrxReport copy;
    Load(copy, Save(f.report));
    auto names = [](const TfrxComponent &r) {
        QStringList n;
        for (TfrxComponent *c : r.AllObjects()) n << c->ClassName() + ":" + c->Name();
        return n;
    };
    EXPECT_EQ(names(copy), names(f.report));
}

TEST(StoredForm, DamagedTextLeavesTheReportAsItWas) {
    Fixture f;
    const QByteArray good = Save(f.report);
    TfrxReport copy;
    Load(copy, good);
    EXPECT_THROW(Load(copy, good.left(good.size() / 2)), Erro);
    EXPECT_EQ(Save(copy), good);
    TfrxMemoView memo;
    EXPECT_THROW(Load(memo, good), Erro) << "a report is not a memo";
}

TEST(StoredForm, TemplateTextFollowedByDifferenceTextRebuildsAPlacedObject) {
    Fixture f;
    auto *src = dynamic_cast<TfrxMemoView *>(f.report.FindObject("FILIAL"));
    const QString templ = src->PropertiesText();
    TfrxMemoView placed;
    placed.ApplyPropertiesText(templ + " t=\"120.5\" u=\"Loja 1\" Font.Size=\"9\" ParentFont=\"0\"");
    EXPECT_EQ(placed.Name(), "FILIAL");
    EXPECT_DOUBLE_EQ(placed.Top(), 120.5);
    EXPECT_EQ(placed.Memo, QStringList{"Loja 1"});
    EXPECT_EQ(placed.Font().Size, 9);
    EXPECT_FALSE(placed.ParentFont());
    EXPECT_DOUBLE_EQ(placed.Width(), src->Width());
}

TEST(StoredForm, ValueEncodingsAreReadLeniently) {
    TfrxMemoView m;
    m.ApplyPropertiesText(QStringLiteral(" Left=\"1,5\" Top=\" 2.25 \" HAlign=\"haRight\" VAlign=\"2\" WordWrap=\"False\""
                          " Frame.Typ=\"[ftLeft,ftBottom]\" Color=\"-16777189\" Font.Height=\"-12\""));
    EXPECT_DOUBLE_EQ(m.Left(), 1.5);
    EXPECT_DOUBLE_EQ(m.Top(), 2.25);
    EXPECT_EQ(m.HAlign, haRight);
    EXPECT_EQ(m.VAlign, vaCenter);
    EXPECT_FALSE(m.WordWrap);
    EXPECT_EQ(m.Frame.Typ, ftLeft | ftBottom);
    EXPECT_EQ(m.Color, clGradientActiveCaption);
    EXPECT_EQ(m.Font().Size, 9);
}

// Short plain numbers take a fast path; signs, other blanks, long texts and garbage the general
// one. Both must read the same values.
TEST(StoredForm, FloatTextsReadTheSameOnBothPaths) {
    const struct {
        const char *text;
        double value;
    } cases[] = {{"52.91342", 52.91342}, {"-0.5", -0.5},  {"1e3", 1000},     {"1,5", 1.5},
                 {" 2 .25", 2.25},       {"+3", 3},       {"\r\n7\t", 7}, {"", 0},
                 {"abc", 0},             {"1.5x", 0},
                 {"0.000000000000000000000000000000000000000000125", 1.25e-43}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(frxStrToFloat(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(StoredForm, FloatsAreWrittenExactly) {
    TfrxMemoView m;
    m.SetLeft(340 * 3.77953);  // a value computed at run time, not a short decimal
    m.SetTop(0.1 + 0.2);
    TfrxMemoView back;
    back.ApplyPropertiesText(m.PropertiesText());
    EXPECT_EQ(back.Left(), m.Left());
    EXPECT_EQ(back.Top(), m.Top());
}

}  // namespace
