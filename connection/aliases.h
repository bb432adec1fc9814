#pragma once
// Our named-alias store, standing in for a database engine's alias configuration: an INI file
// whose section is the alias name and whose lines are its parameter lines, in order
// ("SERVER NAME=servidor:/dados/erp.fdb", "USER NAME=SYSDBA", ...).
//
// It lives at quelvora/aliases.ini in the user's configuration folder ($XDG_CONFIG_HOME,
// normally ~/.config) or, machine-wide, in a folder of $XDG_CONFIG_DIRS (normally /etc/xdg);
// the first one found is used.
#include <QString>
#include <QStringList>

// Empty when no store exists.
QString localizarArquivoAliases();

// The parameter lines of Alias. Throws Erro (Portuguese) when the store is missing or
// unreadable, or the alias is absent or has no lines. Empty Arquivo: the store above.
QStringList parametrosAlias(const QString &alias, const QString &arquivo = {});
