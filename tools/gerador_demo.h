#pragma once
// The demo ERP database: a supermarket catalogue with the registration mistakes a real one
// carries, for trying the program without an ERP at hand.
#include <QString>
#include <cstdint>

namespace ferramentas {

struct OpcoesDemo {
    int produtos = 5000;
    std::uint64_t semente = 1;
};

struct ResumoDemo {
    int produtos = 0;
    int comInconsistencia = 0;  // products given at least one mistake (tax-profile ones included)
    int linhasCsosn = 0;
    int noPerfil = 0;
    int inativos = 0;
    int filiais = 0;
};

// Creates the file and fills it; the same options give the same rows. Refuses an existing
// file and leaves nothing behind on failure: the database is built under a temporary name in
// the same folder and takes its name only when complete. Throws Erro.
ResumoDemo gerarBaseDemo(const QString &arquivo, const OpcoesDemo &opcoes);

}  // namespace ferramentas
