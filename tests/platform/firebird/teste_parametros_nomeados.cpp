#include "platform/firebird/parametros_nomeados.h"

#include <gtest/gtest.h>

using firebird::converterParametrosNomeados;

TEST(ParametrosNomeados, MarcadoresSoForaDeTextoEComentarios) {
    struct Caso {
        const char *nome;
        QString sql;
        QString esperado;
        QStringList posicoes;
    };
    const Caso casos[] = {
        {"um parâmetro", u"select * from filiais where codempresa = :pcodempresa"_qs,
         u"select * from filiais where codempresa = ?"_qs, {u"pcodempresa"_qs}},
        {"repetido e grafias diferentes", u"where a = :pCODEMPRESA or b = :pcodempresa"_qs,
         u"where a = ? or b = ?"_qs, {u"pCODEMPRESA"_qs, u"pcodempresa"_qs}},
        {"dentro de texto", u"select ':p1', 'it''s :p2' from t where x = :p3"_qs,
         u"select ':p1', 'it''s :p2' from t where x = ?"_qs, {u"p3"_qs}},
        {"identificador entre aspas", u"select \"a:b\" from t"_qs, u"select \"a:b\" from t"_qs, {}},
        {"comentário de linha", u"select 1 -- :p1\nfrom t where a=:p2"_qs,
         u"select 1 -- :p1\nfrom t where a=?"_qs, {u"p2"_qs}},
        {"comentário de bloco", u"select /* :p1 */ 1 from t where a=:p_2$x)"_qs,
         u"select /* :p1 */ 1 from t where a=?)"_qs, {u"p_2$x"_qs}},
        {"dois-pontos sem nome", u"select a : b, c from t where d=:1"_qs,
         u"select a : b, c from t where d=:1"_qs, {}},
        {"texto sem fim não se perde", u"select 'abc :p1"_qs, u"select 'abc :p1"_qs, {}},
    };
    for (const Caso &c : casos) {
        const auto r = converterParametrosNomeados(c.sql);
        EXPECT_EQ(r.sql, c.esperado) << c.nome;
        EXPECT_EQ(r.posicoes, c.posicoes) << c.nome;
    }
}
