#pragma once
// Test-only encoders for the two stored forms, so that fixtures can hold readable credentials.
// The program itself never encodes; the decoder's own table test pins the decoding with values
// worked out by hand, so these cannot hide a decoder fault.
#include "platform/ini/Win1252.h"

#include <QString>
#include <cstdint>
#include <stdexcept>

inline QString codificarPar(const QString &texto)
{
    static const char alfabeto[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const char chave[] = "KORMIL";
    const QByteArray bytes = ini::paraWin1252(texto);
    QString saida;
    std::uint16_t estado = 0;
    for (qsizetype p = 0; p < bytes.size(); ++p) {
        const auto alvo = static_cast<std::uint8_t>(bytes[p]);
        const int k = (estado / 256) % 19;
        bool achou = false;
        for (int i1 = 0; i1 < 36 && !achou; ++i1)
            for (int i2 = 0; i2 < 36 && !achou; ++i2) {
                const auto b = static_cast<std::uint8_t>(static_cast<std::uint8_t>((i1 - k) + 16 * (i2 - k)) ^ (estado % 256));
                if (b == alvo) {
                    saida += QChar(alfabeto[i1]);
                    saida += QChar(alfabeto[i2]);
                    achou = true;
                }
            }
        if (!achou)
            throw std::logic_error("sem par");
        estado ^= alvo;
        estado = static_cast<std::uint16_t>(((static_cast<unsigned char>(chave[(p + 1) % 6]) + estado) * 17u) % 17185u);
    }
    return saida;
}

inline QString codificarCheckout(const QString &texto)
{
    const QByteArray bytes = ini::paraWin1252(texto);
    QString saida;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        saida += QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[i]), 3, 10, QLatin1Char('0'));
    return saida;
}
