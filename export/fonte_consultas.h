#pragma once
// The workbook's rows read from the three opened queries of an output: listing, counts, total.
#include "export/planilha_inconsistencias.h"
#include "platform/firebird/BancoFirebird.h"

class FonteConsultas : public FonteInconsistencias {
public:
    // The queries must be open; they are read forward from where they stand and stay open.
    FonteConsultas(firebird::Consulta &listagem, firebird::Consulta &contagens, firebird::Consulta &total);

    bool proximaLinha(LinhaListagem &linha) override;
    bool proximaContagem(QString &descricao, QString &quantidade) override;
    qint64 totalOcorrencias() override;

private:
    firebird::Consulta &listagem_, &contagens_, &total_;
    std::array<int, ColunasListagem> indices_{};
    int indiceDescricao_ = -1, indiceQuantidade_ = -1;
    bool primeiraLinha_ = true, primeiraContagem_ = true;
};
