// The statements the program runs against the literal ones, on random catalogues built to hit
// every corner the rules have: nulls and empty texts in every tested column, codes that end in
// a tested ending only after a pad or a leading digit, several CSOSN rows per product, products
// of a tax profile, inactive products, references to missing rows, and branches whose state has
// no rate, one rate or (schema without the state key) several.
#include "checks/catalogo.h"
#include "tests/checks/apoio.h"
#include "tests/fixtures/BancoTemporario.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace verificacoes;

namespace {

class Sorteio {
public:
    explicit Sorteio(unsigned semente) : gerador_(semente) {}
    template <typename T> const T &de(const std::vector<T> &opcoes) {
        return opcoes[std::uniform_int_distribution<size_t>(0, opcoes.size() - 1)(gerador_)];
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(gerador_); }
    int ate(int n) { return std::uniform_int_distribution<int>(0, n)(gerador_); }

private:
    std::mt19937 gerador_;
};

const QString N;  // SQL NULL

// A code chosen mostly among the ones the rules know, now and then an odd one.
const std::vector<QString> csts{N, "", "000", "010", "020", "030", "040", "041", "050", "051", "060", "070",
                                "090", "00", "60", "0060", "20", "200", "170", "6", "X10"};
const std::vector<QString> csosns{N, "", "101", "102", "103", "201", "202", "203", "300", "400", "500",
                                  "900", "0500", "1101", "50", "5"};
const std::vector<QString> bases{N, "0", "0", "50", "61.1111", "99.9999", "100", "100", "100", "100.0001", "120",
                                 "150", "-5"};
const std::vector<QString> aliquotas{N, "0", "7", "12", "17", "18", "18", "19.5", "20", "20.5", "25"};
const std::vector<QString> flags{N, "S", "N", "S", "N", "s", "X"};
const std::vector<QString> cests{N, "", "", "0100100", " "};
const std::vector<QString> ativos{N, "S", "S", "S", "N", ""};

void preencher(fixtures::BancoTemporario &banco, unsigned semente, int produtos, bool variasAliquotasPorEstado) {
    Sorteio s(semente);
    banco.inserir("gruprod", {"codgrupo", "descricao"}, {{"1", "BEBIDAS"}, {"2", "MERCEARIA"}, {"3", N}});
    banco.inserir("subgrup", {"codgrupo", "codsubgrupo", "descricao"},
                  {{"1", "1", "REFRIGERANTES"}, {"1", "2", "SUCOS E NÉCTARES"}, {"2", "1", "GRÃOS"}});
    banco.inserir("clasfisc", {"codclasfis", "codigoncm"}, {{"1", "22021000"}, {"2", ""}, {"3", N}, {"4", "07133399"}});
    std::vector<QStringList> estados{{"SP", "18"}, {"RJ", "20"}, {"MG", "18"}, {"PR", "19.5"}, {"BA", N}};
    if (variasAliquotasPorEstado) {
        banco.executar("alter table estados drop constraint pk_estados");
        estados.insert(estados.end(), {{"SP", "12"}, {"SP", "7"}, {"SP", "18.0"}, {"RJ", "17"}, {"RJ", "20"}});
    }
    banco.inserir("estados", {"estado", "aliqicm"}, estados);
    banco.inserir("filiais", {"codempresa", "nomeempresa", "estado"},
                  {{"1", "MATRIZ SÃO PAULO", "SP"}, {"2", "FILIAL RIO", "RJ"}, {"3", "FILIAL CURITIBA", "PR"},
                   {"4", "FILIAL SALVADOR", "BA"}, {"5", "FILIAL MANAUS", "AM"}, {"6", "SEM ESTADO", N}});

    std::vector<fixtures::Linha> linhas;
    std::vector<QStringList> csosnProd, perfil;
    for (int i = 0; i < produtos; ++i) {
        // Codes 1..n written in a scattered order so that text order differs from number order.
        const int codprod = (i * 37) % produtos + 1;
        fixtures::Linha p;
        p["codprod"] = QString::number(codprod);
        p["descricao"] = s.chance(0.1) ? QString("PÃO D'ÁGUA %1").arg(s.ate(3)) : QString("PRODUTO %1").arg(s.ate(5));
        p["codgrupo"] = s.de<QString>({N, "1", "2", "3", "9"});
        p["codsubgrupo"] = s.de<QString>({N, "1", "2"});
        p["codclasfis"] = s.de<QString>({N, "1", "2", "3", "4", "9"});
        for (const char *slot : {"00", "01", "02", "03"}) {
            p[QString("codtribut") + slot] = s.de(csts);
            p[QString("baseicmsreg") + slot] = s.de(bases);
        }
        p["aliqicmsreg00"] = s.de(aliquotas);
        p["aliqicmspdv"] = s.de(aliquotas);
        p["substrib"] = s.de(flags);
        p["substribsaida"] = s.de(flags);
        p["codcest"] = s.de(cests);
        p["ativo"] = s.de(ativos);
        linhas.push_back(p);
        // tipopessoa is part of the key: at most one row per kind of person.
        for (const char *tipo : {"0", "1", "2"})
            if (s.chance(0.45)) csosnProd.push_back({QString::number(codprod), tipo, s.de(csosns)});
        if (s.chance(0.1)) perfil.push_back({"1", QString::number(codprod)});
    }
    banco.inserir("produto", linhas);
    banco.inserir("csosn_prod", {"codprod", "tipopessoa", "codcsosn"}, csosnProd);
    banco.inserir("perfilimposto_itens", {"codperfil", "codprod"}, perfil);
}

struct Configuracao {
    const char *nome;
    unsigned primeiraSemente;
    int sementes;
    int produtos;
    bool variasAliquotasPorEstado;
};

class Equivalencia : public ::testing::TestWithParam<Configuracao> {};

TEST_P(Equivalencia, ProgramaIgualAReferenciaEmTodasAsFiliaisEVariantes) {
    const Configuracao c = GetParam();
    for (unsigned semente = c.primeiraSemente; semente < c.primeiraSemente + c.sementes; ++semente) {
        SCOPED_TRACE(QString("semente %1").arg(semente).toStdString());
        fixtures::BancoTemporario banco;
        preencher(banco, semente, c.produtos, c.variasAliquotasPorEstado);
        firebird::Conexao conexao;
        conexao.abrir(banco.parametrosLeitura());
        // Each statement prepared once per catalogue and re-run per branch, as the window does.
        struct Par {
            const char *nome;
            std::unique_ptr<firebird::Consulta> referencia, programa;
            bool listagem;
        };
        std::vector<Par> pares;
        for (Variante v : {Variante::TodosProdutos, Variante::ProdutosAtivos}) {
            auto par = [&](const char *nome, QString (*sql)(Variante, Forma), bool listagem) {
                Par p{nome, std::make_unique<firebird::Consulta>(sql(v, Forma::Referencia)),
                      std::make_unique<firebird::Consulta>(sql(v, Forma::Programa)), listagem};
                p.referencia->setConexao(&conexao);
                p.programa->setConexao(&conexao);
                pares.push_back(std::move(p));
            };
            par(v == Variante::ProdutosAtivos ? "listagem ativos" : "listagem", sqlListagem, true);
            par(v == Variante::ProdutosAtivos ? "contagens ativos" : "contagens", sqlContaOcorrencias, false);
            par(v == Variante::ProdutosAtivos ? "total ativos" : "total", sqlTotal, false);
        }
        int linhasVistas = 0;
        // Three of the six branches per seed, rotating, so that the seeds together cover all.
        for (int k = 0; k < 3; ++k) {
            const QString filial = QString::number((semente + 2 * k) % 6 + 1);
            for (Par &p : pares) {
                SCOPED_TRACE(QString("filial %1, %2").arg(filial, p.nome).toStdString());
                const auto ref = teste::executar(*p.referencia, filial);
                const auto prog = teste::executar(*p.programa, filial);
                const QString diferenca =
                    p.listagem ? teste::diferencaListagem(ref, prog) : teste::diferencaExata(ref, prog);
                EXPECT_EQ(diferenca.toStdString(), "");
                if (p.listagem) linhasVistas += int(ref.linhas.size());
            }
        }
        // A catalogue where nothing is listed would prove nothing.
        EXPECT_GT(linhasVistas, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CatalogosSorteados, Equivalencia,
    ::testing::Values(Configuracao{"um_estado_uma_aliquota", 1, 6, 70, false},
                      Configuracao{"estados_com_varias_aliquotas", 101, 2, 70, true}),
    [](const auto &info) { return std::string(info.param.nome); });

// Where the engine could itself tell the two forms apart: a catalogue whose only products are
// of a tax profile, or inactive, or absent, lists nothing, counts nothing and totals null.
TEST(Equivalencia, CatalogoSemLinhas) {
    fixtures::BancoTemporario banco;
    banco.inserirReferencias();
    auto perfil = fixtures::BancoTemporario::produtoSemInconsistencia(1);
    perfil["codclasfis"] = N;  // would break rule 13 if it were checked
    auto inativo = fixtures::BancoTemporario::produtoSemInconsistencia(2);
    inativo["codclasfis"] = N;
    inativo["ativo"] = "N";
    banco.inserir("produto", {perfil, inativo});
    banco.inserir("perfilimposto_itens", {"codperfil", "codprod"}, {{"1", "1"}});
    firebird::Conexao conexao;
    conexao.abrir(banco.parametrosLeitura());
    for (Forma f : {Forma::Referencia, Forma::Programa}) {
        SCOPED_TRACE(f == Forma::Referencia ? "referencia" : "programa");
        const auto v = Variante::ProdutosAtivos;
        EXPECT_TRUE(teste::executar(conexao, sqlListagem(v, f), "1").linhas.empty());
        EXPECT_TRUE(teste::executar(conexao, sqlContaOcorrencias(v, f), "1").linhas.empty());
        const auto total = teste::executar(conexao, sqlTotal(v, f), "1");
        ASSERT_EQ(total.linhas.size(), 1u);
        EXPECT_EQ(total.colunas, QStringList{"QTD"});
        EXPECT_EQ(total.linhas[0][0], teste::nulo);
    }
}

}  // namespace
