// The rules case by case: one small product per case on a real database, and the exact rows each
// product gets in the listing (both forms of the statement), with the columns the case is about.
#include "checks/catalogo.h"
#include "checks/regras.h"
#include "tests/checks/apoio.h"
#include "tests/fixtures/BancoTemporario.h"

#include <gtest/gtest.h>

#include <QMap>
#include <functional>

using namespace verificacoes;

namespace {

const QString N;  // SQL NULL

struct LinhaEsperada {
    int regra;
    QMap<QString, QString> colunas;  // only the columns the case is about; teste::nulo for null
};

struct Caso {
    const char *nome;
    std::function<void(fixtures::Linha &)> ajustar;
    std::vector<QStringList> csosn;  // {tipopessoa, codcsosn}
    bool perfil;
    const char *filial;
    std::vector<LinhaEsperada> esperadas;
};

const QString &descricao(int regra) { return regras()[regra - 1].descricao; }

std::vector<Caso> casos() {
    using L = fixtures::Linha;
    return {
        {"perfil de imposto nunca listado", [](L &p) { p["codclasfis"] = N; p["baseicmsreg01"] = "150"; }, {{"0", "101"}}, true, "4", {}},
        {"regra 1 CST 000 sem base", [](L &p) { p["baseicmsreg00"] = "0"; }, {}, false, "1",
         {{1, {{"CST", "000"}, {"BASEICMS", "0.000"}, {"ALIQICMS", "18.000"}, {"ALIQECF", "18.000"}, {"CSOSN", ""}}}}},
        {"regra 4 CST 040 com aliquota", [](L &p) { p["codtribut00"] = "040"; }, {}, false, "1",
         {{4, {{"CST", "040"}, {"BASEICMS", "100.000"}, {"ALIQICMS", "18.000"}}}}},
        {"regra 2 bases 120 e 150 mostra 150", [](L &p) { p["baseicmsreg01"] = "120"; p["baseicmsreg03"] = "150"; }, {}, false, "1",
         {{2, {{"BASEICMS", "150.000"}, {"ALIQICMS", ""}, {"ALIQECF", ""}}}}},
        {"regra 3 base reduzida em CST 000", [](L &p) { p["baseicmsreg02"] = "60"; }, {}, false, "1",
         {{3, {{"BASEICMS", "60.000"}, {"CST_REG02", "000"}}}}},
        {"regra 3 nao vale com um CST nulo", [](L &p) { p["baseicmsreg02"] = "60"; p["codtribut03"] = N; }, {}, false, "1", {}},
        {"ST saida com 010 em todos os slots", [](L &p) {
             for (const char *c : {"codtribut00", "codtribut01", "codtribut02", "codtribut03"}) p[c] = "010";
             p["substribsaida"] = "S"; p["codcest"] = N; }, {}, false, "1", {}},
        {"regra 10 com CST 060 no slot 00", [](L &p) {
             for (const char *c : {"codtribut01", "codtribut02", "codtribut03"}) p[c] = "010";
             p["codtribut00"] = "060"; p["substribsaida"] = "S"; p["codcest"] = N; }, {}, false, "1",
         {{4, {}}, {5, {{"STENTRADA", "Não"}}}, {10, {{"STSAIDA", "Sim"}, {"CST", "060"}}}}},
        {"regra 11 com 030 e ST saida N", [](L &p) { p["codtribut02"] = "030"; }, {}, false, "1",
         {{7, {{"CEST", ""}}}, {11, {{"STSAIDA", "Não"}, {"CST_REG02", "030"}}}}},
        {"030 com ST saida S nunca na regra 11", [](L &p) { p["codtribut02"] = "030"; p["substribsaida"] = "S"; }, {}, false, "1",
         {{7, {}}, {10, {{"STSAIDA", "Sim"}}}}},
        {"regra 7 CEST vazio com 060", [](L &p) { p["codtribut00"] = "060"; }, {}, false, "1", {{4, {}}, {5, {}}, {7, {{"CEST", ""}}}}},
        {"CEST nulo com 060 fora da regra 7", [](L &p) { p["codtribut00"] = "060"; p["codcest"] = N; }, {}, false, "1", {{4, {}}, {5, {}}}},
        {"regra 8 so na linha de pessoa fisica", nullptr, {{"0", "101"}, {"1", "101"}}, false, "1",
         {{8, {{"CSOSN", "101"}, {"CST", ""}, {"CST_REG03", ""}}}}},
        {"CSOSN 900 nunca na regra 15", nullptr, {{"1", "900"}}, false, "1", {}},
        {"regra 15 CSOSN 500 com CST 000", nullptr, {{"1", "500"}}, false, "1",
         {{5, {{"STENTRADA", "Não"}, {"CSOSN", "500"}}}, {15, {{"CSOSN", "500"}, {"CST", "000"}}}}},
        {"regra 14 entre slots", [](L &p) { p["codtribut01"] = "020"; }, {}, false, "1",
         {{14, {{"BASEICMS", "100.000"}, {"CST", "000"}, {"CST_REG01", "020"}, {"ALIQICMS", "18.000"}, {"CSOSN", ""}}}}},
        {"regra 13 classificacao inexistente", [](L &p) { p["codclasfis"] = "99"; }, {}, false, "1",
         {{13, {{"CODNCM", teste::nulo}, {"CST", ""}}}}},
        {"duas linhas de CSOSN listadas duas vezes", [](L &p) { p["codclasfis"] = N; }, {{"1", "101"}, {"2", "101"}}, false, "1",
         {{13, {{"CSOSN", "101"}}}, {13, {{"CSOSN", "101"}}}}},
        {"regra 9 filial sem estados", nullptr, {}, false, "4", {{9, {{"ALIQICMS", "18.000"}, {"BASEICMS", ""}}}}},
        {"regra 9 aliquota nula nunca", [](L &p) { p["aliqicmsreg00"] = N; }, {}, false, "4", {}},
        {"regra 9 aliquota do estado da filial", [](L &p) { p["aliqicmsreg00"] = "20"; }, {}, false, "2", {}},
        {"regra 9 aliquota de outro estado", [](L &p) { p["aliqicmsreg00"] = "20"; }, {}, false, "1", {{9, {{"ALIQICMS", "20.000"}}}}},
        {"regras 6 10 e 12 com ST nos dois", [](L &p) { p["substrib"] = "S"; p["substribsaida"] = "S"; }, {}, false, "1",
         {{6, {{"STENTRADA", "Sim"}}}, {10, {{"STSAIDA", "Sim"}}}, {12, {{"STENTRADA", "Sim"}, {"STSAIDA", "Sim"}}}}},
    };
}

class Regras : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        banco = new fixtures::BancoTemporario;
        banco->inserirReferencias();
        banco->inserir("filiais", {"codempresa", "nomeempresa", "estado"}, {{"4", "FILIAL PALMAS", "TO"}});
        std::vector<fixtures::Linha> produtos;
        std::vector<QStringList> csosn, perfil;
        const auto todos = casos();
        for (size_t i = 0; i < todos.size(); ++i) {
            const int codprod = int(i) + 1;
            auto p = fixtures::BancoTemporario::produtoSemInconsistencia(codprod);
            if (todos[i].ajustar) todos[i].ajustar(p);
            produtos.push_back(p);
            for (const QStringList &c : todos[i].csosn) csosn.push_back({QString::number(codprod), c[0], c[1]});
            if (todos[i].perfil) perfil.push_back({"1", QString::number(codprod)});
        }
        banco->inserir("produto", produtos);
        banco->inserir("csosn_prod", {"codprod", "tipopessoa", "codcsosn"}, csosn);
        banco->inserir("perfilimposto_itens", {"codperfil", "codprod"}, perfil);
        conexao = new firebird::Conexao;
        conexao->abrir(banco->parametrosLeitura());
    }
    static void TearDownTestSuite() {
        delete conexao;
        delete banco;
    }
    static teste::Resultado listagem(Variante v, Forma f, const QString &filial) {
        return teste::executar(*conexao, sqlListagem(v, f), filial);
    }
    static inline fixtures::BancoTemporario *banco = nullptr;
    static inline firebird::Conexao *conexao = nullptr;
};

TEST_F(Regras, CadaCasoTemExatamenteAsSuasLinhas) {
    const auto todos = casos();
    for (Forma forma : {Forma::Referencia, Forma::Programa}) {
        for (const char *filial : {"1", "2", "4"}) {
            const auto r = listagem(Variante::TodosProdutos, forma, filial);
            for (size_t i = 0; i < todos.size(); ++i) {
                const Caso &caso = todos[i];
                if (QString(caso.filial) != filial) continue;
                SCOPED_TRACE(std::string(caso.nome) + (forma == Forma::Referencia ? " (referência)" : " (programa)"));
                const QString produto = QString("%1 - PRODUTO %1").arg(i + 1);
                std::vector<QStringList> doProduto;
                for (const QStringList &l : r.linhas)
                    if (l[1] == produto) doProduto.push_back(l);
                ASSERT_EQ(doProduto.size(), caso.esperadas.size());
                // The listing is sorted by description, so the product's rows come in rule order
                // of the descriptions; the expectations are written by rule number.
                std::vector<LinhaEsperada> esperadas = caso.esperadas;
                std::stable_sort(esperadas.begin(), esperadas.end(), [](const auto &a, const auto &b) {
                    return descricao(a.regra) < descricao(b.regra);
                });
                for (size_t k = 0; k < esperadas.size(); ++k) {
                    EXPECT_EQ(doProduto[k][0], descricao(esperadas[k].regra));
                    for (auto it = esperadas[k].colunas.begin(); it != esperadas[k].colunas.end(); ++it)
                        EXPECT_EQ(doProduto[k][r.colunas.indexOf(it.key())], it.value()) << it.key().toStdString();
                    EXPECT_EQ(doProduto[k][2], "BEBIDAS");
                    EXPECT_EQ(doProduto[k][3], "REFRIGERANTES");
                }
            }
        }
    }
}

// Sections in the fixed order, counts that match the listing, a total that matches both.
TEST_F(Regras, ContagensETotalConferemComAListagem) {
    const QList<int> ordem{9, 2, 3, 15, 8, 5, 14, 6, 4, 1, 11, 13, 7, 12, 10};
    for (Forma forma : {Forma::Referencia, Forma::Programa}) {
        for (Variante v : {Variante::TodosProdutos, Variante::ProdutosAtivos}) {
            const auto lista = listagem(v, forma, "4");
            QStringList secoes;
            QMap<QString, int> porRegra;
            for (const QStringList &l : lista.linhas) {
                if (secoes.isEmpty() || secoes.last() != l[0]) secoes << l[0];
                ++porRegra[l[0]];
            }
            QStringList esperado;
            for (int r : ordem) esperado << descricao(r);
            EXPECT_EQ(secoes, esperado);  // every rule has a row in this catalogue, each section once

            const auto contagens = teste::executar(*conexao, sqlContaOcorrencias(v, forma), "4");
            EXPECT_EQ(contagens.colunas, (QStringList{"DESC_ERRO", "QUANTIDADE"}));
            QStringList ordemContagens;
            qint64 soma = 0;
            for (const QStringList &c : contagens.linhas) {
                ordemContagens << c[0];
                EXPECT_EQ(c[1].toInt(), porRegra.value(c[0])) << c[0].toStdString();
                soma += c[1].toLongLong();
            }
            EXPECT_EQ(ordemContagens, esperado);
            const auto total = teste::executar(*conexao, sqlTotal(v, forma), "4");
            ASSERT_EQ(total.linhas.size(), 1u);
            EXPECT_EQ(total.linhas[0][0].toLongLong(), soma);
            EXPECT_EQ(soma, qint64(lista.linhas.size()));
        }
    }
}

TEST(Catalogo, ColunasEParametros) {
    EXPECT_EQ(colunasListagem().size(), 16);
    EXPECT_EQ(nomesConsultas().size(), 8);
    for (const QString &nome : nomesConsultas()) {
        SCOPED_TRACE(nome.toStdString());
        for (Forma f : {Forma::Referencia, Forma::Programa}) {
            firebird::Consulta c(sqlConsulta(nome, f));
            const QStringList esperados = nome == "qryFilial"              ? QStringList{}
                                          : nome == "qryFilialSelecionada" ? QStringList{"pcodempresa"}
                                                                           : QStringList{"pCODEMPRESA"};
            EXPECT_EQ(c.nomesParametros(), esperados);
        }
    }
    EXPECT_THROW(sqlConsulta("qryOutra"), Erro);
}

}  // namespace
