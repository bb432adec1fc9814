#include "export/UClassFuncoes.h"

QString TFuncoes::Substituir(QString Texto, const QString &Antigo, const QString &Novo) {
    if (Antigo.isEmpty() || Antigo == Novo)
        return Texto;
    for (qsizetype posicao = Texto.lastIndexOf(Antigo); posicao >= 0; posicao = Texto.lastIndexOf(Antigo))
        Texto.replace(posicao, Antigo.size(), Novo);
    return Texto;
}
