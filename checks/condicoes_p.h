#pragma once
// Turns a rule's literal condition into an equivalent one over per-row code classes, for the
// statement the program runs. Internal to checks/.
//
// Every CST slot and the CSOSN of a joined row are first classified once into a single bit: the
// one tested ending the code has (a code has one last two or three characters, so at most one
// tested ending), or "empty text", or "other", and 0 for null. Every test the rules make on a
// code ("like '%60'", "not like '%60'", "<> ''", "is not null") is then membership of that bit in
// a set, and tests on one code joined by "and" are one membership in the intersection.
//
// Nulls: the literal conditions are "and"/"or" of tests, without a negated group, so a condition
// is true exactly when it is true with every null test taken as false; a membership test is
// never null and true exactly when the literal test is true.
#include <QString>
#include <QStringList>

namespace verificacoes::interno {

// Endings with their bits, then the two extra classes.
const QStringList &finaisCst();
const QStringList &finaisCsosn();
int bitVazio();  // the empty text
int bitOutro();  // any other non-null code

// The classification expression of one code column (bits as above, 0 for null).
QString classificacao(const QString &coluna, const QStringList &finais);

// Names of the class columns in the derived table "e": FB00..FB03 and GB.
QString nomeClasseSlot(const QString &slot);
QString nomeClasseCsosn();

// The condition over "e": alternatives (each a conjunction of literal tests) joined by "or",
// with common tests taken out, tests on one code merged, and the same ending test on all four
// slots asked once on their union. Code columns become class tests; every other column
// reference is left as written for the caller to rename. Throws Erro for a test it cannot
// classify (a programming error in the rule table).
QString condicaoPorClasses(const QStringList &alternativas);

}  // namespace verificacoes::interno
