#include "platform/ini/Win1252.h"

#include <array>
#include <unordered_map>

namespace ini {
namespace {

// 0x80..0x9F; the bytes the code page leaves undefined keep their own number.
constexpr std::array<char16_t, 32> kFaixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const std::unordered_map<char16_t, char> &inverso()
{
    static const std::unordered_map<char16_t, char> mapa = [] {
        std::unordered_map<char16_t, char> m;
        for (int i = 0; i < 32; ++i)
            m.emplace(kFaixa80[i], static_cast<char>(0x80 + i));
        return m;
    }();
    return mapa;
}

}  // namespace

QString deWin1252(const QByteArray &bytes)
{
    QString texto;
    texto.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        texto.append(QChar(b >= 0x80 && b < 0xA0 ? kFaixa80[b - 0x80] : char16_t(b)));
    }
    return texto;
}

QByteArray paraWin1252(const QString &texto)
{
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (QChar ch : texto) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        const auto &mapa = inverso();
        const auto it = mapa.find(u);
        bytes.append(it != mapa.end() ? it->second : '?');
    }
    return bytes;
}

}  // namespace ini
