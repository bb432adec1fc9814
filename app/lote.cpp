#include "app/lote.h"

#include "app/caixa_erro.h"

#include <cstdio>

void escreverSaida(const QString &texto)
{
    const QByteArray utf8 = texto.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
}

void escreverErro(const QString &texto)
{
    const QByteArray utf8 = (textoParaExibir(texto) + u'\n').toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    std::fflush(stderr);
}

int falhar(const QString &mensagem)
{
    escreverErro(mensagem);
    return 1;
}
