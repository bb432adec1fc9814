#include "export/planilha_inconsistencias.h"
#include "tests/export/fonte_em_memoria.h"
#include "tests/export/impressao_qstring.h"
#include "tests/export/leitura_planilha.h"
#include "tests/fixtures/arquivos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString RegraA = QStringLiteral("CST ICMS INVÁLIDO");
const QString RegraB = QStringLiteral("NCM NÃO INFORMADO");
const QString RegraC = QStringLiteral("PRODUTO SEM CEST");

QString Coluna(int n) { return QString(QChar('A' + n - 1)); }

class Planilha : public ::testing::Test {
protected:
    QTemporaryDir pasta;
    QString arquivo = pasta.filePath(QStringLiteral("saida.xlsx"));

    PlanilhaLida gravarELer(FonteEmMemoria &fonte) {
        EXPECT_EQ(GravarPlanilhaInconsistencias(fonte, arquivo), ResultadoPlanilha::Gravada);
        PlanilhaLida lida = LerPlanilha(arquivo);
        EXPECT_EQ(lida.erro, QString());
        return lida;
    }
    QStringList conteudoDaPasta() const { return fixtures::entradasDe(pasta.path()); }
    void escreverArquivo(const QByteArray &conteudo) { fixtures::escreverEm(arquivo, conteudo); }
    QByteArray lerArquivo() const { return fixtures::conteudoDe(arquivo); }
};

TEST_F(Planilha, CabecalhoLargurasECongelamento) {
    FonteEmMemoria fonte;
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_EQ(lida.raiz["folhas"].toInt(), 1);
    EXPECT_EQ(lida.raiz["congelado"].toString(), QStringLiteral("A2"));
    const int larguras[] = {55, 65, 40, 40, 5, 5, 5, 5, 8, 12, 12, 12, 8, 17, 15, 9};
    for (int c = 1; c <= ColunasListagem; ++c) {
        SCOPED_TRACE(Coluna(c).toStdString());
        const QJsonObject cel = lida.celula(Coluna(c) + "1");
        EXPECT_EQ(cel["valor"].toString(), QString::fromUtf8(CabecalhoPlanilha[c - 1]));
        EXPECT_TRUE(cel["negrito"].toBool());
        EXPECT_EQ(cel["horizontal"].toString(), QStringLiteral("center"));
        // The file stores the width with the cell padding the spreadsheet adds; it shows the
        // whole number of characters.
        EXPECT_EQ(int(lida.raiz["larguras"].toObject()[Coluna(c)].toDouble()), larguras[c - 1]);
    }
    EXPECT_EQ(lida.valor("A1"), QStringLiteral("INCONSISTÊNCIA"));
    EXPECT_EQ(lida.valor("N1"), QStringLiteral("Subs.Trib. ENTRADA"));
}

TEST_F(Planilha, ListagemVaziaTemSoCabecalhoEResumo) {
    FonteEmMemoria fonte;
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_TRUE(lida.mescladas() == QStringList{"A3:B3"}) << lida.mescladas().join(',').toStdString();
    EXPECT_FALSE(lida.existe("A2"));
    EXPECT_EQ(lida.valor("A3"), QStringLiteral("QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:"));
    EXPECT_TRUE(lida.celula("A3")["negrito"].toBool());
    EXPECT_EQ(lida.celula("A3")["horizontal"].toString(), QStringLiteral("center"));
    EXPECT_EQ(lida.ultimaLinha(), 3);
}

TEST_F(Planilha, UmaRegraComTresProdutos) {
    FonteEmMemoria fonte;
    for (const char *p : {"ARROZ 5KG", "FEIJÃO 1KG", "AÇÚCAR 2KG"})
        fonte.produto(RegraA, QString::fromUtf8(p));
    fonte.contagens = {{RegraA, QStringLiteral("3")}};
    PlanilhaLida lida = gravarELer(fonte);

    EXPECT_TRUE(lida.mescladas() == (QStringList{"A2:A4", "A6:B6"})) << lida.mescladas().join(',').toStdString();
    EXPECT_EQ(lida.valor("A2"), RegraA);
    const QJsonObject a2 = lida.celula("A2");
    EXPECT_EQ(a2["horizontal"].toString(), QStringLiteral("center"));
    EXPECT_EQ(a2["vertical"].toString(), QStringLiteral("center"));
    EXPECT_EQ(a2["borda"].toArray(), (QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(a2["corBorda"].toString(), QStringLiteral("FF000000"));

    const char *produtos[] = {"ARROZ 5KG", "FEIJÃO 1KG", "AÇÚCAR 2KG"};
    for (int linha = 2; linha <= 4; ++linha) {
        SCOPED_TRACE(linha);
        const QString p = QString::fromUtf8(produtos[linha - 2]);
        EXPECT_EQ(lida.valor(QStringLiteral("B%1").arg(linha)), p);
        EXPECT_EQ(lida.celula(QStringLiteral("B%1").arg(linha))["horizontal"], QJsonValue());
        for (int c = 3; c <= ColunasListagem; ++c) {
            const QJsonObject cel = lida.celula(Coluna(c) + QString::number(linha));
            EXPECT_EQ(cel["valor"].toString(), QStringLiteral("%1-%2").arg(p).arg(c - 1));
            EXPECT_EQ(cel["tipo"].toString(), QStringLiteral("s"));
            EXPECT_EQ(cel["horizontal"].toString(), QStringLiteral("center"));
            EXPECT_FALSE(cel["negrito"].toBool());
        }
    }
    EXPECT_FALSE(lida.existe("A5"));
    EXPECT_EQ(lida.valor("A6"), QStringLiteral("QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:"));
    EXPECT_EQ(lida.valor("A7"), RegraA);
    EXPECT_EQ(lida.valor("B7"), QStringLiteral("3"));
    EXPECT_EQ(lida.celula("B7")["horizontal"].toString(), QStringLiteral("center"));
    EXPECT_EQ(lida.celula("A7")["horizontal"], QJsonValue());
    EXPECT_EQ(lida.ultimaLinha(), 7);
}

TEST_F(Planilha, CadaRegraMescladaSeparadamente) {
    FonteEmMemoria fonte;
    fonte.produto(RegraA, "P1");
    fonte.produto(RegraA, "P2");
    fonte.produto(RegraB, "P3");  // a group of one row stays a plain cell
    fonte.produto(RegraC, "P4");
    fonte.produto(RegraC, "P5");
    fonte.produto(RegraC, "P6");
    fonte.contagens = {{RegraA, "2"}, {RegraB, "1"}, {RegraC, "3"}};
    PlanilhaLida lida = gravarELer(fonte);

    EXPECT_TRUE(lida.mescladas() == (QStringList{"A2:A3", "A5:A7", "A9:B9"})) << lida.mescladas().join(',').toStdString();
    EXPECT_EQ(lida.valor("A2"), RegraA);
    EXPECT_EQ(lida.valor("A4"), RegraB);
    EXPECT_EQ(lida.valor("A5"), RegraC);
    EXPECT_EQ(lida.celula("A4")["borda"].toArray(), (QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(lida.valor("B7"), QStringLiteral("P6"));
    EXPECT_EQ(lida.valor("A9"), QStringLiteral("QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:"));
    EXPECT_EQ(lida.valor("A10"), RegraA);
    EXPECT_EQ(lida.valor("A11"), RegraB);
    EXPECT_EQ(lida.valor("B12"), QStringLiteral("3"));
    EXPECT_EQ(lida.ultimaLinha(), 12);
}

// A rule that comes back after another starts a new group: groups are runs of equal rows.
TEST_F(Planilha, RegraQueVoltaAbreOutroGrupo) {
    FonteEmMemoria fonte;
    fonte.produto(RegraA, "P1");
    fonte.produto(RegraB, "P2");
    fonte.produto(RegraA, "P3");
    fonte.produto(RegraA, "P4");
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_TRUE(lida.mescladas() == (QStringList{"A4:A5", "A7:B7"})) << lida.mescladas().join(',').toStdString();
    EXPECT_EQ(lida.valor("A4"), RegraA);
}

// Values are text whatever they look like, and text the database may hold survives.
TEST_F(Planilha, ValoresGravadosComoTexto) {
    FonteEmMemoria fonte;
    LinhaListagem l;
    l[0] = RegraA;
    l[1] = QStringLiteral("CAFÉ <TORRADO> & MOÍDO \"500G\"");
    l[2] = QStringLiteral("0001");
    l[9] = QStringLiteral("18.00");
    l[10] = QStringLiteral("=1+1");
    l[11] = QStringLiteral("TAB\tE\x01" "CONTROLE");
    fonte.linhas.push_back(l);
    fonte.total = 1;
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_EQ(lida.valor("B2"), l[1]);
    EXPECT_EQ(lida.valor("C2"), QStringLiteral("0001"));
    EXPECT_EQ(lida.valor("J2"), QStringLiteral("18.00"));
    EXPECT_EQ(lida.celula("J2")["tipo"].toString(), QStringLiteral("s"));
    EXPECT_EQ(lida.celula("K2")["tipo"].toString(), QStringLiteral("s"));
    EXPECT_EQ(lida.valor("K2"), QStringLiteral("=1+1"));
    EXPECT_TRUE(lida.valor("L2").startsWith(QStringLiteral("TAB\tE")));
    // Empty fields leave the cell empty (it keeps its alignment).
    EXPECT_EQ(lida.celula("D2")["valor"], QJsonValue());
}

TEST_F(Planilha, ArquivoExistenteSubstituido) {
    escreverArquivo("planilha antiga");
    QFile::setPermissions(arquivo, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    FonteEmMemoria fonte;
    fonte.produto(RegraA, "P1");
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_EQ(lida.valor("B2"), QStringLiteral("P1"));
    EXPECT_EQ(conteudoDaPasta(), QStringList{"saida.xlsx"});
    EXPECT_EQ(QFile::permissions(arquivo),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(Planilha, NomeSemExtensaoUsadoComoDigitado) {
    arquivo = pasta.filePath(QStringLiteral("inconsistencias"));
    FonteEmMemoria fonte;
    fonte.produto(RegraA, "P1");
    PlanilhaLida lida = gravarELer(fonte);
    EXPECT_EQ(lida.valor("B2"), QStringLiteral("P1"));
    EXPECT_EQ(conteudoDaPasta(), QStringList{"inconsistencias"});
}

TEST_F(Planilha, CancelamentoNaoGravaNemApagaNada) {
    for (bool existia : {false, true}) {
        SCOPED_TRACE(existia);
        QFile::remove(arquivo);
        if (existia)
            escreverArquivo("planilha boa");
        FonteEmMemoria fonte;
        for (int i = 0; i < 10; ++i)
            fonte.produto(RegraA, QStringLiteral("P%1").arg(i));
        int perguntas = 0, escritas = 0;
        AcompanhamentoPlanilha acompanhamento{[&] { return ++perguntas <= 4; }, [&] { ++escritas; }};
        EXPECT_EQ(GravarPlanilhaInconsistencias(fonte, arquivo, acompanhamento), ResultadoPlanilha::Cancelada);
        EXPECT_EQ(escritas, 4);  // stopped before the fifth row
        EXPECT_EQ(lerArquivo(), existia ? QByteArray("planilha boa") : QByteArray("<ausente>"));
        EXPECT_EQ(conteudoDaPasta(), existia ? QStringList{"saida.xlsx"} : QStringList{});
    }
}

TEST_F(Planilha, DestinoInvalidoFalhaAntesDeEscrever) {
    QDir(pasta.path()).mkdir(QStringLiteral("uma pasta"));
    struct Caso {
        const char *nome;
        QString destino;
        const char *trecho;
    } casos[] = {
        {"nome que é uma pasta", pasta.filePath(QStringLiteral("uma pasta")), "é uma pasta"},
        {"pasta inexistente", pasta.filePath(QStringLiteral("nao/existe.xlsx")), "não existe"},
        // Even the superuser cannot create files there.
        {"pasta sem gravação", QStringLiteral("/proc/planilha.xlsx"), "Não é possível gravar na pasta"},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nome);
        FonteEmMemoria fonte;
        fonte.produto(RegraA, "P1");
        try {
            GravarPlanilhaInconsistencias(fonte, caso.destino);
            ADD_FAILURE() << "sem erro";
        } catch (const Erro &e) {
            EXPECT_TRUE(e.mensagem().contains(QString::fromUtf8(caso.trecho))) << e.what();
        }
        EXPECT_EQ(fonte.lidas, 0u);
    }
    EXPECT_EQ(conteudoDaPasta(), QStringList{"uma pasta"});
    EXPECT_TRUE(QDir(pasta.filePath(QStringLiteral("uma pasta"))).isEmpty());
}

TEST_F(Planilha, ListagemMaiorQueAFolhaRecusadaAntesDeEscrever) {
    escreverArquivo("planilha boa");
    FonteEmMemoria fonte;
    fonte.produto(RegraA, "P1");
    fonte.contagens = {{RegraA, "1"}, {RegraB, "1"}};
    // Header, listing, empty row, title and two counts: one row more than a sheet holds.
    fonte.total = 1048576 - 5 + 1;
    try {
        GravarPlanilhaInconsistencias(fonte, arquivo);
        ADD_FAILURE() << "sem erro";
    } catch (const Erro &e) {
        EXPECT_TRUE(e.mensagem().contains(QStringLiteral("não cabe em uma planilha"))) << e.what();
        EXPECT_TRUE(e.mensagem().contains(QStringLiteral("1048572"))) << e.what();
    }
    EXPECT_EQ(fonte.lidas, 0u);
    EXPECT_EQ(lerArquivo(), QByteArray("planilha boa"));
    EXPECT_EQ(conteudoDaPasta(), QStringList{"saida.xlsx"});
}

// A disk that fills up while the workbook is assembled: the file size limit makes every write
// past it fail as a full disk would.
TEST_F(Planilha, DiscoCheioMantemArquivoAnterior) {
    escreverArquivo("planilha boa");
    FonteEmMemoria fonte;
    for (int i = 0; i < 20000; ++i)
        fonte.produto(i < 10000 ? RegraA : RegraB, QStringLiteral("PRODUTO %1").arg(i));

    struct rlimit anterior {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &anterior), 0);
    auto sinalAnterior = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limite = anterior;
    limite.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
    QString mensagem;
    try {
        GravarPlanilhaInconsistencias(fonte, arquivo);
    } catch (const Erro &e) {
        mensagem = e.mensagem();
    }
    setrlimit(RLIMIT_FSIZE, &anterior);
    std::signal(SIGXFSZ, sinalAnterior);

    EXPECT_TRUE(mensagem.startsWith(QStringLiteral("Não foi possível gravar"))) << mensagem.toStdString();
    EXPECT_EQ(lerArquivo(), QByteArray("planilha boa"));
    EXPECT_EQ(conteudoDaPasta(), QStringList{"saida.xlsx"});
}

TEST(LinhasDaFolha, ContaCabecalhoVaziaTituloEContagens) {
    EXPECT_EQ(LinhasNecessarias(0, 0), 3);
    EXPECT_EQ(LinhasNecessarias(3, 1), 7);
}

}  // namespace
