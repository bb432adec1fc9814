// Without arguments the program opens its window; with a batch command it does the same work
// without one, for scripts and scheduled checks.
#include "app/UQuelvora.h"
#include "app/lote.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

namespace {

struct EntradaLote {
    const char *nome;
    ComandoDeLote executar;
    const char *uso;
};

}  // namespace

// Each batch command lives in its own file, app/lote_*.cpp; add it here with one line.
int loteListarFiliais(const QStringList &argumentos);
int lotePlanilha(const QStringList &argumentos);
int loteRelatorioPreparado(const QStringList &argumentos);
int lotePng(const QStringList &argumentos);
int loteListagem(const QStringList &argumentos);

static const EntradaLote kComandos[] = {
    {"--listar-filiais", loteListarFiliais, "--listar-filiais   código TAB nome de cada filial"},
    {"--listagem", loteListagem, "--listagem [--filial CODIGO] [--ativos]   as colunas da listagem, as linhas, uma linha vazia, as contagens e o total"},
    {"--planilha", lotePlanilha, "--planilha ARQUIVO [--filial CODIGO] [--ativos]   a planilha de \"Gerar em Excel\""},
    {"--relatorio-preparado", loteRelatorioPreparado, "--relatorio-preparado ARQUIVO.fp3 [--filial CODIGO] [--ativos]   o relatório preparado de \"Gerar em PDF\""},
    {"--png", lotePng, "--png PASTA [--filial CODIGO] [--ativos]   as páginas do relatório em PNG, 96 dpi"},
};

static int executarLote(int argc, char **argv)
{
    // Drawing pages needs the font services of a GUI application; nothing is shown, so it runs
    // offscreen. Outside a login session (cron, a service) there is no runtime folder, and the GUI
    // application would say so on standard error, where a script looks for our failures; a
    // private one lives as long as the command.
    std::unique_ptr<QTemporaryDir> execucao;
    std::unique_ptr<QCoreApplication> aplicacao;
    if (QByteArray(argv[1]) == "--png") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            execucao = std::make_unique<QTemporaryDir>();
            if (execucao->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(execucao->path()));
        }
        aplicacao = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        aplicacao = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList argumentos = aplicacao->arguments().mid(1);
    const QString nome = argumentos.takeFirst();
    for (const EntradaLote &comando : kComandos)
        if (nome == QLatin1String(comando.nome))
            return comando.executar(argumentos);

    QString uso = QStringLiteral("Comando desconhecido: %1\nUso: quelvora [COMANDO]\nSem comando, abre a janela. Comandos:")
                      .arg(nome);
    for (const EntradaLote &comando : kComandos)
        uso += QStringLiteral("\n  quelvora ") + QString::fromUtf8(comando.uso);
    return falhar(uso);
}

int main(int argc, char **argv)
{
    // Batch commands are long options; anything else (Qt's own "-platform xcb", say) is the
    // window's.
    if (argc > 1 && QByteArray(argv[1]).startsWith("--"))
        return executarLote(argc, argv);
    QApplication aplicacao(argc, argv);
    TfrmQuelvora frmQuelvora;
    frmQuelvora.show();
    return aplicacao.exec();
}
