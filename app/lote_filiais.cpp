// quelvora --listar-filiais: the branch list as the window's selector has it, one line per
// branch with its code, a tab and its name, in the order the branch statement returns them.
#include "app/filiais.h"
#include "app/lote.h"
#include "connection/UConexao.h"

int loteListarFiliais(const QStringList &argumentos)
{
    if (!argumentos.isEmpty())
        return falhar(QStringLiteral("O comando --listar-filiais não aceita argumentos (recebeu \"%1\").")
                          .arg(argumentos.join(u' ')));
    try {
        firebird::Consulta qryFilial(SQL_FILIAL);
        qryFilial.setConexao(TConexao::Instancia().GetConexao());
        firebird::Linhas filiais;
        try {
            filiais = firebird::lerTudo(qryFilial);
        } catch (const Erro &e) {
            throw Erro(ERRO_LER_FILIAIS + e.mensagem());
        }
        const int codigo = filiais.indiceCampo(QStringLiteral("codempresa"));
        const int nome = filiais.indiceCampo(QStringLiteral("nomeempresa"));
        QString saida;
        for (const QStringList &linha : filiais.valores)
            saida += linha.value(codigo) + u'\t' + linha.value(nome) + u'\n';
        escreverSaida(saida);
        return 0;
    } catch (const Erro &e) {
        return falhar(e.mensagem());
    }
}
