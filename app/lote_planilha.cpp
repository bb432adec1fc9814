// quelvora --planilha ARQUIVO [--filial CODIGO] [--ativos]: the workbook of "Gerar em Excel",
// without a window or a dialog. Without --filial the first branch is used, as the window
// selects it when it opens. When standard error is a terminal it shows a progress bar there.
#include "app/filiais.h"
#include "app/lote.h"
#include "checks/catalogo.h"
#include "connection/UConexao.h"
#include "export/fonte_consultas.h"
#include "export/planilha_inconsistencias.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

const QString UsoPlanilha = QStringLiteral("Uso: quelvora --planilha ARQUIVO [--filial CODIGO] [--ativos]");

struct OpcoesPlanilha {
    QString arquivo;
    QString filial;
    bool filialInformada = false;
    bool ativos = false;
};

OpcoesPlanilha lerOpcoes(const QStringList &argumentos) {
    OpcoesPlanilha opcoes;
    bool temArquivo = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString &argumento = argumentos[i];
        if (argumento == QLatin1String("--ativos")) {
            opcoes.ativos = true;
        } else if (argumento == QLatin1String("--filial")) {
            if (i + 1 >= argumentos.size())
                throw Erro(QStringLiteral("Falta o código da filial depois de --filial.\n") + UsoPlanilha);
            opcoes.filial = argumentos[++i];
            opcoes.filialInformada = true;
        } else if (argumento.startsWith(QLatin1String("--")) || temArquivo) {
            throw Erro(QStringLiteral("Argumento inesperado: \"%1\".\n").arg(argumento) + UsoPlanilha);
        } else {
            opcoes.arquivo = argumento;
            temArquivo = true;
        }
    }
    if (!temArquivo || opcoes.arquivo.isEmpty())
        throw Erro(QStringLiteral("Informe o arquivo da planilha.\n") + UsoPlanilha);
    return opcoes;
}

// The first branch of the list, as the window shows it; the empty text when there is none.
QString primeiraFilial(firebird::Conexao *conexao) {
    firebird::Consulta qryFilial(SQL_FILIAL);
    qryFilial.setConexao(conexao);
    try {
        qryFilial.abrir();
    } catch (const Erro &e) {
        throw Erro(ERRO_LER_FILIAIS + e.mensagem());
    }
    return qryFilial.fim() ? QString() : qryFilial.texto(QStringLiteral("codempresa"));
}

void verificarFilial(firebird::Conexao *conexao, const QString &filial) {
    firebird::Consulta qryFilialSelecionada(SQL_FILIAL_SELECIONADA);
    qryFilialSelecionada.setConexao(conexao);
    qryFilialSelecionada.setParametro(verificacoes::parametroFilialSelecionada, filial);
    qryFilialSelecionada.abrir();
    if (qryFilialSelecionada.fim())
        throw Erro(QStringLiteral("A filial \"%1\" não existe no banco de dados.").arg(filial));
}

// A bar on standard error, redrawn only when the percentage changes.
class BarraTerminal {
public:
    explicit BarraTerminal(qint64 total) : total_(std::max<qint64>(total, 1)) {}
    ~BarraTerminal() {
        if (desenhada_)
            std::fputs("\n", stderr);
    }
    void avancar() {
        ++linhas_;
        const int percentual = int(std::min<qint64>(100, linhas_ * 100 / total_));
        if (percentual == percentual_)
            return;
        percentual_ = percentual;
        constexpr int Largura = 40;
        const int cheias = percentual * Largura / 100;
        std::string barra(size_t(cheias), '#');
        barra.append(size_t(Largura - cheias), '-');
        std::fprintf(stderr, "\rGravando a planilha [%s] %3d%%", barra.c_str(), percentual);
        std::fflush(stderr);
        desenhada_ = true;
    }

private:
    qint64 total_;
    qint64 linhas_ = 0;
    int percentual_ = -1;
    bool desenhada_ = false;
};

}  // namespace

int lotePlanilha(const QStringList &argumentos) {
    try {
        const OpcoesPlanilha opcoes = lerOpcoes(argumentos);
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        firebird::Conexao *conexao = TConexao::Instancia().GetConexao();
        QString filial = opcoes.filial;
        if (opcoes.filialInformada)
            verificarFilial(conexao, filial);
        else
            filial = primeiraFilial(conexao);

        const auto variante = opcoes.ativos ? verificacoes::Variante::ProdutosAtivos : verificacoes::Variante::TodosProdutos;
        firebird::Consulta listagem(verificacoes::sqlConsulta(verificacoes::nomeListagem(variante)));
        firebird::Consulta contagens(verificacoes::sqlConsulta(verificacoes::nomeContaOcorrencias(variante)));
        firebird::Consulta total(verificacoes::sqlConsulta(verificacoes::nomeTotal(variante)));
        if (terminal) {
            std::fputs("Verificando as tributações...\n", stderr);
            std::fflush(stderr);
        }
        for (firebird::Consulta *consulta : {&listagem, &contagens, &total}) {
            consulta->setConexao(conexao);
            consulta->setParametro(verificacoes::parametroFilial, filial);
            consulta->abrir();
        }

        FonteConsultas fonte(listagem, contagens, total);
        std::optional<BarraTerminal> barra;
        AcompanhamentoPlanilha acompanhamento;
        if (terminal) {
            barra.emplace(fonte.totalOcorrencias());
            acompanhamento.linhaEscrita = [&barra] { barra->avancar(); };
        }
        GravarPlanilhaInconsistencias(fonte, opcoes.arquivo, acompanhamento);
        barra.reset();
        escreverSaida(QStringLiteral("Planilha gravada em %1\n")
                          .arg(QDir::toNativeSeparators(QFileInfo(opcoes.arquivo).absoluteFilePath())));
        return 0;
    } catch (const Erro &e) {
        return falhar(e.mensagem());
    }
}
