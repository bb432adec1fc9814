// The definition of the inconsistency report: every page, band and object value, the report's
// own settings, the datasets and variables, and the PDF export settings.
#include "engine/bands.h"
#include "engine/pages.h"
#include "engine/resources.h"
#include "engine/views.h"
#include "report/listagem.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QString numero(double v)
{
    return QString::number(v, 'f', 5);
}

QString fonte(const TfrxComponent *c)
{
    if (c->ParentFont())
        return QStringLiteral("fonte da faixa");
    const TfrxFont &f = c->Font();
    return QStringLiteral("%1 %2%3 cor=%4 charset=%5")
        .arg(f.Name)
        .arg(f.Height())
        .arg(f.Style & fsBold ? QStringLiteral(" negrito") : QString())
        .arg(f.Color)
        .arg(f.Charset);
}

QString borda(const TfrxView *v)
{
    return QStringLiteral("borda=%1 estilo=%2").arg(v->Frame.Typ).arg(int(v->Frame.Style()));
}

// One line per object, in stored order, with every value the definition sets.
QString descrever(const TfrxComponent *c, int nivel)
{
    QString linha = QString(nivel * 2, QLatin1Char(' ')) + c->ClassName() + QLatin1Char(' ') + c->Name();
    linha += QStringLiteral(" l=%1 t=%2 w=%3 h=%4")
                 .arg(numero(c->Left()), numero(c->Top()), numero(c->Width()), numero(c->Height()));
    if (auto *v = dynamic_cast<const TfrxView *>(c))
        linha += QStringLiteral(" dica=%1").arg(v->ShowHint ? 1 : 0);
    if (auto *m = dynamic_cast<const TfrxCustomMemoView *>(c)) {
        linha += QStringLiteral(" texto=[%1] %2 alinhamento=%3 %4")
                     .arg(m->Memo.join(QStringLiteral("|")), fonte(c))
                     .arg(int(m->HAlign))
                     .arg(borda(m));
        if (m->DataSet())
            linha += QStringLiteral(" dados=%1.%2").arg(m->DataSetName(), m->DataField);
        if (m->VAlign != vaTop || !m->WordWrap || m->StretchMode != smDontStretch || m->AutoWidth
            || m->DisplayFormat.Kind != fkText)
            linha += QStringLiteral(" FORA DO PADRÃO");
    } else if (auto *s = dynamic_cast<const TfrxShapeView *>(c)) {
        linha += QStringLiteral(" cor=%1 forma=%2 %3").arg(s->Color, 0, 16).arg(int(s->Shape)).arg(borda(s));
    } else if (auto *l = dynamic_cast<const TfrxLineView *>(c)) {
        linha += QLatin1Char(' ') + borda(l);
    } else if (auto *d = dynamic_cast<const TfrxDataBand *>(c)) {
        linha += QStringLiteral(" dados=%1 linhas=%2").arg(d->DataSetName()).arg(d->RowCount);
    } else if (auto *g = dynamic_cast<const TfrxGroupHeader *>(c)) {
        linha += QStringLiteral(" condicao=%1").arg(g->Condition);
    } else if (auto *p = dynamic_cast<const TfrxReportPage *>(c)) {
        linha += QStringLiteral(" orientacao=%1 papel=%2x%3 tamanho=%4 margens=%5,%6,%7,%8 moldura=%9/%10")
                     .arg(int(p->Orientation()))
                     .arg(p->PaperWidth())
                     .arg(p->PaperHeight())
                     .arg(p->PaperSize())
                     .arg(p->LeftMargin)
                     .arg(p->RightMargin)
                     .arg(p->TopMargin)
                     .arg(p->BottomMargin)
                     .arg(int(p->Frame().Style()))
                     .arg(p->Frame().Typ);
    }
    QString saida = linha + QLatin1Char('\n');
    for (const TfrxComponent *filho : c->Objects())
        saida += descrever(filho, nivel + 1);
    return saida;
}

QString lerArquivo(const QString &caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("(sem o arquivo %1)").arg(caminho);
    return QString::fromUtf8(f.readAll());
}

const QString kGolden = QStringLiteral(QUELVORA_FONTE "/tests/report/dados/definicao_listagem.txt");

}  // namespace

TEST(Listagem, EveryPageBandAndObjectAsDefined)
{
    TRelatorioListagem r;
    QString texto;
    for (const TfrxComponent *pagina : r.frxListagem.Objects())
        texto += descrever(pagina, 0);
    if (qEnvironmentVariableIsSet("QUELVORA_GRAVAR_GOLDEN")) {
        QFile f(kGolden);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(texto.toUtf8());
    }
    EXPECT_EQ(texto.toStdString(), lerArquivo(kGolden).toStdString());
}

TEST(Listagem, ReportDatasetsAndVariables)
{
    TRelatorioListagem r;
    const TfrxReport &rep = r.frxListagem;
    EXPECT_EQ(rep.Name(), QStringLiteral("frxListagem"));
    EXPECT_EQ(rep.Version, QStringLiteral("4.9.72"));
    EXPECT_FALSE(rep.DotMatrixReport);
    EXPECT_TRUE(rep.IniFile.startsWith(QStringLiteral("\\Software\\")));
    EXPECT_EQ(rep.PreviewOptions.Buttons, quint32(pbPrint | pbLoad | pbSave | pbExport | pbZoom | pbFind
                                                  | pbOutline | pbPageSetup | pbTools | pbEdit
                                                  | pbNavigator | pbExportQuick));
    EXPECT_EQ(rep.PreviewOptions.Zoom, 1);
    EXPECT_EQ(rep.PrintOptions.Printer, QStringLiteral("Padrão"));
    EXPECT_EQ(rep.PrintOptions.PrintOnSheet, 0);
    EXPECT_DOUBLE_EQ(rep.ReportOptions.CreateDate, 44022.3986673843);
    EXPECT_DOUBLE_EQ(rep.ReportOptions.LastChange, 44032.8336058912);
    EXPECT_EQ(rep.ScriptLanguage, QStringLiteral("PascalScript"));
    EXPECT_EQ(rep.ScriptText, (QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")}));

    ASSERT_EQ(rep.DataSets.Count(), 2);
    EXPECT_EQ(rep.DataSets.Items(0).DataSet, &r.frxDBContaOcorrencias);
    EXPECT_EQ(rep.DataSets.Items(0).DataSetName(), QStringLiteral("frxDBContaOcorrencias"));
    EXPECT_EQ(rep.DataSets.Items(1).DataSet, &r.frxDBListagem);
    EXPECT_EQ(rep.DataSets.Items(1).DataSetName(), QStringLiteral("frxDBListagem"));
    for (const TfrxDBDataset *ds : {&r.frxDBListagem, &r.frxDBContaOcorrencias}) {
        EXPECT_EQ(ds->UserName(), ds->Name());
        EXPECT_FALSE(ds->CloseDataSource);
        EXPECT_FALSE(ds->BCDToCurrency);
    }

    ASSERT_EQ(rep.Variables.Count(), 2);
    EXPECT_EQ(rep.Variables.Items(0).Name, QStringLiteral(" Cabeçalho"));
    EXPECT_TRUE(rep.Variables.Items(0).Value.isNull());
    EXPECT_EQ(rep.Variables.Items(1).Name, QStringLiteral("FILIAL"));
    EXPECT_TRUE(rep.Variables.Items(1).Value.isNull());

    // The pages: the data page first, then the one landscape page whose printable width is the
    // width of every band.
    ASSERT_EQ(rep.Objects().size(), 2u);
    EXPECT_EQ(rep.Objects()[0]->ClassName(), QStringLiteral("TfrxDataPage"));
    auto *page = dynamic_cast<TfrxReportPage *>(rep.Objects()[1]);
    ASSERT_NE(page, nullptr);
    EXPECT_NEAR(page->PrintableWidth(), 1209.4496, 1e-9);
    EXPECT_NEAR(page->PrintableHeight(), 831.4966, 1e-9);
    for (TfrxComponent *c : page->Objects())
        if (dynamic_cast<TfrxBand *>(c))
            EXPECT_NEAR(c->Width(), page->PrintableWidth(), 1e-9) << c->Name().toStdString();
}

// Each column heading stands over the data memo of its field: catches a mistyped Left.
TEST(Listagem, HeadingsStandOverTheirColumns)
{
    TRelatorioListagem r;
    const struct {
        const char *cabecalho, *dado;
    } colunas[] = {
        {"Memo4", "frxDBListagemPRODUTO"},   {"Memo19", "frxDBListagemGRUPO"},
        {"Memo20", "Memo21"},                {"Memo5", "frxDBListagemCST"},
        {"Memo6", "frxDBListagemCST_REG01"}, {"Memo7", "frxDBListagemCST_REG02"},
        {"Memo17", "frxDBListagemCST_REG03"}, {"Memo8", "frxDBListagemCSOSN"},
        {"Memo9", "frxDBListagemBASEICMS"},  {"Memo10", "frxDBListagemALIQICMS"},
        {"Memo11", "frxDBListagemALIQECF"},  {"Memo12", "frxDBListagemCEST"},
        {"Memo14", "frxDBListagemSTENTRADA"}, {"Memo15", "frxDBListagemSTSAIDA"},
        {"Memo16", "frxDBListagemCODNCM"},
    };
    for (const auto &c : colunas) {
        TfrxComponent *h = r.frxListagem.FindObject(QString::fromLatin1(c.cabecalho));
        TfrxComponent *d = r.frxListagem.FindObject(QString::fromLatin1(c.dado));
        ASSERT_TRUE(h && d) << c.cabecalho;
        const double centroH = h->Left() + h->Width() / 2, centroD = d->Left() + d->Width() / 2;
        EXPECT_LT(std::abs(centroH - centroD), 12) << c.cabecalho << " over " << c.dado;
        // The data memo reads the field its name and text give.
        auto *m = dynamic_cast<TfrxCustomMemoView *>(d);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->Text().trimmed(), QStringLiteral("[frxDBListagem.\"%1\"]").arg(m->DataField));
        EXPECT_EQ(m->DataSet(), &r.frxDBListagem);
    }
}

TEST(Listagem, PdfExportSettings)
{
    const TConfiguracaoExportarPDF pdf = TRelatorioListagem().ExportarPDF;
    EXPECT_TRUE(pdf.UseFileCache);
    EXPECT_TRUE(pdf.ShowProgress);
    EXPECT_FALSE(pdf.OverwritePrompt);
    EXPECT_FALSE(pdf.PrintOptimized);
    EXPECT_FALSE(pdf.Outline);
    EXPECT_FALSE(pdf.Background);
    EXPECT_TRUE(pdf.HTMLTags);
    EXPECT_FALSE(pdf.Author.isEmpty());
    EXPECT_TRUE(pdf.Subject.endsWith(QStringLiteral(" PDF export")));
    EXPECT_TRUE(pdf.Subject.startsWith(pdf.Author));
    EXPECT_TRUE(pdf.ePrint && pdf.eModify && pdf.eCopy && pdf.eAnnot);
    EXPECT_FALSE(pdf.HideToolbar || pdf.HideMenubar || pdf.HideWindowUI || pdf.FitWindow
                 || pdf.CenterWindow || pdf.PrintScaling);
}

TEST(Listagem, BranchNameAsTextLiteral)
{
    EXPECT_EQ(NomeFilialComoExpressao(QStringLiteral("MATRIZ SÃO PAULO")), QStringLiteral("'MATRIZ SÃO PAULO'"));
    EXPECT_EQ(NomeFilialComoExpressao(QStringLiteral("PÃO D'ÁGUA")), QStringLiteral("'PÃO D''ÁGUA'"));
    EXPECT_EQ(NomeFilialComoExpressao(QString()), QStringLiteral("''"));
}
