#include "checks/esquema.h"

#include "checks/catalogo.h"

namespace verificacoes {

const std::vector<std::pair<QString, QStringList>> &esquemaLido() {
    static const std::vector<std::pair<QString, QStringList>> tabelas{
        {"produto",
         {"codprod", "descricao", "codgrupo", "codsubgrupo", "codclasfis", "codtribut00", "codtribut01",
          "codtribut02", "codtribut03", "baseicmsreg00", "baseicmsreg01", "baseicmsreg02", "baseicmsreg03",
          "aliqicmsreg00", "aliqicmspdv", "substrib", "substribsaida", "codcest", "ativo"}},
        {"gruprod", {"codgrupo", "descricao"}},
        {"subgrup", {"codsubgrupo", "codgrupo", "descricao"}},
        {"csosn_prod", {"codprod", "codcsosn", "tipopessoa"}},
        {"clasfisc", {"codclasfis", "codigoncm"}},
        {"perfilimposto_itens", {"codprod"}},
        {"estados", {"estado", "aliqicm"}},
        {"filiais", {"codempresa", "nomeempresa", "estado"}},
    };
    return tabelas;
}

QStringList faltantesNoBanco(firebird::Conexao &conexao) {
    firebird::Consulta consulta(QStringLiteral(
        "select trim(r.rdb$relation_name) TABELA, trim(f.rdb$field_name) COLUNA from rdb$relations r "
        "left join rdb$relation_fields f on f.rdb$relation_name = r.rdb$relation_name "
        "where r.rdb$system_flag = 0 or r.rdb$system_flag is null"));
    consulta.setConexao(&conexao);
    consulta.abrir();
    QStringList tabelas, colunas;
    for (; !consulta.fim(); consulta.proximo()) {
        const QString tabela = consulta.texto(QStringLiteral("TABELA")).toLower();
        if (!tabelas.contains(tabela)) tabelas << tabela;
        colunas << tabela + '.' + consulta.texto(QStringLiteral("COLUNA")).toLower();
    }
    consulta.fechar();

    QStringList faltantes;
    for (const auto &[tabela, nomes] : esquemaLido()) {
        if (!tabelas.contains(tabela)) {
            faltantes << QStringLiteral("tabela ") + tabela;
            continue;
        }
        for (const QString &c : nomes)
            if (!colunas.contains(tabela + '.' + c)) faltantes << QStringLiteral("coluna ") + tabela + '.' + c;
    }
    return faltantes;
}

namespace {

bool codigoNumerico(const QString &codigo) {
    bool ok = false;
    codigo.trimmed().toLongLong(&ok);
    return ok;
}

}  // namespace

void abrirComFilial(firebird::Consulta &consulta, const QString &codigoFilial) {
    consulta.fechar();
    for (const QString &nome : consulta.nomesParametros())
        if (nome.compare(parametroFilial, Qt::CaseInsensitive) == 0) consulta.setParametro(nome, codigoFilial);
    try {
        consulta.abrir();
    } catch (const Erro &erro) {
        const QString motivo = QStringLiteral("\rMotivo: ") + erro.mensagem();
        QStringList faltantes;
        if (consulta.conexao() && consulta.conexao()->conectada()) {
            try {
                faltantes = faltantesNoBanco(*consulta.conexao());
            } catch (const Erro &) {
                // The catalogue could not be read either: the original failure says more.
            }
        }
        if (!faltantes.isEmpty())
            throw Erro(QStringLiteral("A base de dados não tem o que a verificação das tributações lê (") +
                       faltantes.join(QStringLiteral(", ")) +
                       QStringLiteral("); pode ser de outra versão do sistema.") + motivo);
        if (!consulta.nomesParametros().isEmpty() && !codigoNumerico(codigoFilial))
            throw Erro((codigoFilial.trimmed().isEmpty()
                            ? QStringLiteral("Nenhuma filial selecionada: o código da filial está vazio.")
                            : QStringLiteral("Código de filial inválido: \"") + codigoFilial +
                                  QStringLiteral("\" não é um número.")) +
                       motivo);
        throw;
    }
}

}  // namespace verificacoes
