#pragma once
// The fifteen tax-registration rules, defined once. Every statement of the catalogue (listing,
// counts, total and their active-products twins, both the literal and the restructured forms)
// is derived from this table, so a rule can only change in one place.
#include <QString>
#include <QStringList>
#include <array>

namespace verificacoes {

// Which ICMS base a rule shows in BASEICMS.
enum class BaseMostrada {
    Nenhuma,       // the empty text
    Slot00,        // round(produto.baseicmsreg00,3)
    MaiorAcima100, // largest of the four slot bases above 100
    MaiorAbaixo100,// largest of the four slot bases strictly below 100
    MaiorIgual100, // largest of the four slot bases equal to 100
};

// How a rule shows one of the ST flags.
enum class FlagMostrada {
    Nenhuma,   // the empty text
    SoNao,     // "Não" when the flag is "N", null otherwise
    SoSim,     // "Sim" when the flag is "S", null otherwise
    Texto,     // "N" -> "Não", "S" -> "Sim", anything else null
};

struct Regra {
    int numero;          // 1..15, the block order of the listing
    QString descricao;   // DESC_ERRO, the only link between listing, counts, report and workbook
    // The rule's condition as alternatives joined by "or"; each alternative is a conjunction.
    // The tax-profile exclusion is put in front of every alternative by the statement builder.
    QStringList alternativas;
    bool mostraSlots;    // CST, CST_REG01..03 carry the slot codes, otherwise the empty text
    bool mostraCsosn;
    BaseMostrada base;
    bool mostraAliquotas;  // ALIQICMS and ALIQECF
    bool mostraCest;
    FlagMostrada stEntrada;
    FlagMostrada stSaida;
};

const std::array<Regra, 15> &regras();

// The result columns of the listing, in their order.
const QStringList &colunasListagem();

}  // namespace verificacoes
