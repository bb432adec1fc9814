// Bad input: a database of another ERP version without a table or column the checks read, and a
// branch code the database cannot take. Either way a Portuguese message that names the problem,
// with the database's own message as the reason, and a connection that goes on working.
#include "checks/catalogo.h"
#include "checks/esquema.h"
#include "tests/checks/apoio.h"
#include "tests/fixtures/BancoTemporario.h"

#include <gtest/gtest.h>

using namespace verificacoes;

namespace {

QString erroAoAbrir(firebird::Conexao &conexao, const QString &sql, const QString &filial) {
    try {
        teste::executar(conexao, sql, filial);
    } catch (const Erro &e) {
        return e.mensagem();
    }
    return {};
}

void umProdutoComAliquota(fixtures::BancoTemporario &banco) {
    banco.inserirReferencias();
    banco.inserir("produto", {fixtures::BancoTemporario::produtoSemInconsistencia(1)});
}

TEST(Esquema, BancoCompletoNaoTemFaltantes) {
    fixtures::BancoTemporario banco;
    firebird::Conexao conexao;
    conexao.abrir(banco.parametrosLeitura());
    EXPECT_EQ(faltantesNoBanco(conexao), QStringList{});
}

TEST(Esquema, TabelaEColunaFaltandoSaoNomeadas) {
    fixtures::BancoTemporario banco;
    umProdutoComAliquota(banco);
    banco.executar("alter table produto drop codcest");
    banco.executar("drop table perfilimposto_itens");
    firebird::Conexao conexao;
    conexao.abrir(banco.parametrosLeitura());
    EXPECT_EQ(faltantesNoBanco(conexao), (QStringList{"coluna produto.codcest", "tabela perfilimposto_itens"}));

    for (const QString &nome : nomesConsultas().mid(2)) {
        for (Forma f : {Forma::Referencia, Forma::Programa}) {
            SCOPED_TRACE((nome + (f == Forma::Referencia ? " referência" : " programa")).toStdString());
            const QString erro = erroAoAbrir(conexao, sqlConsulta(nome, f), "1");
            EXPECT_TRUE(erro.startsWith("A base de dados não tem o que a verificação das tributações lê "
                                        "(coluna produto.codcest, tabela perfilimposto_itens)"))
                << erro.toStdString();
            // The database's reason follows, whatever it found first.
            const qsizetype motivo = erro.indexOf("\rMotivo: ");
            ASSERT_GT(motivo, 0);
            EXPECT_TRUE(erro.mid(motivo).contains("PERFILIMPOSTO_ITENS") || erro.mid(motivo).contains("CODCEST"))
                << erro.toStdString();
        }
    }
    // The failure leaves the connection usable.
    EXPECT_EQ(teste::executar(conexao, sqlConsulta("qryFilial"), {}).linhas.size(), 3u);
}

TEST(Esquema, CodigoDeFilialInvalido) {
    fixtures::BancoTemporario banco;
    umProdutoComAliquota(banco);
    firebird::Conexao conexao;
    conexao.abrir(banco.parametrosLeitura());
    struct {
        const char *codigo;
        const char *inicio;
    } const casos[] = {
        {"", "Nenhuma filial selecionada: o código da filial está vazio.\rMotivo: "},
        {"abc", "Código de filial inválido: \"abc\" não é um número.\rMotivo: "},
        {"1;2", "Código de filial inválido: \"1;2\" não é um número.\rMotivo: "},
    };
    for (const auto &c : casos) {
        for (const QString nome : {"qryFilialSelecionada", "qryListagem", "qryContaOcorrenciasProdAtivos", "qryQTD"}) {
            for (Forma f : {Forma::Referencia, Forma::Programa}) {
                SCOPED_TRACE((nome + " [" + c.codigo + "]").toStdString());
                const QString erro = erroAoAbrir(conexao, sqlConsulta(nome, f), c.codigo);
                EXPECT_TRUE(erro.startsWith(QString::fromUtf8(c.inicio))) << erro.toStdString();
                EXPECT_GT(erro.size(), QString::fromUtf8(c.inicio).size());  // the database's reason
            }
        }
    }
    // A code the database converts is taken as it is.
    const auto nome = teste::executar(conexao, sqlConsulta("qryFilialSelecionada"), " 2 ");
    ASSERT_EQ(nome.linhas.size(), 1u);
    EXPECT_EQ(nome.linhas[0][0], "FILIAL RIO DE JANEIRO");
}

}  // namespace
