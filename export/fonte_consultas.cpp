#include "export/fonte_consultas.h"

namespace {

// Looked up once: by name for every one of millions of cells would cost more than the cell.
int indiceObrigatorio(const firebird::Consulta &consulta, const QString &campo) {
    const int indice = consulta.indiceCampo(campo);
    if (indice < 0)
        throw Erro(QStringLiteral("O campo \"%1\" não existe no resultado da consulta.").arg(campo));
    return indice;
}

}  // namespace

FonteConsultas::FonteConsultas(firebird::Consulta &listagem, firebird::Consulta &contagens,
                               firebird::Consulta &total)
    : listagem_(listagem), contagens_(contagens), total_(total) {
    for (int coluna = 0; coluna < ColunasListagem; ++coluna)
        indices_[coluna] = indiceObrigatorio(listagem_, QString::fromLatin1(CamposListagem[coluna]));
    indiceDescricao_ = indiceObrigatorio(contagens_, QStringLiteral("DESC_ERRO"));
    indiceQuantidade_ = indiceObrigatorio(contagens_, QStringLiteral("QUANTIDADE"));
}

bool FonteConsultas::proximaLinha(LinhaListagem &linha) {
    if (!primeiraLinha_)
        listagem_.proximo();
    primeiraLinha_ = false;
    if (listagem_.fim())
        return false;
    for (int coluna = 0; coluna < ColunasListagem; ++coluna)
        linha[coluna] = listagem_.texto(indices_[coluna]);
    return true;
}

bool FonteConsultas::proximaContagem(QString &descricao, QString &quantidade) {
    if (!primeiraContagem_)
        contagens_.proximo();
    primeiraContagem_ = false;
    if (contagens_.fim())
        return false;
    descricao = contagens_.texto(indiceDescricao_);
    quantidade = contagens_.texto(indiceQuantidade_);
    return true;
}

qint64 FonteConsultas::totalOcorrencias() {
    if (total_.fim())
        return 0;
    return total_.inteiro(QStringLiteral("QTD"));
}
