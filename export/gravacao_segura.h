#pragma once
// Writing a file so that what stood under its name is replaced only by a complete new file.
//
// The new content goes to a temporary file in the same folder (a rename across file systems
// would not be atomic) and takes the name only in concluir(). After a failure, a cancel or a
// crash the old file is untouched and the temporary one is gone (or, after a crash, left
// under a name that is clearly not the user's).
#include "platform/erro/Erro.h"

#include <QString>
#include <memory>

class QTemporaryFile;

class GravacaoSegura {
public:
    // Checks the target and reserves the temporary file. Throws Erro, before anything is
    // written, when the target is a folder or the folder does not exist or takes no files.
    explicit GravacaoSegura(const QString &destino);
    ~GravacaoSegura();  // removes the temporary file unless concluir() succeeded
    GravacaoSegura(const GravacaoSegura &) = delete;
    GravacaoSegura &operator=(const GravacaoSegura &) = delete;

    const QString &destino() const { return destino_; }
    QString arquivoTemporario() const;

    // Flushes the temporary file to disk and renames it over the target. Throws Erro.
    void concluir();

private:
    QString destino_;
    std::unique_ptr<QTemporaryFile> temporario_;
};
