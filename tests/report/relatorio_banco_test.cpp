// The inconsistency report prepared from a real embedded ERP database, read back from the
// prepared pages as one line per placed band and memo.
#include "checks/catalogo.h"
#include "engine/bands.h"
#include "engine/pages.h"
#include "engine/report_prepare.h"
#include "engine/views.h"
#include "platform/firebird/CursorConsulta.h"
#include "report/listagem.h"
#include "tests/fixtures/BancoTemporario.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

using verificacoes::Variante;

// Steps of the report command: branch name, the variant's two queries under the datasets,
// "FILIAL" as a text literal, prepare.
struct Preparacao {
    Preparacao(fixtures::BancoTemporario &banco, const QString &filial, Variante variante = Variante::TodosProdutos)
        : listagem(verificacoes::sqlConsulta(verificacoes::nomeListagem(variante))),
          contagem(verificacoes::sqlConsulta(verificacoes::nomeContaOcorrencias(variante))),
          filialSelecionada(verificacoes::sqlConsulta(QStringLiteral("qryFilialSelecionada"))),
          cursorListagem(listagem), cursorContagem(contagem)
    {
        conexao.abrir(banco.parametrosLeitura());
        for (firebird::Consulta *q : {&listagem, &contagem, &filialSelecionada})
            q->setConexao(&conexao);
        filialSelecionada.setParametro(verificacoes::parametroFilialSelecionada, filial);
        filialSelecionada.abrir();
        r.frxDBListagem.SetDataSet(&cursorListagem);
        r.frxDBContaOcorrencias.SetDataSet(&cursorContagem);
        for (firebird::Consulta *q : {&listagem, &contagem}) {
            q->fechar();
            q->setParametro(verificacoes::parametroFilial, filial);
            q->abrir();
        }
        const QString nome = filialSelecionada.fim() ? QString() : filialSelecionada.texto(QStringLiteral("nomeempresa"));
        r.frxListagem.Variables.Set(QStringLiteral("FILIAL"), NomeFilialComoExpressao(nome));
        r.frxListagem.EngineOptions.NewSilentMode = simSilent;
        ok = frxPrepareReport(&r.frxListagem, true);
    }

    // "page band top" per band and "  memo text" per memo with text, the page-count marker put in.
    QStringList dump()
    {
        QStringList out;
        for (int i = 0; i < r.Paginas.Count(); ++i) {
            for (TfrxComponent *c : r.Paginas.GetPage(i)->Objects()) {
                out << QStringLiteral("%1 %2 %3").arg(i + 1).arg(c->Name().isEmpty() ? c->ClassName() : c->Name())
                           .arg(c->Top(), 0, 'f', 5);
                for (TfrxComponent *v : c->Objects())
                    if (auto *m = dynamic_cast<TfrxCustomMemoView *>(v); m && !m->Memo.isEmpty()) {
                        m->TotalPages = r.Paginas.Count();
                        m->ApplyDeferredMacros();
                        const QString texto = m->Text().trimmed();
                        if (!texto.isEmpty())
                            out << QStringLiteral("  %1 %2").arg(m->Name(), texto);
                    }
            }
        }
        return out;
    }
    QStringList bandas(int pagina)
    {
        QStringList out;
        for (TfrxComponent *c : r.Paginas.GetPage(pagina)->Objects())
            out << (c->Name().isEmpty() ? c->ClassName() : c->Name());
        return out;
    }

    firebird::Conexao conexao;
    firebird::Consulta listagem, contagem, filialSelecionada;
    firebird::CursorConsulta cursorListagem, cursorContagem;
    TRelatorioListagem r;
    bool ok = false;
};

// Products 1..n whose regime-1 base is 150%: one rule ("BASE MAIOR QUE 100%") each.
void inserirBaseMaior(fixtures::BancoTemporario &banco, int primeiro, int n)
{
    std::vector<fixtures::Linha> linhas;
    for (int i = primeiro; i < primeiro + n; ++i) {
        fixtures::Linha l = fixtures::BancoTemporario::produtoSemInconsistencia(i);
        l[QStringLiteral("baseicmsreg01")] = QStringLiteral("150");
        linhas.push_back(l);
    }
    banco.inserir(QStringLiteral("produto"), linhas);
}

QString lerArquivo(const QString &caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("(sem %1)").arg(caminho);
}

}  // namespace

TEST(RelatorioBanco, OneRuleOverThreePages)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    inserirBaseMaior(banco, 1, 40);
    Preparacao p(banco, QStringLiteral("1"));
    ASSERT_TRUE(p.ok) << p.r.frxListagem.Errors().join('\n').toStdString();
    ASSERT_EQ(p.r.Paginas.Count(), 3);

    // First page: title, the page-level rule (carrier), the heading, 14 rows, the footer.
    QStringList primeira{QStringLiteral("ReportTitle1"), QStringLiteral("TfrxNullBand"), QStringLiteral("GroupHeader1")};
    for (int i = 0; i < 14; ++i)
        primeira << QStringLiteral("MasterData1");
    primeira << QStringLiteral("PageFooter1");
    EXPECT_EQ(p.bandas(0), primeira);
    // Then 17 rows from the top, no heading again; the last page ends the listing and shows
    // the count heading and the one count row.
    QStringList segunda;
    for (int i = 0; i < 17; ++i)
        segunda << QStringLiteral("MasterData1");
    segunda << QStringLiteral("PageFooter1");
    EXPECT_EQ(p.bandas(1), segunda);
    QStringList terceira;
    for (int i = 0; i < 9; ++i)
        terceira << QStringLiteral("MasterData1");
    terceira << QStringLiteral("Header1") << QStringLiteral("MasterData2") << QStringLiteral("PageFooter1");
    EXPECT_EQ(p.bandas(2), terceira);

    const QStringList d = p.dump();
    EXPECT_TRUE(d.contains(QStringLiteral("1 GroupHeader1 52.91342")));
    EXPECT_TRUE(d.contains(QStringLiteral("1 MasterData1 141.06308")));
    EXPECT_TRUE(d.contains(QStringLiteral("1 PageFooter1 808.81942")));
    EXPECT_TRUE(d.contains(QStringLiteral("2 MasterData1 0.00000")));
    EXPECT_EQ(d.filter(QStringLiteral("  Page ")),
              (QStringList{QStringLiteral("  Page 1/3"), QStringLiteral("  Page 2/3"), QStringLiteral("  Page 3/3")}));
    EXPECT_TRUE(d.contains(QStringLiteral("  FILIAL MATRIZ SÃO PAULO")));
    EXPECT_TRUE(d.contains(QStringLiteral("  frxDBContaOcorrenciasQUANTIDADE 40")));

    // The line that lies on the page itself: once, on the first page, at its design place.
    TfrxComponent *regua = p.r.Paginas.GetPage(0)->FindObject(QStringLiteral("Line29"));
    ASSERT_NE(regua, nullptr);
    EXPECT_NEAR(regua->AbsTop() - regua->Parent()->AbsTop(), 308.92146, 1e-4);
    EXPECT_EQ(p.r.Paginas.GetPage(1)->FindObject(QStringLiteral("Line29")), nullptr);
}

// A small report as golden text: two rules with their headings and rows, the counts and the
// footer, every memo's printed text.
TEST(RelatorioBanco, TwoRulesGolden)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    inserirBaseMaior(banco, 1, 2);
    banco.inserir(QStringLiteral("clasfisc"), {QStringLiteral("codclasfis"), QStringLiteral("codigoncm")},
                  {{QStringLiteral("2"), QString()}});
    fixtures::Linha semNcm = fixtures::BancoTemporario::produtoSemInconsistencia(3);
    semNcm[QStringLiteral("codclasfis")] = QStringLiteral("2");
    banco.inserir(QStringLiteral("produto"), {semNcm});

    Preparacao p(banco, QStringLiteral("1"));
    ASSERT_TRUE(p.ok) << p.r.frxListagem.Errors().join('\n').toStdString();
    const QString texto = p.dump().join(QLatin1Char('\n')) + QLatin1Char('\n');
    const QString golden = QStringLiteral(QUELVORA_FONTE "/tests/report/dados/duas_regras.txt");
    if (qEnvironmentVariableIsSet("QUELVORA_GRAVAR_GOLDEN")) {
        QFile f(golden);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(texto.toUtf8());
    }
    EXPECT_EQ(texto.toStdString(), lerArquivo(golden).toStdString());
}

TEST(RelatorioBanco, EmptyListingHasNoHeadingsAndNoCountHeading)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    banco.inserir(QStringLiteral("produto"), {fixtures::BancoTemporario::produtoSemInconsistencia(1)});
    Preparacao p(banco, QStringLiteral("1"));
    ASSERT_TRUE(p.ok) << p.r.frxListagem.Errors().join('\n').toStdString();
    ASSERT_EQ(p.r.Paginas.Count(), 1);
    EXPECT_EQ(p.bandas(0), (QStringList{QStringLiteral("ReportTitle1"), QStringLiteral("TfrxNullBand"),
                                        QStringLiteral("PageFooter1")}));
    EXPECT_TRUE(p.dump().contains(QStringLiteral("  Page 1/1")));
}

// The name prints as stored, quote included, although it travels as a quoted expression; an
// unknown branch leaves the name empty.
TEST(RelatorioBanco, BranchNameInTheTitle)
{
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    banco.inserir(QStringLiteral("filiais"),
                  {QStringLiteral("codempresa"), QStringLiteral("nomeempresa"), QStringLiteral("estado")},
                  {{QStringLiteral("9"), QStringLiteral("PÃO D'ÁGUA LTDA"), QStringLiteral("SP")}});
    inserirBaseMaior(banco, 1, 1);
    {
        Preparacao p(banco, QStringLiteral("9"));
        ASSERT_TRUE(p.ok) << p.r.frxListagem.Errors().join('\n').toStdString();
        EXPECT_TRUE(p.dump().contains(QStringLiteral("  FILIAL PÃO D'ÁGUA LTDA")));
    }
    {
        Preparacao p(banco, QStringLiteral("77"));
        ASSERT_TRUE(p.ok) << p.r.frxListagem.Errors().join('\n').toStdString();
        EXPECT_TRUE(p.dump().filter(QStringLiteral("  FILIAL")).isEmpty());
    }
}
