#pragma once
// What the checks read of the ERP database, and opening a catalogue statement so that its
// failures speak Portuguese: another ERP version without a table or column, or a branch code the
// database cannot take.
#include "platform/firebird/BancoFirebird.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace verificacoes {

// Every table the statements name, with the columns they name, in lower case.
const std::vector<std::pair<QString, QStringList>> &esquemaLido();

// What of esquemaLido() the database lacks, as "tabela X" and "coluna X.Y"; empty when all is
// there. Reads the database's own catalogue on the given connection.
QStringList faltantesNoBanco(firebird::Conexao &conexao);

// Closes the query, sets its branch parameter (whichever of the two names it has) to the code
// and opens it again. A failure throws Erro with a Portuguese explanation followed by
// "\rMotivo: " and the database's message: what is missing from the schema, or that the branch
// code is not valid; any other failure is passed on unchanged.
void abrirComFilial(firebird::Consulta &consulta, const QString &codigoFilial);

}  // namespace verificacoes
