#include "export/planilha_inconsistencias.h"

#include "export/gravacao_segura.h"
#include "platform/spreadsheet/PastaDeTrabalho.h"

#include <QDir>
#include <utility>
#include <vector>

const std::array<const char *, ColunasListagem> CamposListagem = {
    "DESC_ERRO", "PRODUTO",  "GRUPO",    "SUBGRUPO", "CST",  "CST_REG01", "CST_REG02", "CST_REG03",
    "CSOSN",     "BASEICMS", "ALIQICMS", "ALIQECF",  "CEST", "STENTRADA", "STSAIDA",   "CODNCM"};

const std::array<const char *, ColunasListagem> CabecalhoPlanilha = {
    "INCONSISTÊNCIA", "PRODUTO",    "GRUPO",     "SUBGRUPO", "CST0", "CST1",
    "CST2",           "CST3",       "CSOSN",     "BASE ICMS", "ALIQ. ICMS", "ALIQ. ECF",
    "CEST",           "Subs.Trib. ENTRADA", "Subs.Trib. SAIDA", "NCM"};

namespace {

constexpr std::array<double, ColunasListagem> Larguras = {55, 65, 40, 40, 5, 5, 5, 5, 8, 12, 12, 12, 8, 17, 15, 9};

const QString TituloResumo = QStringLiteral("QUANTIDADE DE OCORRÊNCIAS ENCONTRADAS:");

// Past this many listing rows the sheet's XML part may outgrow the 4 GB a plain zip entry holds.
constexpr qint64 LinhasParaZip64 = 400000;

Erro erroLinhasDemais(const QString &linhasListagem) {
    return Erro(QStringLiteral("A listagem tem %1 linhas de inconsistências e não cabe em uma planilha, "
                               "que comporta no máximo %2 linhas com o cabeçalho e o resumo. "
                               "Nada foi gravado. Gere a planilha apenas dos produtos ativos ou "
                               "use o relatório em PDF.")
                    .arg(linhasListagem)
                    .arg(planilha::MaximoLinhas));
}

class Escrita {
public:
    Escrita(planilha::PastaDeTrabalho &pasta) : pasta_(pasta) {
        using namespace planilha;
        cabecalho_ = pasta.formato({.negrito = true, .horizontal = Horizontal::Centro});
        // Column A holds one merged cell per rule, often many rows tall: centred both ways the
        // description stays in the middle of its products, framed in black so that each rule
        // reads as one block.
        colunaA_ = pasta.formato({.horizontal = Horizontal::Centro, .vertical = Vertical::Centro, .bordaPreta = true});
        centro_ = pasta.formato({.horizontal = Horizontal::Centro});
        titulo_ = pasta.formato({.negrito = true, .horizontal = Horizontal::Centro});
    }

    void cabecalho() {
        for (int coluna = 1; coluna <= ColunasListagem; ++coluna)
            pasta_.larguraColuna(coluna, Larguras[coluna - 1]);
        pasta_.congelarAcimaDaLinha(2);
        for (int coluna = 1; coluna <= ColunasListagem; ++coluna)
            pasta_.escrever(1, coluna, QString::fromUtf8(CabecalhoPlanilha[coluna - 1]), cabecalho_);
    }

    // Row numbers from 2 on; a group ends when the description changes.
    void linha(int numero, const LinhaListagem &valores) {
        const QString &descricao = valores[0];
        const bool novoGrupo = numero == 2 || descricao != descricaoAtual_;
        if (novoGrupo) {
            // The merge must be made while the group's last row is still the current one.
            fecharGrupo(numero - 1);
            descricaoAtual_ = descricao;
            inicioGrupo_ = numero;
            pasta_.escrever(numero, 1, descricao, colunaA_);
        } else {
            pasta_.escrever(numero, 1, QString(), colunaA_);
        }
        pasta_.escrever(numero, 2, valores[1]);
        for (int coluna = 3; coluna <= ColunasListagem; ++coluna)
            pasta_.escrever(numero, coluna, valores[coluna - 1], centro_);
    }

    void fecharGrupo(int ultimaLinha) {
        if (inicioGrupo_ > 0 && ultimaLinha > inicioGrupo_)
            pasta_.mesclar(inicioGrupo_, 1, ultimaLinha, 1, descricaoAtual_, colunaA_);
    }

    void resumo(int linhaTitulo, const std::vector<std::pair<QString, QString>> &contagens) {
        pasta_.escrever(linhaTitulo, 1, TituloResumo, titulo_);
        pasta_.mesclar(linhaTitulo, 1, linhaTitulo, 2, TituloResumo, titulo_);
        int numero = linhaTitulo;
        for (const auto &[descricao, quantidade] : contagens) {
            ++numero;
            pasta_.escrever(numero, 1, descricao);
            pasta_.escrever(numero, 2, quantidade, centro_);
        }
    }

private:
    planilha::PastaDeTrabalho &pasta_;
    const planilha::PastaDeTrabalho::Formato *cabecalho_, *colunaA_, *centro_, *titulo_;
    QString descricaoAtual_;
    int inicioGrupo_ = 0;
};

}  // namespace

qint64 LinhasNecessarias(qint64 linhasListagem, qint64 linhasContagem) {
    return 1 + linhasListagem + 2 + linhasContagem;
}

ResultadoPlanilha GravarPlanilhaInconsistencias(FonteInconsistencias &fonte, const QString &arquivo,
                                                const AcompanhamentoPlanilha &acompanhamento) {
    // The summary is small (one row per rule) and its size is needed for the limit below.
    std::vector<std::pair<QString, QString>> contagens;
    for (QString descricao, quantidade; fonte.proximaContagem(descricao, quantidade);)
        contagens.emplace_back(descricao, quantidade);

    const qint64 anunciadas = fonte.totalOcorrencias();
    if (LinhasNecessarias(anunciadas, qint64(contagens.size())) > planilha::MaximoLinhas)
        throw erroLinhasDemais(QString::number(anunciadas));
    // The total may be short of the listing; the check is repeated per row so that no sheet is
    // ever cut off.
    const qint64 ultimaLinhaDeDados = planilha::MaximoLinhas - 2 - qint64(contagens.size());

    GravacaoSegura gravacao(arquivo);
    planilha::PastaDeTrabalho pasta(gravacao.arquivoTemporario(), anunciadas > LinhasParaZip64);
    Escrita escrita(pasta);
    escrita.cabecalho();

    qint64 numero = 1;
    LinhaListagem linha;
    while (fonte.proximaLinha(linha)) {
        if (acompanhamento.continuar && !acompanhamento.continuar())
            return ResultadoPlanilha::Cancelada;
        ++numero;
        if (numero > ultimaLinhaDeDados)
            throw erroLinhasDemais(QStringLiteral("mais de %1").arg(numero - 2));
        escrita.linha(int(numero), linha);
        if (acompanhamento.linhaEscrita)
            acompanhamento.linhaEscrita();
    }
    escrita.fecharGrupo(int(numero));
    escrita.resumo(int(numero + 2), contagens);

    pasta.fechar();
    gravacao.concluir();
    return ResultadoPlanilha::Gravada;
}
