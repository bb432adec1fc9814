#include "connection/UCriptografiaUtil.h"

#include "codificacao.h"

#include <gtest/gtest.h>

namespace {

// Expected values worked out by hand from the cipher's rules (state, key letter, 8-bit wrap).
TEST(Decriptografar, Casos)
{
    struct Caso {
        const char *armazenado;
        QString esperado;
        const char *porque;
    } casos[] = {
        {"", "", "vazio"},
        {"1", "", "um caractere sozinho decodifica para 0"},
        {"0012", "", "primeiro par 00 dá o byte 0 e corta o texto"},
        {"14", "A", "1 + 16*4 = 65"},
        {"ZZ", "S", "(35 + 16*35) mod 256 = 83"},
        {"a4", "@", "minúscula conta como 0: 64"},
        {"14B", "A", "comprimento ímpar: o último não contribui"},
        {"14BM", "AB", "estado 2448 após o primeiro par: k = 9, xor 144"},
        {"14BM16", "ABC", "estado 9762 no terceiro par: k = 0, xor 34"},
        {"1400", QString::fromUtf8("A÷"), "i - k negativo dá a volta em 8 bits: 0xF7"},
        {"149A", QString::fromUtf8("A€"), "byte 0x80 é o euro da página 1252"},
        {"149I12", "A", "um par que dá 0 termina o texto"},
    };
    const TCriptografia cripto;
    for (const Caso &c : casos)
        EXPECT_EQ(cripto.Decriptografar(QString::fromLatin1(c.armazenado)), c.esperado) << c.armazenado << ": " << c.porque;
}

TEST(Decriptografar, QualquerTextoVoltaComoEra)
{
    const TCriptografia cripto;
    for (const QString &texto : {QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), QString::fromUtf8("sênha çom ãcentos"),
                                 QStringLiteral("x")})
        EXPECT_EQ(cripto.Decriptografar(codificarPar(texto)), texto);
}

TEST(DecodificarCheckout, Casos)
{
    struct Caso {
        const char *armazenado;
        std::uint16_t grupos;
        const char *esperado;
    } casos[] = {
        {"065066067", 3, "CBA"},
        {"0650660", 2, "BA"},  // a sétima posição não completa um grupo
        {"065066067", 1, "A"},
        {"321", 1, "A"},       // só os 8 bits de baixo
        {"", 0, ""},
        {" 65", 1, "A"},       // brancos à esquerda, como na conversão do ERP
    };
    const TCriptografia cripto;
    for (const Caso &c : casos)
        EXPECT_EQ(cripto.DecodificarCheckout(QString::fromLatin1(c.armazenado), c.grupos), QString::fromLatin1(c.esperado))
            << c.armazenado;
}

TEST(DecodificarCheckout, GrupoQueNaoENumero)
{
    const TCriptografia cripto;
    for (const char *texto : {"06A065", "065 6 ", "065+-1"}) {
        try {
            cripto.DecodificarCheckout(QString::fromLatin1(texto), 2);
            ADD_FAILURE() << texto << " foi aceito";
        } catch (const Erro &e) {
            EXPECT_TRUE(e.mensagem().endsWith("não é um valor inteiro válido")) << e.what();
        }
    }
}

}  // namespace
