#pragma once
// Shared by the checks' tests: running a catalogue statement on a real database and reading its
// whole result as text, nulls told apart from the empty text.
#include "checks/catalogo.h"
#include "platform/firebird/BancoFirebird.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace teste {

inline const QString nulo = QStringLiteral("<null>");

struct Resultado {
    QStringList colunas;
    std::vector<QStringList> linhas;  // every field as text; a null field is teste::nulo
};

Resultado executar(firebird::Conexao &conexao, const QString &sql, const QString &codigoFilial);
// Closes, binds, opens and reads an existing query (prepared once, however often it runs).
Resultado executar(firebird::Consulta &consulta, const QString &codigoFilial);

// Same rows with the same texts in the same order, except that rows tying on the first two
// columns (one rule, one product: the product's several CSOSN rows) may come in any order among
// themselves. Returns an empty text when equal, otherwise the first difference.
QString diferencaListagem(const Resultado &referencia, const Resultado &programa);

// Exactly equal, row by row. Empty when equal.
QString diferencaExata(const Resultado &referencia, const Resultado &programa);

}  // namespace teste
