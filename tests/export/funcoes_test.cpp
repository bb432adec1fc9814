#include "export/UClassFuncoes.h"
#include "export/nome_planilha.h"
#include "tests/export/impressao_qstring.h"

#include <gtest/gtest.h>

namespace {

TEST(Substituir, UltimaOcorrenciaPrimeiroAteNaoRestarNenhuma) {
    struct Caso {
        const char *texto, *antigo, *novo, *esperado;
    } casos[] = {
        {"08/12/2026 21:26:42", "/", "", "08122026 21:26:42"},
        {"08122026 21:26:42", ":", "", "08122026 212642"},
        {"sem nada", "/", "", "sem nada"},
        // Removing one occurrence joins its neighbours into a new one, which goes too.
        {"aabb", "ab", "", ""},
        {"xaabby", "ab", "-", "xa-by"},
        {"a.b.c", ".", "::", "a::b::c"},
        {"igual", "g", "g", "igual"},
        {"", "/", "", ""},
        {"texto", "", "x", "texto"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(TFuncoes::Substituir(QString::fromUtf8(c.texto), QString::fromUtf8(c.antigo),
                                       QString::fromUtf8(c.novo)),
                  QString::fromUtf8(c.esperado));
    }
}

TEST(NomePadraoPlanilha, DataEHoraSemBarrasNemDoisPontos) {
    const QDateTime momento(QDate(2026, 12, 8), QTime(21, 26, 42));
    EXPECT_EQ(NomePadraoPlanilha(QStringLiteral("1"), momento, QLocale(QLocale::Portuguese, QLocale::Brazil)),
              QStringLiteral("Relatório de Inconsistências Tributárias - Filial 1 - 08122026 212642.xlsx"));
    // With another setting the date comes in that setting's order, still without separators.
    const QString outro = NomePadraoPlanilha(QStringLiteral("12"), momento, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(outro, QStringLiteral("Relatório de Inconsistências Tributárias - Filial 12 - 12826 92642 PM.xlsx"));
    // An empty branch list gives an empty code, which still makes a usable name.
    EXPECT_TRUE(NomePadraoPlanilha(QString(), momento).startsWith(QStringLiteral("Relatório de Inconsistências Tributárias - Filial  - ")));
}

}  // namespace
