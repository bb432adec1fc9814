#pragma once
// The program writes its statements with named parameters (":pCODEMPRESA"); the server only
// knows positional markers. This turns one into the other.
#include <QString>
#include <QStringList>

namespace firebird {

struct SqlPosicional {
    QString sql;          // every named parameter replaced by '?'
    QStringList posicoes;  // the name at each marker, as written; a name may repeat
};

// Colons inside quoted text ('...', "..."), line comments (--) and block comments are left
// alone: a time literal or a commented-out parameter must not become a marker.
SqlPosicional converterParametrosNomeados(const QString &sql);

}  // namespace firebird
