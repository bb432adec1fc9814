#pragma once
// Font service: finds the file of a named font with fontconfig, opens it once with FreeType and
// HarfBuzz and answers every question the report engine and the PDF writer ask of a font.
// Screen, paper and PDF all draw from the bytes of the same file, so glyph numbers and advances
// agree on every output.
//
// Faces live until the process ends: a reference returned by abrirFace stays valid. The cache is
// locked; a face itself is not, and is used under the text layout lock (one UI thread).
#include <QByteArray>
#include <QRawFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace fontes {

struct EstiloFonte {
    bool negrito = false;
    bool italico = false;
    // Underline and strike-out are drawn by the caller; they never choose another file.
    bool sublinhado = false;
    bool tachado = false;
};

// Outline metrics in thousandths of an em (the font scaled to 1000 units per em), each rounded
// to the nearest integer with halves away from zero. They mirror what the PDF font descriptor
// needs: the TrueType head, hhea, OS/2 and post tables.
struct MetricasContorno {
    int caixaEsquerda = 0, caixaBaixo = 0, caixaDireita = 0, caixaTopo = 0; // head bounding box
    int anguloItalico = 0;       // tenths of a degree, negative when leaning right (post table)
    int ascendente = 0;          // typographic ascender (OS/2), positive
    int descendente = 0;         // typographic descender (OS/2), negative
    int ascendenteCelula = 0;    // Windows ascent of the character cell (OS/2 usWinAscent)
    int descendenteCelula = 0;   // Windows descent of the cell, positive (OS/2 usWinDescent)
    int altura = 0;              // cell height: ascendenteCelula + descendenteCelula
    int entrelinhaInterna = 0;   // internal leading: altura − 1000
    int alturaMaiusculas = 0;    // cap height (OS/2 sCapHeight; ascender when the table lacks it)
    int peso = 400;              // OS/2 usWeightClass
    int larguraMedia = 0;        // OS/2 xAvgCharWidth
    int larguraMaxima = 0;       // hhea advanceWidthMax
    char16_t caractereDefault = 0; // OS/2 usDefaultChar; 0 when the font names none
    int posicaoSublinhado = -100;  // post underlinePosition: top of the rule, below the baseline
    int espessuraSublinhado = 50;  // post underlineThickness
    int posicaoTachado = 250;      // OS/2 yStrikeoutPosition, above the baseline
    int espessuraTachado = 50;     // OS/2 yStrikeoutSize
};

// One glyph of a shaped text. Advances and offsets are font units (see unidadesPorEm);
// cluster is the index of the first UTF-16 code unit of the text the glyph stands for.
struct GlifoMoldado {
    std::uint32_t glifo = 0;
    std::int32_t avanco = 0;
    std::int32_t deslocX = 0;
    std::int32_t deslocY = 0;
    std::uint32_t cluster = 0;
};

class FaceFonte {
public:
    ~FaceFonte();
    FaceFonte(const FaceFonte &) = delete;
    FaceFonte &operator=(const FaceFonte &) = delete;

    // The name the report asked for and what fontconfig gave for it.
    const QString &nomePedido() const { return nomePedido_; }
    const QString &familia() const { return familia_; }
    const QString &caminho() const { return caminho_; }
    // True when the file is not the named font but another one standing in for it
    // ("Arial" served by Liberation Sans): a PDF must then carry the file it measured with.
    bool substituta() const { return substituta_; }
    EstiloFonte estilo() const { return estilo_; }
    // The file found has a bold or italic design of its own; when the style asks for one and
    // the file has none, the caller has to embolden or slant it.
    bool negritoReal() const { return negritoReal_; }
    bool italicoReal() const { return italicoReal_; }

    int unidadesPorEm() const { return unidadesPorEm_; }
    // The whole font file, exactly as on disk.
    const QByteArray &bytesArquivo() const { return bytes_; }
    const MetricasContorno &metricas() const { return metricas_; }

    // Glyph of one character through the font's character map (0: the font lacks it).
    std::uint32_t glifo(char32_t caractere) const;
    // Nominal advance of a glyph in font units, without kerning or hinting.
    std::int32_t avancoGlifo(std::uint32_t glifo) const;
    // Advance of a glyph at 1000 units per em, rounded.
    int avanco1000(std::uint32_t glifo) const;

    // Advance in whole pixels of one UTF-16 code unit at a size of pixelsPorEm (the em square in
    // pixels): the nominal advance scaled and rounded, the way a character cell is measured.
    // A high surrogate carries the advance of the whole pair, a low surrogate 0. Backed by a
    // table per size, so a call is one array read once the character was seen.
    int avancoPixels(char16_t unidade, char16_t seguinte, int pixelsPorEm) const;

    // Shapes a text with HarfBuzz, after FriBidi has split it into runs of one direction;
    // the glyphs come in visual order. rtl sets the paragraph's base direction right-to-left.
    std::vector<GlifoMoldado> moldar(const QString &texto, bool rtl) const;

    // The same file for Qt's glyph drawing, at a pixel size (em square); cached per size.
    QRawFont fonteCrua(double pixelsPorEm) const;

private:
    friend FaceFonte &abrirFace(const QString &nome, EstiloFonte estilo);
    FaceFonte() = default;
    void abrir(const QString &nomePedido, const QString &caminho, int indice, EstiloFonte estilo,
               const QString &familia, bool substituta);
    void lerMetricas();

    struct Interno;
    std::unique_ptr<Interno> d_;
    QString nomePedido_, familia_, caminho_;
    EstiloFonte estilo_;
    bool substituta_ = false, negritoReal_ = false, italicoReal_ = false;
    int unidadesPorEm_ = 1000;
    QByteArray bytes_;
    MetricasContorno metricas_;
};

// The face for a font name and style, opened on first use and kept. Fonts are the same when the
// name (without regard to case), bold and italic agree. Throws Erro when no usable font exists.
FaceFonte &abrirFace(const QString &nome, EstiloFonte estilo);

// Bidirectional embedding levels of a text, one per UTF-16 code unit (FriBidi, rule-based).
std::vector<std::uint8_t> niveisBidi(const QString &texto, bool rtl);

} // namespace fontes
