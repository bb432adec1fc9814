#pragma once
#include <QString>

class TFuncoes {
public:
    // Replaces the last occurrence of Antigo first, again and again, until Antigo no longer
    // occurs; a replacement may therefore join two halves into a new occurrence, which goes
    // too ("aabb" without "ab" is ""). Novo must not contain Antigo, or this would not end;
    // an empty Antigo, or one equal to Novo, returns the text unchanged.
    static QString Substituir(QString Texto, const QString &Antigo, const QString &Novo);
};
