#include "platform/fonts/Fontes.h"

#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace fontes;

namespace {

// QRawFont needs the GUI application's font database.
void garantirAplicacao()
{
    static int argc = 1;
    static char nome[] = "fontes_test";
    static char *argv[] = {nome, nullptr};
    static QGuiApplication *app = QGuiApplication::instance()
                                      ? nullptr : new QGuiApplication(argc, argv);
    (void)app;
}

struct CasoBusca {
    const char *nome;
    bool negrito, italico;
    const char *familia;
    bool substituta;
};

} // namespace

TEST(Fontes, NomesDoRelatorioChegamAosArquivosInstalados)
{
    const CasoBusca casos[] = {
        {"Arial", false, false, "Liberation Sans", true},
        {"arial", true, false, "Liberation Sans", true},
        {"Arial", false, true, "Liberation Sans", true},
        {"Tahoma", false, false, "DejaVu Sans", true},
        {"MS Sans Serif", false, false, "DejaVu Sans", true},
        {"Liberation Sans", false, false, "Liberation Sans", false},
        {"DejaVu Sans", true, false, "DejaVu Sans", false},
        {"Fonte Que Nao Existe", false, false, "DejaVu Sans", true},
    };
    for (const CasoBusca &c : casos) {
        SCOPED_TRACE(c.nome);
        FaceFonte &face = abrirFace(QString::fromUtf8(c.nome), {c.negrito, c.italico});
        EXPECT_EQ(face.familia(), QString::fromUtf8(c.familia));
        EXPECT_EQ(face.substituta(), c.substituta);
        EXPECT_EQ(face.negritoReal(), c.negrito);
        EXPECT_EQ(face.italicoReal(), c.italico);
        EXPECT_EQ(face.metricas().peso, c.negrito ? 700 : 400);
    }
}

TEST(Fontes, FaceAbertaUmaVezPorNomeENegritoItalico)
{
    FaceFonte &a = abrirFace("Arial", {});
    EXPECT_EQ(&a, &abrirFace("ARIAL", {}));
    EXPECT_EQ(&a, &abrirFace("Arial", {false, false, true, true})); // underline, strike-out
    EXPECT_NE(&a, &abrirFace("Arial", {true, false}));
    EXPECT_NE(abrirFace("Arial", {true, false}).caminho(), a.caminho());
}

TEST(Fontes, BytesSaoOArquivoInteiro)
{
    FaceFonte &face = abrirFace("Arial", {});
    QFile arquivo(face.caminho());
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(face.bytesArquivo(), arquivo.readAll());
    EXPECT_EQ(face.bytesArquivo().left(4), QByteArray("\x00\x01\x00\x00", 4)); // TrueType
}

// Liberation Sans is metric-compatible with Arial: the advances below are Arial's own, so a
// wrong file or a wrong scaling fails here.
TEST(Fontes, AvancosEMetricasEmMilesimosDeEm)
{
    FaceFonte &face = abrirFace("Arial", {});
    EXPECT_EQ(face.unidadesPorEm(), 2048);
    EXPECT_EQ(face.avanco1000(face.glifo(U'A')), 667);
    EXPECT_EQ(face.avanco1000(face.glifo(U'0')), 556);
    EXPECT_EQ(face.avanco1000(face.glifo(U' ')), 278);
    EXPECT_EQ(face.avanco1000(face.glifo(U'i')), 222);

    const MetricasContorno &m = face.metricas();
    EXPECT_EQ(m.ascendenteCelula, 905); // 1854 / 2048
    EXPECT_EQ(m.descendenteCelula, 212); // 434 / 2048
    EXPECT_EQ(m.altura, 1117);
    EXPECT_EQ(m.entrelinhaInterna, 117);
    EXPECT_GT(m.ascendente, 0);
    EXPECT_LT(m.descendente, 0);
    EXPECT_LT(m.caixaEsquerda, 0);
    EXPECT_LT(m.caixaBaixo, 0);
    EXPECT_GT(m.caixaDireita, 1000);
    EXPECT_GT(m.caixaTopo, 900);
    EXPECT_EQ(m.anguloItalico, 0);
    EXPECT_GT(m.alturaMaiusculas, 600);
    EXPECT_LT(m.alturaMaiusculas, 800);
    EXPECT_GT(m.larguraMaxima, m.larguraMedia);
    EXPECT_GT(m.larguraMedia, 300);

    EXPECT_EQ(abrirFace("Arial", {false, true}).metricas().anguloItalico, -120);
}

TEST(Fontes, AvancoEmPixelsArredondaOAvancoNominal)
{
    FaceFonte &face = abrirFace("Arial", {});
    // 83 pixels per em: the 600-dpi size of 10 points. '0' is 1139 units → 46.16.
    EXPECT_EQ(face.avancoPixels(u'0', 0, 83), 46);
    EXPECT_EQ(face.avancoPixels(u'0', 0, 83), 46); // from the table
    EXPECT_EQ(face.avancoPixels(u'A', 0, 75), 50); // 1366 × 75 / 2048 = 50.02
    EXPECT_EQ(face.avancoPixels(u' ', 0, 13), 4);  // 569 × 13 / 2048 = 3.61
    // A surrogate pair: the whole advance on the first unit, none on the second.
    const QString emoji = QString::fromUcs4(U"\U0001D11E");
    const int alto = face.avancoPixels(emoji.at(0).unicode(), emoji.at(1).unicode(), 83);
    EXPECT_GT(alto, 0);
    EXPECT_EQ(face.avancoPixels(emoji.at(1).unicode(), 0, 83), 0);
}

TEST(Fontes, MoldagemDaGlifosEmOrdemVisual)
{
    FaceFonte &face = abrirFace("DejaVu Sans", {});
    struct Caso {
        const char *texto;
        bool rtl;
        std::vector<std::uint32_t> clusters;
    } casos[] = {
        {"AB", false, {0, 1}},
        {"\u05D0\u05D1\u05D2", true, {2, 1, 0}},                   // Hebrew alef bet gimel
        {"ab \u05D0\u05D1", false, {0, 1, 2, 4, 3}},               // RTL run inside LTR text
        {"\u05D0\u05D1 12", true, {3, 4, 2, 1, 0}},                // digits keep their order
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.texto);
        const QString texto = QString::fromUtf8(c.texto);
        const auto glifos = face.moldar(texto, c.rtl);
        std::vector<std::uint32_t> clusters;
        for (const auto &g : glifos) {
            clusters.push_back(g.cluster);
            EXPECT_EQ(g.glifo, face.glifo(texto.at(int(g.cluster)).unicode()));
            EXPECT_EQ(g.avanco, face.avancoGlifo(g.glifo));
        }
        EXPECT_EQ(clusters, c.clusters);
    }
    EXPECT_TRUE(face.moldar(QString(), false).empty());
}

TEST(Fontes, NiveisBidiPorUnidadeUtf16)
{
    EXPECT_EQ(niveisBidi("ab", false), (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(niveisBidi("ab", true), (std::vector<std::uint8_t>{2, 2}));
    EXPECT_EQ(niveisBidi(QString::fromUtf8("a\u05D0"), false), (std::vector<std::uint8_t>{0, 1}));
}

TEST(Fontes, FonteCruaUsaOMesmoArquivo)
{
    garantirAplicacao();
    FaceFonte &face = abrirFace("Arial", {true, false});
    QRawFont crua = face.fonteCrua(13);
    ASSERT_TRUE(crua.isValid());
    EXPECT_DOUBLE_EQ(crua.pixelSize(), 13);
    EXPECT_EQ(crua.familyName(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(crua.glyphIndexesForString("A").value(0), face.glifo(U'A'));
    EXPECT_DOUBLE_EQ(face.fonteCrua(26).pixelSize(), 26);
    EXPECT_DOUBLE_EQ(face.fonteCrua(13).pixelSize(), 13);
}
