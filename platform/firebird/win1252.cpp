#include "platform/firebird/win1252.h"

#include <array>

namespace firebird {
namespace {

// 0x80..0x9F; the five unassigned bytes keep their own value, as Windows does.
constexpr std::array<char16_t, 32> faixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char paraByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < faixa80.size(); ++i)
        if (faixa80[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QString deWin1252(const char *dados, qsizetype tamanho) {
    QString texto(tamanho, Qt::Uninitialized);
    QChar *saida = texto.data();
    for (qsizetype i = 0; i < tamanho; ++i) {
        const auto b = static_cast<unsigned char>(dados[i]);
        saida[i] = (b >= 0x80 && b < 0xA0) ? QChar(faixa80[b - 0x80]) : QChar(b);
    }
    return texto;
}

QByteArray paraWin1252(const QString &texto) {
    QByteArray bytes(texto.size(), Qt::Uninitialized);
    qsizetype n = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate())
            ++i;  // one mark for the whole character, not one per half
        bytes[n++] = c.isSurrogate() ? '?' : paraByte(c.unicode());
    }
    bytes.truncate(n);
    return bytes;
}

}  // namespace firebird
