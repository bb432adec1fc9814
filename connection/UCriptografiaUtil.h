#pragma once
// Decoding of the credentials that the ERP stores in its settings files. The program only ever
// reads these values, so there is no encoder. Texts are handled as code page 1252 bytes: a
// decoded text may hold any byte value.
#include "platform/erro/Erro.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class TCriptografia {
public:
    // Pair cipher of "Caminho.ini" and "Vostren.ini". Accepts any text and never fails; the
    // result ends before the first byte that decodes to 0.
    QString Decriptografar(const QString &texto) const;

    // Password of "VostrenCheckout.ini": Grupos three-digit decimal groups, stored last
    // character first. Throws Erro when a group is not a number.
    QString DecodificarCheckout(const QString &texto, std::uint16_t grupos) const;

private:
    static int IndiceNoAlfabeto(char c);
    static std::uint8_t DecodificarPar(const QByteArray &par, std::uint16_t estado);
    static std::uint16_t AvancarEstado(std::uint16_t estado, int numeroPar);
};
