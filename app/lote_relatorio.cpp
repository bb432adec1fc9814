// quelvora --relatorio-preparado ARQUIVO.fp3 [--filial CODIGO] [--ativos]
// quelvora --png PASTA [--filial CODIGO] [--ativos]
//
// The inconsistency report without the window: the same steps as "Gerar em PDF" up to the
// preparation (branch name, the variant's queries under the report's datasets, "FILIAL" as a
// quoted name, prepare), then the prepared report saved as a file, or every page drawn to a PNG
// at 96 dpi so that it can be looked at without the preview.
#include "app/filiais.h"
#include "app/lote.h"
#include "checks/catalogo.h"
#include "checks/esquema.h"
#include "connection/UConexao.h"
#include "engine/report_prepare.h"
#include "platform/firebird/CursorConsulta.h"
#include "report/listagem.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

struct Opcoes {
    QString destino;
    QString filial;
    bool filialDada = false;
    bool ativos = false;
};

// Parses "DESTINO [--filial CODIGO] [--ativos]"; an empty text when fine, else the complaint.
QString lerOpcoes(const QString &comando, const QStringList &argumentos, Opcoes &opcoes)
{
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString &a = argumentos[i];
        if (a == QLatin1String("--ativos")) {
            opcoes.ativos = true;
        } else if (a == QLatin1String("--filial")) {
            if (i + 1 >= argumentos.size())
                return QStringLiteral("Falta o código da filial depois de --filial.");
            opcoes.filial = argumentos[++i];
            opcoes.filialDada = true;
        } else if (a.startsWith(QLatin1String("--")) || !opcoes.destino.isEmpty()) {
            return QStringLiteral("Argumento desconhecido para %1: \"%2\".").arg(comando, a);
        } else {
            opcoes.destino = a;
        }
    }
    if (opcoes.destino.isEmpty())
        return QStringLiteral("Uso: quelvora %1 %2 [--filial CODIGO] [--ativos]")
            .arg(comando, comando == QLatin1String("--png") ? QStringLiteral("PASTA") : QStringLiteral("ARQUIVO.fp3"));
    return {};
}

// What the window's queries and report are for one run.
class Relatorio {
public:
    explicit Relatorio(const Opcoes &opcoes)
        : qryFilialSelecionada(SQL_FILIAL_SELECIONADA),
          qryListagem(verificacoes::sqlConsulta(verificacoes::nomeListagem(variante(opcoes)))),
          qryContaOcorrencias(verificacoes::sqlConsulta(verificacoes::nomeContaOcorrencias(variante(opcoes)))),
          cursorListagem(qryListagem), cursorContaOcorrencias(qryContaOcorrencias)
    {
        firebird::Conexao *conexao = TConexao::Instancia().GetConexao();
        for (firebird::Consulta *q : {&qryFilialSelecionada, &qryListagem, &qryContaOcorrencias})
            q->setConexao(conexao);

        // Opened through the checks' helper, so that a code the database cannot take or a
        // database of another version is explained rather than left as the engine's message.
        const QString codigo = opcoes.filialDada ? opcoes.filial : primeiraFilial(conexao);
        verificacoes::abrirComFilial(qryFilialSelecionada, codigo);
        // A mistyped code would otherwise give an empty report with no branch name, which reads
        // as a branch without findings.
        if (opcoes.filialDada && qryFilialSelecionada.fim())
            throw Erro(QStringLiteral("A filial \"%1\" não existe no banco de dados.").arg(codigo));

        relatorio.frxDBListagem.SetDataSet(&cursorListagem);
        verificacoes::abrirComFilial(qryListagem, codigo);
        relatorio.frxDBContaOcorrencias.SetDataSet(&cursorContaOcorrencias);
        verificacoes::abrirComFilial(qryContaOcorrencias, codigo);

        const QString nome = qryFilialSelecionada.fim() ? QString()
                                                        : qryFilialSelecionada.texto(QStringLiteral("nomeempresa"));
        relatorio.frxListagem.Variables.Set(QStringLiteral("FILIAL"), NomeFilialComoExpressao(nome));
        // Collected errors come back as one failure with the engine's own text.
        relatorio.frxListagem.EngineOptions.NewSilentMode = simReThrow;
        frxPrepareReport(&relatorio.frxListagem, true);
    }

    TfrxPreviewPages &paginas() { return relatorio.Paginas; }

private:
    static verificacoes::Variante variante(const Opcoes &o)
    {
        return o.ativos ? verificacoes::Variante::ProdutosAtivos : verificacoes::Variante::TodosProdutos;
    }
    // The window selects the first branch of the list when it opens.
    static QString primeiraFilial(firebird::Conexao *conexao)
    {
        firebird::Consulta qryFilial(SQL_FILIAL);
        qryFilial.setConexao(conexao);
        firebird::Linhas filiais;
        try {
            filiais = firebird::lerTudo(qryFilial);
        } catch (const Erro &e) {
            throw Erro(ERRO_LER_FILIAIS + e.mensagem());
        }
        if (filiais.valores.empty())
            return {};
        return filiais.valores.front().value(filiais.indiceCampo(QStringLiteral("codempresa")));
    }

    firebird::Consulta qryFilialSelecionada;
    firebird::Consulta qryListagem;
    firebird::Consulta qryContaOcorrencias;
    firebird::CursorConsulta cursorListagem;
    firebird::CursorConsulta cursorContaOcorrencias;
    TRelatorioListagem relatorio;
};

}  // namespace

int loteRelatorioPreparado(const QStringList &argumentos)
{
    Opcoes opcoes;
    if (const QString erro = lerOpcoes(QStringLiteral("--relatorio-preparado"), argumentos, opcoes); !erro.isEmpty())
        return falhar(erro);
    try {
        Relatorio relatorio(opcoes);
        relatorio.paginas().SaveToFile(opcoes.destino);
        escreverSaida(QStringLiteral("%1: %2 página(s)\n").arg(opcoes.destino).arg(relatorio.paginas().Count()));
        return 0;
    } catch (const Erro &e) {
        return falhar(e.mensagem());
    }
}

int lotePng(const QStringList &argumentos)
{
    Opcoes opcoes;
    if (const QString erro = lerOpcoes(QStringLiteral("--png"), argumentos, opcoes); !erro.isEmpty())
        return falhar(erro);
    try {
        // The folder is made only once there is a report to put in it, so a failed run leaves
        // nothing behind.
        Relatorio relatorio(opcoes);
        QDir pasta(opcoes.destino);
        if (!pasta.exists() && !QDir().mkpath(opcoes.destino))
            throw Erro(QStringLiteral("Não foi possível criar a pasta %1.").arg(opcoes.destino));
        TfrxPreviewPages &paginas = relatorio.paginas();
        const int total = paginas.Count();
        // Numbers as wide as the last one, so the files sort in page order.
        const int largura = std::max(3, int(QString::number(total).size()));
        QSet<QString> gravados;
        for (int i = 0; i < total; ++i) {
            const QSize tamanho = paginas.PageSize(i);
            QImage imagem(tamanho, QImage::Format_RGB32);
            imagem.setDotsPerMeterX(3780);  // 96 dpi
            imagem.setDotsPerMeterY(3780);
            imagem.fill(Qt::white);
            {
                QPainter pintor(&imagem);
                paginas.DrawPage(i, &pintor, 1, 1, 0, 0);
            }
            const QString nome = QStringLiteral("pagina-%1.png").arg(i + 1, largura, 10, QLatin1Char('0'));
            const QString arquivo = pasta.filePath(nome);
            // Written next to the target and renamed, so a failed write leaves no half image.
            const QString temporario = arquivo + QStringLiteral(".tmp");
            if (!imagem.save(temporario, "PNG") || (QFile::exists(arquivo) && !QFile::remove(arquivo))
                || !QFile::rename(temporario, arquivo)) {
                QFile::remove(temporario);
                throw Erro(QStringLiteral("Não foi possível gravar %1.").arg(arquivo));
            }
            gravados.insert(nome);
        }
        // Pages of an earlier, longer run would read as part of this report.
        static const QRegularExpression pagina(QStringLiteral("^pagina-[0-9]+\\.png$"));
        for (const QString &antigo : pasta.entryList({QStringLiteral("pagina-*.png")}, QDir::Files))
            if (pagina.match(antigo).hasMatch() && !gravados.contains(antigo))
                pasta.remove(antigo);
        escreverSaida(QStringLiteral("%1: %2 página(s)\n").arg(opcoes.destino).arg(total));
        return 0;
    } catch (const Erro &e) {
        return falhar(e.mensagem());
    }
}
