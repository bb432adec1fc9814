// Opening a font file and reading its metrics and advances.
#include "platform/fonts/FaceFonte_p.h"
#include "platform/erro/Erro.h"

#include <QFile>

#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H
#include <hb-ft.h>
#include <hb-ot.h>

#include <cmath>

namespace fontes {

namespace {

int escalar1000(long valor, int unidadesPorEm)
{
    return int(std::lround(double(valor) * 1000.0 / double(unidadesPorEm)));
}

} // namespace

FaceFonte::~FaceFonte()
{
    if (!d_)
        return;
    if (d_->hbFont)
        hb_font_destroy(d_->hbFont);
    if (d_->hbFace)
        hb_face_destroy(d_->hbFace);
    if (d_->blob)
        hb_blob_destroy(d_->blob);
    if (d_->face)
        FT_Done_Face(d_->face);
    if (d_->biblioteca)
        FT_Done_FreeType(d_->biblioteca);
}

void FaceFonte::abrir(const QString &nomePedido, const QString &caminho, int indice,
                      EstiloFonte estilo, const QString &familia, bool substituta)
{
    nomePedido_ = nomePedido;
    caminho_ = caminho;
    estilo_ = estilo;
    familia_ = familia;
    substituta_ = substituta;

    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível ler o arquivo de fonte \"%1\": %2")
                       .arg(caminho, arquivo.errorString()));
    bytes_ = arquivo.readAll();

    d_ = std::make_unique<Interno>();
    // One FreeType library per face: faces are then independent of each other.
    if (FT_Init_FreeType(&d_->biblioteca) != 0)
        throw Erro(QStringLiteral("Não foi possível iniciar a biblioteca de fontes."));
    if (FT_New_Memory_Face(d_->biblioteca, reinterpret_cast<const FT_Byte *>(bytes_.constData()),
                           FT_Long(bytes_.size()), indice, &d_->face) != 0
        || !FT_IS_SCALABLE(d_->face))
        throw Erro(QStringLiteral("O arquivo \"%1\" não é uma fonte de contorno utilizável.")
                       .arg(caminho));
    FT_Select_Charmap(d_->face, FT_ENCODING_UNICODE);
    unidadesPorEm_ = d_->face->units_per_EM > 0 ? d_->face->units_per_EM : 1000;
    negritoReal_ = (d_->face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    italicoReal_ = (d_->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;

    d_->blob = hb_blob_create(bytes_.constData(), unsigned(bytes_.size()), HB_MEMORY_MODE_READONLY,
                              nullptr, nullptr);
    d_->hbFace = hb_face_create(d_->blob, unsigned(indice));
    d_->hbFont = hb_font_create(d_->hbFace);
    // Shaping in font units: callers scale to whatever size they draw or measure at.
    hb_font_set_scale(d_->hbFont, unidadesPorEm_, unidadesPorEm_);
    hb_ot_font_set_funcs(d_->hbFont);

    lerMetricas();
}

void FaceFonte::lerMetricas()
{
    FT_Face f = d_->face;
    const int upem = unidadesPorEm_;
    MetricasContorno &m = metricas_;
    m.caixaEsquerda = escalar1000(f->bbox.xMin, upem);
    m.caixaBaixo = escalar1000(f->bbox.yMin, upem);
    m.caixaDireita = escalar1000(f->bbox.xMax, upem);
    m.caixaTopo = escalar1000(f->bbox.yMax, upem);

    auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    auto *hhea = static_cast<TT_HoriHeader *>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
    auto *post = static_cast<TT_Postscript *>(FT_Get_Sfnt_Table(f, FT_SFNT_POST));

    if (post) { // 16.16 degrees → tenths of a degree
        m.anguloItalico = int(std::lround(double(post->italicAngle) / 65536.0 * 10.0));
        if (post->underlineThickness > 0) {
            m.posicaoSublinhado = escalar1000(post->underlinePosition, upem);
            m.espessuraSublinhado = escalar1000(post->underlineThickness, upem);
        }
    }
    if (os2 && os2->version != 0xFFFF) {
        m.ascendente = escalar1000(os2->sTypoAscender, upem);
        m.descendente = escalar1000(os2->sTypoDescender, upem);
        m.ascendenteCelula = escalar1000(os2->usWinAscent, upem);
        m.descendenteCelula = escalar1000(os2->usWinDescent, upem);
        m.peso = os2->usWeightClass;
        m.larguraMedia = escalar1000(os2->xAvgCharWidth, upem);
        m.alturaMaiusculas = os2->version >= 2 && os2->sCapHeight > 0
                                 ? escalar1000(os2->sCapHeight, upem) : m.ascendente;
        m.caractereDefault = os2->version >= 2 ? char16_t(os2->usDefaultChar) : 0;
        if (os2->yStrikeoutSize > 0) {
            m.posicaoTachado = escalar1000(os2->yStrikeoutPosition, upem);
            m.espessuraTachado = escalar1000(os2->yStrikeoutSize, upem);
        }
    } else {
        m.ascendente = m.ascendenteCelula = escalar1000(f->ascender, upem);
        m.descendente = escalar1000(f->descender, upem);
        m.descendenteCelula = -m.descendente;
        m.peso = (f->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
        m.alturaMaiusculas = m.ascendente;
    }
    m.altura = m.ascendenteCelula + m.descendenteCelula;
    m.entrelinhaInterna = m.altura - 1000;
    m.larguraMaxima = escalar1000(hhea ? long(hhea->advance_Width_Max) : f->max_advance_width, upem);
    if (m.larguraMedia == 0)
        m.larguraMedia = m.larguraMaxima / 2;
}

std::uint32_t FaceFonte::glifo(char32_t caractere) const
{
    return FT_Get_Char_Index(d_->face, FT_ULong(caractere));
}

std::int32_t FaceFonte::avancoGlifo(std::uint32_t glifo) const
{
    FT_Fixed avanco = 0;
    if (FT_Get_Advance(d_->face, glifo, FT_LOAD_NO_SCALE, &avanco) != 0)
        return 0;
    return std::int32_t(avanco);
}

int FaceFonte::avanco1000(std::uint32_t glifo) const
{
    return escalar1000(avancoGlifo(glifo), unidadesPorEm_);
}

int FaceFonte::avancoPixels(char16_t unidade, char16_t seguinte, int pixelsPorEm) const
{
    if (QChar::isLowSurrogate(unidade))
        return 0;
    if (QChar::isHighSurrogate(unidade)) {
        const char32_t c = QChar::isLowSurrogate(seguinte)
                               ? QChar::surrogateToUcs4(unidade, seguinte) : char32_t(0xFFFD);
        return int(std::lround(double(avancoGlifo(glifo(c))) * pixelsPorEm / unidadesPorEm_));
    }
    auto &tabela = d_->avancosPorTamanho[pixelsPorEm];
    if (!tabela) {
        tabela = std::make_unique<std::array<std::int16_t, 65536>>();
        tabela->fill(-1);
    }
    std::int16_t &slot = (*tabela)[unidade];
    if (slot < 0)
        slot = std::int16_t(std::lround(double(avancoGlifo(glifo(unidade))) * pixelsPorEm
                                        / unidadesPorEm_));
    return slot;
}

QRawFont FaceFonte::fonteCrua(double pixelsPorEm) const
{
    const qint64 chave = qint64(std::llround(pixelsPorEm * 64.0));
    auto it = d_->cruasPorTamanho.constFind(chave);
    if (it != d_->cruasPorTamanho.constEnd())
        return *it;
    if (!d_->crua.isValid())
        d_->crua = QRawFont(bytes_, pixelsPorEm, QFont::PreferVerticalHinting);
    QRawFont crua = d_->crua;
    crua.setPixelSize(pixelsPorEm);
    d_->cruasPorTamanho.insert(chave, crua);
    return crua;
}

} // namespace fontes
