// quelvora --listagem [--filial CODIGO] [--ativos]: the checks' findings as text, so that scripts
// can use and compare them. Standard output gets a header line with the sixteen column names,
// one line per listing row in the listing's order (fields separated by tabs), an empty line,
// one line per count row (description, tab, count) and a last line "QTD", tab, total (nothing
// after the tab when the total is null). Without --filial the first branch of the branch list is
// used, as the window selects it when it opens.
#include "app/lote.h"
#include "checks/catalogo.h"
#include "checks/esquema.h"
#include "checks/regras.h"
#include "connection/UConexao.h"
#include "platform/erro/Erro.h"

namespace {

const QString UsoListagem = QStringLiteral("Uso: quelvora --listagem [--filial CODIGO] [--ativos]");

// A tab or a line break inside a field would split the line a script reads; they become blanks.
QString campo(const QString &texto) {
    QString t = texto;
    for (QChar &c : t)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return t;
}

QString primeiraFilial(firebird::Conexao *conexao) {
    firebird::Consulta qryFilial(verificacoes::sqlConsulta(QStringLiteral("qryFilial")));
    qryFilial.setConexao(conexao);
    try {
        qryFilial.abrir();
    } catch (const Erro &e) {
        throw Erro(QStringLiteral("Não foi possível ler a lista de filiais do banco de dados.\rMotivo: ") +
                   e.mensagem());
    }
    return qryFilial.fim() ? QString() : qryFilial.texto(QStringLiteral("codempresa"));
}

}  // namespace

int loteListagem(const QStringList &argumentos) {
    QString filial;
    bool filialInformada = false;
    bool ativos = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        if (argumentos[i] == QLatin1String("--ativos")) {
            ativos = true;
        } else if (argumentos[i] == QLatin1String("--filial") && i + 1 < argumentos.size()) {
            filial = argumentos[++i];
            filialInformada = true;
        } else if (argumentos[i] == QLatin1String("--filial")) {
            return falhar(QStringLiteral("Falta o código da filial depois de --filial.\n") + UsoListagem);
        } else {
            return falhar(QStringLiteral("Argumento inesperado: \"%1\".\n").arg(argumentos[i]) + UsoListagem);
        }
    }
    try {
        firebird::Conexao *conexao = TConexao::Instancia().GetConexao();
        if (!filialInformada) filial = primeiraFilial(conexao);
        const auto variante = ativos ? verificacoes::Variante::ProdutosAtivos : verificacoes::Variante::TodosProdutos;

        firebird::Consulta listagem(verificacoes::sqlConsulta(verificacoes::nomeListagem(variante)));
        listagem.setConexao(conexao);
        verificacoes::abrirComFilial(listagem, filial);
        QString saida = verificacoes::colunasListagem().join(u'\t') + u'\n';
        const int campos = listagem.numeroCampos();
        int pendentes = 0;
        for (; !listagem.fim(); listagem.proximo()) {
            for (int c = 0; c < campos; ++c) {
                if (c) saida += u'\t';
                saida += campo(listagem.texto(c));
            }
            saida += u'\n';
            // Written as it is read: the memory stays that of a block of rows, whatever the
            // catalogue's size.
            if (++pendentes == 2000) {
                escreverSaida(saida);
                saida.clear();
                pendentes = 0;
            }
        }
        listagem.fechar();
        saida += u'\n';

        firebird::Consulta contagens(verificacoes::sqlConsulta(verificacoes::nomeContaOcorrencias(variante)));
        contagens.setConexao(conexao);
        verificacoes::abrirComFilial(contagens, filial);
        for (; !contagens.fim(); contagens.proximo())
            saida += contagens.texto(QStringLiteral("DESC_ERRO")) + u'\t' + contagens.texto(QStringLiteral("QUANTIDADE")) +
                     u'\n';
        contagens.fechar();

        firebird::Consulta total(verificacoes::sqlConsulta(verificacoes::nomeTotal(variante)));
        total.setConexao(conexao);
        verificacoes::abrirComFilial(total, filial);
        saida += QStringLiteral("QTD\t") + total.texto(QStringLiteral("QTD")) + u'\n';
        total.fechar();
        escreverSaida(saida);
        return 0;
    } catch (const Erro &e) {
        return falhar(e.mensagem());
    }
}
