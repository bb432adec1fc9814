#pragma once
// The two branch statements of the main window, shared with batch mode.
#include <QString>

inline const QString SQL_FILIAL = QStringLiteral("select filiais.codempresa, filiais.nomeempresa from filiais");
inline const QString SQL_FILIAL_SELECIONADA =
    QStringLiteral("select filiais.nomeempresa from filiais where filiais.codempresa = :pcodempresa");

// What a failed read of the branch list says before the database's own reason.
inline const QString ERRO_LER_FILIAIS = QStringLiteral("Não foi possível ler a lista de filiais do banco de dados.\rMotivo: ");
