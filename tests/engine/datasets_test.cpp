// Report datasets over a cursor, report variables, system variables and the order in which a
// name becomes a value.
#include "memory_cursor.h"

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/engine_base.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

// The listing's shape: text columns, a numeric one, a Boolean one; row 2 has nulls.
MemoryCursor Listing() {
    MemoryCursor c;
    c.fields = {{"DESC_ERRO", cfkString, 80}, {"PRODUTO", cfkString, 60}, {"CST", cfkString, 3},
                {"QUANTIDADE", cfkInteger, 10}, {"ATIVO", cfkBoolean, 5}};
    c.rows = {{"CST inválido", "ARROZ 5KG", "000", 3, true},
              {"CST inválido", "FEIJÃO 1KG", QVariant(), QVariant(), QVariant()},
              {"NCM vazio", "AÇÚCAR", "060", 7, false},
              {"NCM vazio", "SAL", "040", 1, true},
              {"NCM vazio", "CAFÉ", "020", 2, true}};
    return c;
}

struct Fixture {
    MemoryCursor query = Listing();
    TfrxDBDataset ds;
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *memo = new TfrxMemoView(band);
    Fixture() {
        ds.SetName("frxDBListagem");
        ds.SetDataSet(&query);
        report.DataSets.Add(&ds);
        page->SetName("Page1");
        band->SetName("MasterData1");
        memo->SetName("Memo1");
    }
    QString Print(const QString &text) {
        memo->SetText(text);
        memo->EvaluateData();
        return memo->Text();
    }
};

TEST(Variables, WrittenTwiceOrInAnotherCaseKeepsOneItem) {
    TfrxVariables v;
    v.Add(QString::fromUtf8(" Cabeçalho"));
    v.Add("FILIAL");
    v.Set("FILIAL", "'Loja 1'");
    v.Set("FILIAL", "'Loja 2'");
    v.Set("filial", "'Loja 3'");
    ASSERT_EQ(v.Count(), 2);
    EXPECT_EQ(v.Items(1).Name, "FILIAL");
    EXPECT_EQ(v.Get("Filial").toString(), "'Loja 3'");
    EXPECT_TRUE(v.Get("outra").isNull());
    v.Set("Nova", 5);
    EXPECT_EQ(v.Count(), 3);
    v.Add("NOVA", 6);
    EXPECT_EQ(v.Get("nova").toInt(), 5) << "the first match wins";
}

TEST(ValueResolution, QuotedBranchNamePrintsWithoutQuotes) {
    Fixture f;
    f.report.Variables.Set("FILIAL", QString::fromUtf8("'Mercado D''Ávila - Centro'"));
    EXPECT_EQ(f.Print("Filial: [FILIAL]"), QString::fromUtf8("Filial: Mercado D'Ávila - Centro\r\n"));
    EXPECT_TRUE(f.report.Errors().isEmpty());
}

TEST(ValueResolution, UnquotedBranchNameIsCompiledAndFails) {
    Fixture f;
    f.report.Variables.Set("FILIAL", "Loja Centro");
    try {
        f.Print("[FILIAL]");
        FAIL() << "an unquoted value compiled";
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), QString::fromUtf8("Memo1: Erro na expressão 'Loja Centro': Identificador não declarado: 'Loja'"));
    }
    EXPECT_EQ(f.report.Errors(), QStringList{QString::fromUtf8("Memo1: Erro na expressão 'Loja Centro': Identificador não declarado: 'Loja'")});
}

TEST(ValueResolution, BlanksInsideTheBracketsAreNoLongerTheVariablesName) {
    Fixture f;
    f.report.Variables.Set("FILIAL", "'Loja 1'");
    f.memo->SetName("FILIAL");  // the template's branch memo carries this name
    EXPECT_EQ(f.Print("[ FILIAL ]"), "\r\n") << "the identifier names the memo, not the variable";
    auto *other = new TfrxMemoView(f.band);
    other->SetName("Outro");
    other->SetText("[ FILIAL ]");
    f.report.Variables.Set("X", 1);
    EXPECT_NO_THROW(other->EvaluateData());
}

TEST(ValueResolution, AVariableNamingItselfEndsInACompileErrorNotARecursion) {
    Fixture f;
    f.report.Variables.Set("LOOP", "LOOP");
    EXPECT_THROW(f.Print("[LOOP]"), Erro);
    ASSERT_EQ(f.report.Errors().size(), 1);
    EXPECT_TRUE(f.report.Errors()[0].contains(QString::fromUtf8("Identificador não declarado: 'LOOP'")));
}

TEST(ValueResolution, AVariableWithALineBreakIsItsOwnValue) {
    Fixture f;
    f.report.Variables.Set("Texto", "linha 1\r\nlinha 2");
    f.report.Variables.Set("Numero", 12.5);
    EXPECT_EQ(f.report.Calc("Texto").toString(), "linha 1\r\nlinha 2");
    EXPECT_EQ(f.report.Calc("numero").toDouble(), 12.5);
    f.report.Variables.Set(QString::fromUtf8(" Cabeçalho"), "'nunca'");
    EXPECT_THROW(f.report.Calc(QString::fromUtf8(" Cabeçalho")), Erro) << "a heading entry cannot be named";
}

TEST(ValueResolution, OrderIsFieldThenSystemThenEventsThenVariablesThenGlobals) {
    Fixture f;
    f.report.Variables.Set("Page", "'variável'");
    f.report.Variables.Set("Cor", "'da variável'");
    frxGlobalVariables().Set("Cor", "global");
    frxGlobalVariables().Set("SoGlobal", "'sem avaliar'");
    EXPECT_EQ(f.report.Calc("Page").toInt(), 0) << "a system variable wins over a report variable";
    EXPECT_EQ(f.report.Calc("Cor").toString(), QString::fromUtf8("da variável"));
    EXPECT_EQ(f.report.Calc("SoGlobal").toString(), "'sem avaliar'") << "globals are taken as they are";
    f.report.OnGetValue = [](const QString &name, QVariant &v) {
        if (name == "Cor") v = "do evento";
    };
    EXPECT_EQ(f.report.Calc("Cor").toString(), "do evento");
    EXPECT_EQ(f.report.Calc("frxDBListagem.\"CST\"").toString(), "000") << "fields come before events";
    frxGlobalVariables().Clear();
}

TEST(ValueResolution, DatasetFieldReferencesInAnyLetterCase) {
    Fixture f;
    for (const char *ref : {"frxDBListagem.\"CST\"", "FRXDBLISTAGEM.\"cst\"", "frxdblistagem.\"Cst\""})
        EXPECT_EQ(f.report.Calc(ref).toString(), "000") << ref;
    EXPECT_EQ(f.Print("[frxDBListagem.\"PRODUTO\"] ([frxDBListagem.\"QUANTIDADE\"])"), "ARROZ 5KG (3)\r\n");
}

TEST(ValueResolution, ADatasetNotInTheReportsListIsNotAFieldReference) {
    Fixture f;
    TfrxDBDataset elsewhere;
    elsewhere.SetName("frxDBOutro");
    MemoryCursor q = Listing();
    elsewhere.SetDataSet(&q);
    try {
        f.report.Calc("frxDBOutro.\"CST\"");
        FAIL();
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(QString::fromUtf8("Identificador não declarado: 'frxDBOutro'"))) << e.what();
    }
    EXPECT_EQ(q.opens, 0);
}

TEST(ValueResolution, NullFieldsPrintEmptyAndConvertByTypeThroughExpressions) {
    Fixture f;
    f.ds.First();
    f.ds.Next();  // the row with nulls
    f.memo->SetDataSet(&f.ds);
    f.memo->DataField = "CST";
    f.memo->SetText("ignored [1+1]");
    f.memo->EvaluateData();
    EXPECT_EQ(f.memo->Text(), "") << "a data-bound memo prints the field's display text";
    f.memo->SetDataSet(nullptr);
    f.memo->DataField.clear();

    const QVariant s = f.report.Calc("frxDBListagem.\"CST\"");
    const QVariant n = f.report.Calc("frxDBListagem.\"QUANTIDADE\"");
    const QVariant b = f.report.Calc("frxDBListagem.\"ATIVO\"");
    EXPECT_EQ(s.typeId(), QMetaType::QString);
    EXPECT_EQ(s.toString(), "");
    EXPECT_EQ(n.toInt(), 0);
    EXPECT_FALSE(n.isNull());
    EXPECT_EQ(b.typeId(), QMetaType::Bool);
    EXPECT_FALSE(b.toBool());
    EXPECT_EQ(f.Print("[frxDBListagem.\"QUANTIDADE\"]"), "0\r\n");

    f.report.EngineOptions.ConvertNulls = false;
    EXPECT_TRUE(f.report.Calc("frxDBListagem.\"QUANTIDADE\"").isNull());
    EXPECT_EQ(f.Print("<[frxDBListagem.\"QUANTIDADE\"]>"), "<>\r\n");
}

TEST(DBDataset, LifecycleOpensOnFirstAccessAndLeavesTheQueryAsTheProgramWants) {
    for (bool closeDataSource : {false, true}) {
        Fixture f;
        f.ds.CloseDataSource = closeDataSource;
        f.ds.BeginRun();
        EXPECT_EQ(f.ds.CurrentState(), TfrxDBDataset::Initialised);
        EXPECT_EQ(f.query.opens, 0) << "BeginRun does not open";
        EXPECT_FALSE(f.ds.Eof());  // first access
        EXPECT_EQ(f.query.opens, 1);
        EXPECT_EQ(f.ds.CurrentState(), TfrxDBDataset::Opened);
        int rows = 0;
        for (f.ds.First(); !f.ds.Eof(); f.ds.Next()) ++rows;
        EXPECT_EQ(rows, 5);
        EXPECT_EQ(f.ds.RecNo, 5);
        f.ds.Prior();
        EXPECT_EQ(f.ds.Value("PRODUTO").toString(), QString::fromUtf8("CAFÉ"));
        f.ds.EndRun();
        EXPECT_EQ(f.ds.CurrentState(), TfrxDBDataset::Idle);
        EXPECT_EQ(f.query.Active(), !closeDataSource);
        if (!closeDataSource) EXPECT_EQ(f.query.position(), 4) << "stays at its last record";
        EXPECT_FALSE(f.query.AfterOpen) << "the handlers found are put back";
        EXPECT_FALSE(f.query.BeforeClose);
    }
}

TEST(DBDataset, AlreadyOpenQueryIsNotReopenedAndKeepsItsRows) {
    Fixture f;
    f.query.Open();
    f.query.Next();
    f.ds.BeginRun();
    EXPECT_EQ(f.ds.Value("PRODUTO").toString(), QString::fromUtf8("FEIJÃO 1KG"));
    EXPECT_EQ(f.query.opens, 1);
    f.ds.EndRun();
}

TEST(DBDataset, NotificationsChainToTheProgramsHandlersAndAReopenIsPickedUp) {
    Fixture f;
    int programOpens = 0, programCloses = 0;
    f.query.AfterOpen = [&] { ++programOpens; };
    f.query.BeforeClose = [&] { ++programCloses; };
    f.ds.BeginRun();
    f.ds.First();
    EXPECT_EQ(programOpens, 1);
    f.query.Close();  // the program closes and changes its query mid-run
    EXPECT_EQ(programCloses, 1);
    EXPECT_EQ(f.ds.CurrentState(), TfrxDBDataset::Initialised);
    f.query.fields.push_back({"CEST", cfkString, 7});
    for (auto &row : f.query.rows) row.push_back("1234567");
    EXPECT_EQ(f.ds.Value("CEST").toString(), "1234567") << "field table rebuilt after the reopen";
    EXPECT_EQ(programOpens, 2);
    f.ds.EndRun();
    f.query.Close();
    EXPECT_EQ(programCloses, 2) << "the program's handler is back in place";
}

TEST(DBDataset, RangeEndCountStopsAfterExactlyThatManyRecords) {
    for (int limit : {1, 3, 5}) {
        Fixture f;
        f.ds.RangeEnd = reCount;
        f.ds.RangeEndCount = limit;
        f.ds.BeginRun();
        QStringList seen;
        for (f.ds.First(); !f.ds.Eof(); f.ds.Next()) seen << f.ds.Value("PRODUTO").toString();
        EXPECT_EQ(seen.size(), limit);
        EXPECT_EQ(f.ds.RecNo, limit - 1);
        f.ds.EndRun();
    }
}

TEST(DBDataset, RangeFromTheCurrentRecordToTheCurrentRecord) {
    Fixture f;
    f.query.Open();
    f.query.Next();
    f.query.Next();
    f.ds.RangeBegin = rbCurrent;
    f.ds.RangeEnd = reCurrent;
    f.ds.BeginRun();
    int rows = 0;
    for (f.ds.First(); !f.ds.Eof(); f.ds.Next()) ++rows;
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(f.query.position(), 2);
    f.ds.EndRun();
}

TEST(DBDataset, UnknownFieldsAreCollectedOnceAndTheRunGoesOn) {
    Fixture f;
    f.report.CurObject = "Memo1";
    f.report.BeginDataSets();
    EXPECT_TRUE(f.ds.Value("XYZ").isNull());
    EXPECT_TRUE(f.ds.Value("XYZ").isNull());
    EXPECT_EQ(f.ds.DisplayText("ABC"), QString::fromUtf8("Campo não encontrado: frxDBListagem.\"ABC\""));
    EXPECT_EQ(f.report.Errors(), (QStringList{QString::fromUtf8("Memo1: Campo não encontrado: frxDBListagem.\"ABC\""),
                                              QString::fromUtf8("Memo1: Campo não encontrado: frxDBListagem.\"XYZ\"")}));
    f.report.EndDataSets();
}

TEST(DBDataset, ErrorsOfTheRunHaveTheirExactTexts) {
    Fixture f;
    f.ds.SetDataSet(nullptr);
    try {
        f.ds.BeginRun();
        FAIL();
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), QString::fromUtf8("DataSet frxDBListagem não está conectado a dados"));
    }
    f.report.DataSets.AddName("frxDBSumiu");
    EXPECT_FALSE(f.report.CheckDataSets());
    EXPECT_EQ(f.report.Errors(), QStringList{QString::fromUtf8("Dataset \"frxDBSumiu\" não existe")});
    try {
        f.ds.SetUserName("  ");
        FAIL();
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), "prInvProp");
    }
    EXPECT_EQ(f.ds.UserName(), "frxDBListagem");
}

TEST(DBDataset, DisplayTextBeforeAQueryAndFieldAliases) {
    Fixture f;
    TfrxDBDataset bare;
    bare.SetName("frxDBSemConsulta");
    EXPECT_EQ(bare.DisplayText("CST"), "frxDBSemConsulta.\"CST\"");
    f.ds.FieldAliases = QStringList{"CST=Codigo", "-PRODUTO=Produto", "DESC_ERRO=Regra"};
    f.ds.BeginRun();
    EXPECT_EQ(f.ds.GetFieldList(), (QStringList{"Codigo", "Regra"}));
    EXPECT_EQ(f.ds.Value("codigo").toString(), "000");
    EXPECT_TRUE(f.ds.Value("CST").isNull()) << "with aliases only the aliases are field names";
    EXPECT_EQ(f.ds.FieldType("Codigo"), fftString);
    EXPECT_EQ(f.ds.DisplayWidth("Regra"), 80);
    f.ds.EndRun();
    EXPECT_EQ(f.ds.FieldType("QUANTIDADE"), fftNumeric);
    EXPECT_EQ(f.ds.FieldType("ATIVO"), fftBoolean);
    EXPECT_EQ(f.ds.FieldType("nada"), fftNumeric);
    EXPECT_EQ(f.ds.DisplayWidth("nada"), 10);
}

TEST(DBDataset, ADatasetGoingAwayIsForgottenByTheReport) {
    TfrxReport report;
    auto *page = new TfrxReportPage(&report);
    auto *band = new TfrxMasterData(page);
    {
        TfrxDBDataset ds;
        ds.SetName("frxTemp");
        report.DataSets.Add(&ds);
        band->SetDataSet(&ds);
        EXPECT_EQ(report.GetDataset("FRXTEMP"), &ds);
    }
    EXPECT_EQ(report.GetDataset("frxTemp"), nullptr);
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_FALSE(report.CheckDataSets());
}

TEST(UserDataSet, VirtualRowsOfABandWithRowCount) {
    TfrxUserDataSet rows;
    rows.RangeEnd = reCount;
    rows.RangeEndCount = 4;
    int n = 0;
    for (rows.First(); !rows.Eof(); rows.Next()) ++n;
    EXPECT_EQ(n, 4);
}

struct Engine : TfrxCustomEngine {};
struct Pages : TfrxCustomPreviewPages {
    int count = 3, cur = 1, logical = 2, total = 0;
    int Count() const override { return count; }
    int CurPage() const override { return cur; }
    int LogicalPageNumber() const override { return logical; }
    int LogicalTotalPages() const override { return total; }
};

TEST(SystemVariables, ValuesComeFromTheRunningEngineAndThePages) {
    Fixture f;
    Engine engine;
    Pages pages;
    engine.StartDate = QDate(2026, 12, 11);
    engine.StartTime = QTime(9, 30);
    engine.CurLine = 4;
    engine.CurLineThrough = 17;
    f.report.Engine = &engine;
    f.report.PreviewPages = &pages;
    frxGlobalVariables().Set("CopyName0", "Via do cliente");
    EXPECT_EQ(f.report.Calc("Page").toInt(), 2);
    EXPECT_EQ(f.report.Calc("PAGE#").toInt(), 2);
    EXPECT_EQ(f.report.Calc("TotalPages").toInt(), 0);
    EXPECT_EQ(f.report.Calc("TotalPages#").toInt(), 0);
    EXPECT_EQ(f.report.Calc("Line").toInt(), 4);
    EXPECT_EQ(f.report.Calc("line#").toInt(), 17);
    EXPECT_EQ(f.report.Calc("Date").toDate(), QDate(2026, 12, 11));
    EXPECT_EQ(f.report.Calc("Time").toTime(), QTime(9, 30));
    EXPECT_EQ(f.report.Calc("CopyName#").toString(), "Via do cliente");
    EXPECT_EQ(f.Print("[Page]/[TotalPages#]"), "2/[TotalPages#]\r\n");
    frxGlobalVariables().Clear();
}

}  // namespace
