// The two report commands as a script runs them: the real executable on a real embedded
// database, the prepared file read back through the engine's own loader, the pages' PNGs read
// back as images.
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "tests/app/execucao_lote.h"
#include "tests/fixtures/BancoTemporario.h"
#include "tests/fixtures/arquivos.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using lote::executar;
using lote::Resultado;

// Products 1..40 each break "BASE MAIOR QUE 100%" (three pages for a branch in SP); product 40
// is inactive. Their rate 18 is wrong for branch 2 in RJ (20), which adds a second rule there.
class LoteRelatorio : public testing::Test {
protected:
    void SetUp() override
    {
        banco.inserirReferencias();
        std::vector<fixtures::Linha> produtos;
        for (int i = 1; i <= 40; ++i) {
            fixtures::Linha l = fixtures::BancoTemporario::produtoSemInconsistencia(i);
            l[QStringLiteral("baseicmsreg01")] = QStringLiteral("150");
            if (i == 40)
                l[QStringLiteral("ativo")] = QStringLiteral("N");
            produtos.push_back(l);
        }
        banco.inserir(QStringLiteral("produto"), produtos);
        banco.conexao().fechar();  // the embedded engine lets one process at a time have the file
    }

    QString emPasta(const QString &nome) const { return saida.filePath(nome); }

    fixtures::BancoTemporario banco;
    QTemporaryDir saida;
};

// "name text" of every memo with text on the page, texts as placed (page-count marker unresolved).
QStringList textosDaPagina(TfrxPreviewPages &paginas, int indice)
{
    QStringList out;
    TfrxReportPage *pagina = paginas.GetPage(indice);
    if (!pagina)
        return out;
    for (TfrxComponent *c : pagina->AllObjects())
        if (auto *m = dynamic_cast<TfrxCustomMemoView *>(c)) {
            const QString texto = m->Text().trimmed();
            if (!texto.isEmpty())
                out << m->Name() + u' ' + texto;
        }
    return out;
}

QStringList todosOsTextos(TfrxPreviewPages &paginas)
{
    QStringList out;
    for (int i = 0; i < paginas.Count(); ++i)
        out << textosDaPagina(paginas, i);
    return out;
}

using fixtures::conteudoDe;

const QString kTitulo = QStringLiteral("Memo1 RELATÓRIO DE INCONSISTÊNCIAS TRIBUTÁRIAS");
const QString kBaseMaior = QStringLiteral("frxDBListagemDESC_ERRO BASE MAIOR QUE 100%");
const QString kAliquotaUf = QStringLiteral("frxDBListagemDESC_ERRO ALIQUOTA INCORRETA DE ACORDO COM A UF");
const QString kInativo = QStringLiteral("frxDBListagemPRODUTO 40 - PRODUTO 40");

// Each case prepares the report the window would for its options, and the file holds it whole.
TEST_F(LoteRelatorio, PreparadoCarregaDeVoltaComAsPaginasDaFilialEDaVariante)
{
    struct Caso {
        const char *nome;
        QStringList opcoes;
        int paginas;
        QString filial;
        QStringList presentes;
        QStringList ausentes;
    } casos[] = {
        // No --filial: the first branch of the list, as the window selects it.
        {"primeira filial, todos", {}, 3, "FILIAL MATRIZ SÃO PAULO",
         {kBaseMaior, "frxDBListagemPRODUTO 1 - PRODUTO 1", kInativo, "frxDBContaOcorrenciasQUANTIDADE 40"},
         {kAliquotaUf}},
        {"primeira filial, ativos", {"--ativos"}, 3, "FILIAL MATRIZ SÃO PAULO",
         {kBaseMaior, "frxDBListagemPRODUTO 39 - PRODUTO 39", "frxDBContaOcorrenciasQUANTIDADE 39"},
         {kInativo, kAliquotaUf}},
        {"outra filial, ativos", {"--filial", "2", "--ativos"}, 5, "FILIAL FILIAL RIO DE JANEIRO",
         {kBaseMaior, kAliquotaUf, "frxDBListagemPRODUTO 1 - PRODUTO 1"},
         {kInativo, "FILIAL MATRIZ SÃO PAULO"}},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const QString arquivo = emPasta(QString::fromUtf8(c.nome).replace(' ', '_') + ".fp3");
        const Resultado r = executar(QStringList{"--relatorio-preparado", arquivo} + c.opcoes, banco.caminho());
        ASSERT_EQ(r.status, 0) << r.erro.toStdString();
        EXPECT_EQ(r.erro, "");
        EXPECT_EQ(r.saida, QStringLiteral("%1: %2 página(s)\n").arg(arquivo).arg(c.paginas));

        TfrxReport leitor;
        TfrxPreviewPages paginas(&leitor);
        ASSERT_TRUE(paginas.LoadFromFile(arquivo, true));
        ASSERT_EQ(paginas.Count(), c.paginas);
        const QStringList primeira = textosDaPagina(paginas, 0);
        EXPECT_TRUE(primeira.contains(kTitulo)) << primeira.join('\n').toStdString();
        EXPECT_TRUE(primeira.contains(c.filial)) << primeira.join('\n').toStdString();
        // The title band is the first page's only.
        EXPECT_FALSE(textosDaPagina(paginas, 1).contains(kTitulo));
        const QStringList textos = todosOsTextos(paginas);
        for (const QString &t : c.presentes)
            EXPECT_TRUE(textos.contains(t)) << t.toStdString();
        for (const QString &t : c.ausentes)
            EXPECT_FALSE(textos.contains(t)) << t.toStdString();
    }
}

// The report's paper is 340 x 240 mm: 1285 x 907 pixels at 3.77953 pixels per millimetre.
TEST_F(LoteRelatorio, PngUmaImagemPorPaginaDoTamanhoDoPapelNumaPastaNova)
{
    const QString arquivo = emPasta("r.fp3");
    ASSERT_EQ(executar({"--relatorio-preparado", arquivo}, banco.caminho()).status, 0);
    TfrxReport leitor;
    TfrxPreviewPages paginas(&leitor);
    ASSERT_TRUE(paginas.LoadFromFile(arquivo, true));
    ASSERT_EQ(paginas.Count(), 3);

    const QString pasta = emPasta("nova/paginas");
    const Resultado r = executar({"--png", pasta}, banco.caminho());
    ASSERT_EQ(r.status, 0) << r.erro.toStdString();
    EXPECT_EQ(r.erro, "");
    EXPECT_EQ(r.saida, pasta + QStringLiteral(": 3 página(s)\n"));
    EXPECT_EQ(QDir(pasta).entryList(QDir::Files, QDir::Name),
              (QStringList{"pagina-001.png", "pagina-002.png", "pagina-003.png"}));

    // Dark pixels in a rectangle (x0, y0)-(x1, y1), both ends excluded.
    auto escuros = [](const QImage &img, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1 && y < img.height(); ++y)
            for (int x = x0; x < x1 && x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 96)
                    ++n;
        return n;
    };
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        const QImage img(QDir(pasta).filePath(QStringLiteral("pagina-%1.png").arg(i, 3, 10, QLatin1Char('0'))));
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(1285, 907));
        EXPECT_EQ(img.size(), paginas.PageSize(i - 1));
        EXPECT_EQ(img.dotsPerMeterX(), 3780);
        EXPECT_EQ(img.dotsPerMeterY(), 3780);
        EXPECT_GT(escuros(img, 0, 0, img.width(), img.height()), 1000);
    }
    // The centred title on the first page, above the branch line.
    const QImage primeira(QDir(pasta).filePath("pagina-001.png"));
    const int meio = primeira.width() / 2;
    EXPECT_GT(escuros(primeira, meio - 150, 0, meio + 150, 60), 200);

    // Again into a folder that holds a longer, older run and a file of the user's: the old
    // run's last page goes, the user's file stays.
    const QString usada = emPasta("usada");
    ASSERT_TRUE(QDir().mkpath(usada));
    for (const char *nome : {"pagina-004.png", "pagina-0001.png", "leia-me.txt"}) {
        QFile f(QDir(usada).filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("antes");
    }
    ASSERT_EQ(executar({"--png", usada}, banco.caminho()).status, 0);
    EXPECT_EQ(QDir(usada).entryList(QDir::Files, QDir::Name),
              (QStringList{"leia-me.txt", "pagina-001.png", "pagina-002.png", "pagina-003.png"}));
}

TEST_F(LoteRelatorio, FalhasSaoStatus1MensagemNoErroENadaNaSaida)
{
    QFile arquivoComum(emPasta("arquivo-comum"));
    ASSERT_TRUE(arquivoComum.open(QIODevice::WriteOnly));
    arquivoComum.write("texto");
    arquivoComum.close();
    QFile lixo(emPasta("danificado.fdb"));
    ASSERT_TRUE(lixo.open(QIODevice::WriteOnly));
    lixo.write(QByteArray(64 * 1024, 'x'));
    lixo.close();
    fixtures::BancoTemporario outraVersao;
    outraVersao.inserirReferencias();
    outraVersao.executar(QStringLiteral("alter table produto drop codcest"));
    outraVersao.conexao().fechar();

    const QString bom = banco.caminho();
    const QString arquivo = emPasta("r.fp3");
    const QString semBanco = emPasta("nao-existe.fdb");
    const QString motivoBanco = QStringLiteral("Ocorreu um erro ao ao tentar comunicar com o banco de dados.\nMotivo: ");
    struct Caso {
        const char *nome;
        QStringList argumentos;
        QString banco;
        QString inicio;
    } casos[] = {
        {"relatório sem destino", {"--relatorio-preparado"}, bom,
         "Uso: quelvora --relatorio-preparado ARQUIVO.fp3 [--filial CODIGO] [--ativos]"},
        {"png sem destino", {"--png", "--ativos"}, bom, "Uso: quelvora --png PASTA [--filial CODIGO] [--ativos]"},
        {"opção desconhecida", {"--relatorio-preparado", arquivo, "--todos"}, bom,
         "Argumento desconhecido para --relatorio-preparado: \"--todos\"."},
        {"dois destinos", {"--png", emPasta("a"), emPasta("b")}, bom,
         "Argumento desconhecido para --png: \"" + emPasta("b") + "\"."},
        {"filial sem código", {"--relatorio-preparado", arquivo, "--filial"}, bom,
         "Falta o código da filial depois de --filial."},
        // A branch that is not there is a mistake, not a branch without findings.
        {"relatório, filial inexistente", {"--relatorio-preparado", arquivo, "--filial", "77"}, bom,
         "A filial \"77\" não existe no banco de dados."},
        {"png, filial inexistente", {"--png", emPasta("png"), "--filial", "77"}, bom,
         "A filial \"77\" não existe no banco de dados."},
        {"relatório, filial não numérica", {"--relatorio-preparado", arquivo, "--filial", "abc"}, bom,
         "Código de filial inválido: \"abc\" não é um número.\nMotivo: "},
        {"relatório, base de outra versão", {"--relatorio-preparado", arquivo}, outraVersao.caminho(),
         "A base de dados não tem o que a verificação das tributações lê (coluna produto.codcest); "},
        {"arquivo sob /proc", {"--relatorio-preparado", "/proc/quelvora-teste.fp3"}, bom,
         "Não foi possível criar o arquivo /proc/quelvora-teste.fp3"},
        {"arquivo sob um arquivo", {"--relatorio-preparado", emPasta("arquivo-comum/r.fp3")}, bom,
         "Não foi possível criar o arquivo " + emPasta("arquivo-comum/r.fp3")},
        {"pasta sob /proc", {"--png", "/proc/quelvora-teste"}, bom, "Não foi possível criar a pasta /proc/quelvora-teste."},
        {"pasta que é um arquivo", {"--png", emPasta("arquivo-comum")}, bom,
         "Não foi possível criar a pasta " + emPasta("arquivo-comum") + "."},
        {"relatório, banco inexistente", {"--relatorio-preparado", arquivo}, semBanco, motivoBanco},
        {"relatório, banco danificado", {"--relatorio-preparado", arquivo}, emPasta("danificado.fdb"), motivoBanco},
        {"png, banco inexistente", {"--png", emPasta("png")}, semBanco, motivoBanco},
        {"relatório, sem configuração", {"--relatorio-preparado", arquivo}, "",
         "Não foi possível conectar ao banco de dados. \nO alias \"VOSTREN\" não existe"},
    };

    // A good file from an earlier run, and a good page, that no failing run may touch.
    const Resultado anterior = executar({"--relatorio-preparado", arquivo}, bom);
    ASSERT_EQ(anterior.status, 0) << anterior.erro.toStdString();
    QFile pagina(emPasta("png/pagina-001.png"));
    ASSERT_TRUE(QDir().mkpath(emPasta("png")));
    ASSERT_TRUE(pagina.open(QIODevice::WriteOnly));
    pagina.write("página de antes");
    pagina.close();
    const QByteArray bytesAntes = conteudoDe(arquivo);
    const QDateTime horaAntes = QFileInfo(arquivo).lastModified();
    ASSERT_TRUE(QFileInfo::exists(arquivo));
    ASSERT_FALSE(bytesAntes.isEmpty());

    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        lote::esperarFalha(executar(c.argumentos, c.banco), c.inicio);
        EXPECT_EQ(conteudoDe(arquivo), bytesAntes);
        EXPECT_EQ(QFileInfo(arquivo).lastModified(), horaAntes);
        EXPECT_EQ(conteudoDe(emPasta("png/pagina-001.png")), QByteArray("página de antes"));
        // Nothing half-written left beside the targets.
        EXPECT_EQ(QDir(saida.path()).entryList(QDir::Files, QDir::Name),
                  (QStringList{"arquivo-comum", "danificado.fdb", "r.fp3"}));
        EXPECT_EQ(QDir(emPasta("png")).entryList(QDir::Files), QStringList{"pagina-001.png"});
    }
    EXPECT_FALSE(QFileInfo::exists("/proc/quelvora-teste"));
}

}  // namespace
