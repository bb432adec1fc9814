// A report dataset over a real query of an embedded Firebird database made for the test: the
// lifecycle of a run as the program drives it.
#include "qt_printers.h"

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "platform/firebird/CursorConsulta.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DatasetOverFirebird : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        params.banco = dir.filePath("listagem.fdb");
        firebird::Conexao writer;
        writer.criarBanco(params);
        writer.executar("create table listagem (desc_erro varchar(80), produto varchar(60), cst char(3), "
                        "quantidade integer, codempresa integer)");
        auto batch = writer.iniciarLote("insert into listagem values (?, ?, ?, ?, ?)");
        batch->inserir({QString::fromUtf8("CST inválido"), "ARROZ 5KG", "000", "3", "1"});
        batch->inserir({QString::fromUtf8("CST inválido"), QString::fromUtf8("FEIJÃO 1KG"), QString(), QString(), "1"});
        batch->inserir({"NCM vazio", QString::fromUtf8("AÇÚCAR"), "060", "7", "1"});
        batch->inserir({"NCM vazio", "SAL", "040", "1", "2"});
        batch->confirmar();
        writer.fechar();
        params.somenteLeitura = true;
        connection.abrir(params);
        query.setConexao(&connection);

        listagem.SetName("frxDBListagem");
        listagem.SetDataSet(&cursor);
        report.DataSets.Add(&listagem);
        page->SetName("Page1");
        band->SetName("MasterData1");
        band->SetDataSet(&listagem);
        memo->SetName("frxDBListagemPRODUTO");
    }

    QString Print(const QString &text) {
        memo->SetText(text);
        memo->EvaluateData();
        return memo->Text().chopped(memo->Text().endsWith("\r\n") ? 2 : 0);
    }

    QTemporaryDir dir;
    firebird::ParametrosConexao params;
    firebird::Conexao connection;
    firebird::Consulta query{"select desc_erro, produto, cst, quantidade from listagem "
                             "where codempresa = :pCODEMPRESA order by desc_erro, produto"};
    firebird::CursorConsulta cursor{query};
    TfrxDBDataset listagem;
    TfrxReport report;
    TfrxReportPage *page = new TfrxReportPage(&report);
    TfrxMasterData *band = new TfrxMasterData(page);
    TfrxMemoView *memo = new TfrxMemoView(band);
};

TEST_F(DatasetOverFirebird, AQueryTheProgramOpenedIsReadAsItStandsAndLeftOpenAtItsLastRecord) {
    query.setParametro("pCODEMPRESA", "1");
    query.abrir();
    report.BeginDataSets();
    EXPECT_TRUE(query.aberta());
    QStringList printed;
    for (listagem.First(); !listagem.Eof(); listagem.Next())
        printed << Print("[frxDBListagem.\"PRODUTO\"] ([frxDBListagem.\"CST\"]/[frxDBListagem.\"QUANTIDADE\"])");
    EXPECT_EQ(printed, (QStringList{QString::fromUtf8("ARROZ 5KG (000/3)"), QString::fromUtf8("FEIJÃO 1KG (/0)"),
                                    QString::fromUtf8("AÇÚCAR (060/7)")}));
    EXPECT_EQ(listagem.RecordCount(), 3);
    listagem.Prior();
    report.EndDataSets();
    EXPECT_TRUE(query.aberta()) << "CloseDataSource is False";
    EXPECT_EQ(query.texto("PRODUTO"), QString::fromUtf8("AÇÚCAR"));
    EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join('\n').toStdString();
}

TEST_F(DatasetOverFirebird, AClosedQueryIsOpenedOnFirstAccessAndClosedWhenAsked) {
    query.setParametro("pCODEMPRESA", "2");
    listagem.CloseDataSource = true;
    report.BeginDataSets();
    EXPECT_FALSE(query.aberta()) << "the run's start does not open";
    EXPECT_EQ(listagem.CurrentState(), TfrxDBDataset::Initialised);
    EXPECT_EQ(listagem.Value("produto").toString(), "SAL");
    EXPECT_TRUE(query.aberta());
    EXPECT_EQ(listagem.CurrentState(), TfrxDBDataset::Opened);
    EXPECT_EQ(listagem.GetFieldList(), (QStringList{"DESC_ERRO", "PRODUTO", "CST", "QUANTIDADE"}));
    report.EndDataSets();
    EXPECT_FALSE(query.aberta());
    EXPECT_EQ(listagem.CurrentState(), TfrxDBDataset::Idle);
}

TEST_F(DatasetOverFirebird, NullsPrintEmptyInADataBoundMemoAndByTypeThroughExpressions) {
    query.setParametro("pCODEMPRESA", "1");
    query.abrir();
    report.BeginDataSets();
    listagem.First();
    listagem.Next();  // FEIJÃO: CST and QUANTIDADE are NULL
    memo->SetDataSet(&listagem);
    memo->DataField = "CST";
    EXPECT_EQ(Print("[1]"), "");
    memo->SetDataSet(nullptr);
    memo->DataField.clear();
    const QVariant cst = report.Calc("frxDBListagem.\"CST\"");
    const QVariant qtd = report.Calc("frxDBListagem.\"QUANTIDADE\"");
    EXPECT_EQ(cst.typeId(), QMetaType::QString);
    EXPECT_TRUE(cst.toString().isEmpty());
    EXPECT_EQ(qtd.toInt(), 0);
    EXPECT_FALSE(qtd.isNull());
    report.EndDataSets();
}

TEST_F(DatasetOverFirebird, TheProgramReopeningItsQueryWithAnotherBranchIsPickedUp) {
    query.setParametro("pCODEMPRESA", "1");
    query.abrir();
    report.BeginDataSets();
    listagem.First();
    EXPECT_EQ(listagem.Value("PRODUTO").toString(), "ARROZ 5KG");
    cursor.Close();  // what the program does before binding another branch
    query.setParametro("pCODEMPRESA", "2");
    EXPECT_EQ(listagem.CurrentState(), TfrxDBDataset::Initialised);
    listagem.First();
    EXPECT_EQ(listagem.Value("PRODUTO").toString(), "SAL");
    EXPECT_EQ(listagem.RecordCount(), 1);
    report.EndDataSets();
}

TEST_F(DatasetOverFirebird, AnUnknownFieldIsCollectedAndTheRunGoesOn) {
    query.setParametro("pCODEMPRESA", "1");
    report.BeginDataSets();
    report.CurObject = "frxDBListagemPRODUTO";
    EXPECT_TRUE(listagem.Value("CODNCM").isNull());
    EXPECT_EQ(Print("[frxDBListagem.\"PRODUTO\"]"), "ARROZ 5KG");
    EXPECT_EQ(report.Errors(),
              QStringList{QString::fromUtf8("frxDBListagemPRODUTO: Campo não encontrado: frxDBListagem.\"CODNCM\"")});
    report.EndDataSets();
}

}  // namespace
