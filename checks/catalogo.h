#pragma once
// The statement catalogue: the eight fixed read-only statements of the checks, by name.
//
// Two forms exist of each of the six rule statements. The literal form (fifteen blocks joined by
// "UNION ALL", each with its own "not in" sub-queries) is the reference that defines the result.
// The form the program runs reads the joined product rows once, decides all fifteen rules on
// each of them and expands the offending rows by rule; it yields the same rows, column texts and
// order, which tests/checks proves on generated catalogues. Both are derived from regras().
#include <QString>
#include <QStringList>

namespace verificacoes {

enum class Variante { TodosProdutos, ProdutosAtivos };
enum class Forma { Referencia, Programa };

// The parameter names, exactly as the statements spell them.
inline const QString parametroFilial = QStringLiteral("pCODEMPRESA");
inline const QString parametroFilialSelecionada = QStringLiteral("pcodempresa");

// "qryFilial", "qryFilialSelecionada", "qryListagem", "qryListagemProdAtivos",
// "qryContaOcorrencias", "qryContaOcorrenciasProdAtivos", "qryQTD", "qryQTDAtivos".
const QStringList &nomesConsultas();

// The statement the program runs under that name. Throws Erro for an unknown name.
QString sqlConsulta(const QString &nome);
// The same in the chosen form (the two branch statements have only one form).
QString sqlConsulta(const QString &nome, Forma forma);

QString sqlListagem(Variante variante, Forma forma);
QString sqlContaOcorrencias(Variante variante, Forma forma);
QString sqlTotal(Variante variante, Forma forma);

// The names of the three statements an output uses for the chosen variant.
QString nomeListagem(Variante variante);
QString nomeContaOcorrencias(Variante variante);
QString nomeTotal(Variante variante);

// One plain pass over the four joins with the tax-profile exclusion: the least work any rule
// statement must do. Used by the benchmark as its yardstick.
QString sqlPisoContagem(Variante variante);

}  // namespace verificacoes
