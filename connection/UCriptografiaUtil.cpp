#include "connection/UCriptografiaUtil.h"

#include "platform/ini/Win1252.h"

namespace {

constexpr char ALFABETO[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr char CHAVE[] = "KORMIL";
constexpr int TAMANHO_CHAVE = 6;

// The ERP's own integer conversion: optional leading blanks, an optional sign, decimal digits.
bool converterInteiro(const QByteArray &texto, long long &valor)
{
    qsizetype i = 0;
    while (i < texto.size() && texto[i] == ' ')
        ++i;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-'))
        negativo = texto[i++] == '-';
    if (i == texto.size())
        return false;
    long long v = 0;
    for (; i < texto.size(); ++i) {
        if (texto[i] < '0' || texto[i] > '9')
            return false;
        v = v * 10 + (texto[i] - '0');
    }
    valor = negativo ? -v : v;
    return true;
}

}  // namespace

int TCriptografia::IndiceNoAlfabeto(char c)
{
    for (int i = 0; ALFABETO[i] != '\0'; ++i)
        if (ALFABETO[i] == c)
            return i;
    return 0;
}

std::uint8_t TCriptografia::DecodificarPar(const QByteArray &par, std::uint16_t estado)
{
    if (par.size() < 2)
        return 0;
    const int k = (estado / 256) % 19;
    const int i1 = IndiceNoAlfabeto(par[0]);
    const int i2 = IndiceNoAlfabeto(par[1]);
    const auto base = static_cast<std::uint8_t>((i1 - k) + 16 * (i2 - k));
    return static_cast<std::uint8_t>(base ^ (estado % 256));
}

std::uint16_t TCriptografia::AvancarEstado(std::uint16_t estado, int numeroPar)
{
    const std::uint32_t letra = static_cast<unsigned char>(CHAVE[numeroPar % TAMANHO_CHAVE]);
    return static_cast<std::uint16_t>(((letra + estado) * 17u) % 17185u);
}

QString TCriptografia::Decriptografar(const QString &texto) const
{
    const QByteArray bytes = ini::paraWin1252(texto);
    QByteArray resultado;
    std::uint16_t estado = 0;
    for (qsizetype p = 0; p < bytes.size(); p += 2) {
        const std::uint8_t b = DecodificarPar(bytes.mid(p, 2), estado);
        resultado.append(static_cast<char>(b));
        estado ^= b;
        estado = AvancarEstado(estado, static_cast<int>(p / 2) + 1);
    }
    const qsizetype zero = resultado.indexOf('\0');
    if (zero >= 0)
        resultado.truncate(zero);
    return ini::deWin1252(resultado);
}

QString TCriptografia::DecodificarCheckout(const QString &texto, std::uint16_t grupos) const
{
    const QByteArray bytes = ini::paraWin1252(texto);
    QByteArray resultado;
    for (int j = grupos; j >= 1; --j) {
        const QByteArray grupo = bytes.mid(3 * j - 3, 3);
        long long valor = 0;
        if (!converterInteiro(grupo, valor))
            throw Erro(QStringLiteral("'%1' não é um valor inteiro válido").arg(ini::deWin1252(grupo)));
        resultado.append(static_cast<char>(valor & 0xFF));
    }
    return ini::deWin1252(resultado);
}
