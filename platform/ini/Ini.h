#pragma once
// Reading of the ERP's settings files with the rules its own programs use: section and key
// names match without regard to case, a missing section or key reads as the empty text, and a
// value is everything after the first '=' exactly as written (blanks included), because encoded
// credentials are decoded character by character and a trimmed blank would change them.
// QSettings is deliberately not used: it rewrites values (quotes, escapes, lists).
//
// The files come from Windows machines as often as from Linux ones: text that is valid UTF-8
// is read as UTF-8 (a leading byte-order mark dropped), anything else as code page 1252.
#include "platform/erro/Erro.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ini {

class ArquivoIni {
public:
    // Throws Erro with a Portuguese text when the file cannot be read.
    static ArquivoIni ler(const QString &caminho);
    static ArquivoIni deTexto(const QString &texto);

    bool temSecao(const QString &secao) const;
    QString valor(const QString &secao, const QString &chave) const;

    // The section's lines in file order, as written: every line up to the next section header
    // that is neither blank nor a ';' comment, with or without an '='.
    QStringList linhas(const QString &secao) const;

private:
    struct Secao {
        QString nome;
        QStringList linhas;
    };
    const Secao *secao(const QString &nome) const;
    std::vector<Secao> secoes_;
};

// The first line of a text file without its line break; the empty text for an empty file.
// Throws Erro with a Portuguese text when the file cannot be read.
QString lerPrimeiraLinha(const QString &caminho);

// The whole file as text (UTF-8 when valid, else code page 1252). Throws Erro when unreadable.
QString lerTexto(const QString &caminho);

}  // namespace ini
