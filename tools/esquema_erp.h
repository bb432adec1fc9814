#pragma once
// The ERP's product catalogue tables as the checks read them: the demo generator and the test
// fixtures build their databases from this one definition.
#include "platform/firebird/BancoFirebird.h"

#include <QStringList>

namespace ferramentas {

// Creates the eight tables with their keys and indexes on a writing connection to an empty
// database. Like a real ERP, the product's references to group, sub-group and fiscal
// classification carry no foreign key, so a product may name rows that do not exist.
void criarEsquemaErp(firebird::Conexao &conexao);

// The same in two steps, for filling many rows in between: an index built once over loaded
// rows costs less than one kept up to date row by row.
void criarTabelasErp(firebird::Conexao &conexao);
void criarIndicesErp(firebird::Conexao &conexao);

// The tables in an order in which rows can be inserted (referenced tables first).
QStringList tabelasErp();

}  // namespace ferramentas
