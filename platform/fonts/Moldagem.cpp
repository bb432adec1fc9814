// Shaping a text into glyphs in visual order: FriBidi finds the runs of one direction,
// HarfBuzz shapes each run, and the runs are put in display order by their levels.
#include "platform/fonts/FaceFonte_p.h"

#include <fribidi.h>

#include <algorithm>

namespace fontes {

std::vector<std::uint8_t> niveisBidi(const QString &texto, bool rtl)
{
    const int n = int(texto.size());
    std::vector<std::uint8_t> niveis(std::size_t(n), rtl ? 1 : 0);
    if (n == 0)
        return niveis;

    std::vector<FriBidiChar> ucs;
    std::vector<int> inicio; // UTF-16 index of each code point
    ucs.reserve(std::size_t(n));
    inicio.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        char32_t c = texto.at(i).unicode();
        inicio.push_back(i);
        if (QChar::isHighSurrogate(c) && i + 1 < n && texto.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(texto.at(i), texto.at(i + 1));
            ++i;
        }
        ucs.push_back(FriBidiChar(c));
    }
    const auto m = FriBidiStrIndex(ucs.size());
    std::vector<FriBidiCharType> tipos(ucs.size());
    std::vector<FriBidiBracketType> colchetes(ucs.size());
    std::vector<FriBidiLevel> niveisUcs(ucs.size());
    fribidi_get_bidi_types(ucs.data(), m, tipos.data());
    fribidi_get_bracket_types(ucs.data(), m, tipos.data(), colchetes.data());
    FriBidiParType base = rtl ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(tipos.data(), colchetes.data(), m, &base,
                                            niveisUcs.data()) == 0)
        return niveis;
    for (std::size_t k = 0; k < ucs.size(); ++k) {
        const int fim = k + 1 < ucs.size() ? inicio[k + 1] : n;
        for (int i = inicio[k]; i < fim; ++i)
            niveis[std::size_t(i)] = std::uint8_t(niveisUcs[k]);
    }
    return niveis;
}

std::vector<GlifoMoldado> FaceFonte::moldar(const QString &texto, bool rtl) const
{
    std::vector<GlifoMoldado> glifos;
    const int n = int(texto.size());
    if (n == 0)
        return glifos;

    struct Trecho { int inicio, tamanho; std::uint8_t nivel; };
    std::vector<Trecho> trechos;
    bool tudoLtr = !rtl;
    if (tudoLtr)
        for (QChar c : texto)
            if (c.unicode() >= 0x0590) { tudoLtr = false; break; }
    if (tudoLtr) {
        trechos.push_back({0, n, 0});
    } else {
        const auto niveis = niveisBidi(texto, rtl);
        for (int i = 0; i < n;) {
            int j = i + 1;
            while (j < n && niveis[std::size_t(j)] == niveis[std::size_t(i)])
                ++j;
            trechos.push_back({i, j - i, niveis[std::size_t(i)]});
            i = j;
        }
        // Display order: from the highest level down to the lowest odd one, every maximal
        // sequence of runs at that level or above is reversed.
        std::uint8_t maior = 0, menorImpar = 255;
        for (const Trecho &t : trechos) {
            maior = std::max(maior, t.nivel);
            if (t.nivel % 2)
                menorImpar = std::min(menorImpar, t.nivel);
        }
        for (int nivel = maior; nivel >= int(menorImpar) && nivel > 0; --nivel)
            for (std::size_t i = 0; i < trechos.size();) {
                if (trechos[i].nivel < nivel) { ++i; continue; }
                std::size_t j = i;
                while (j < trechos.size() && trechos[j].nivel >= nivel)
                    ++j;
                std::reverse(trechos.begin() + std::ptrdiff_t(i), trechos.begin() + std::ptrdiff_t(j));
                i = j;
            }
    }

    // One buffer per thread, kept: drawing shapes every line it draws.
    static thread_local hb_buffer_t *buffer = hb_buffer_create();
    const auto *utf16 = reinterpret_cast<const uint16_t *>(texto.utf16());
    for (const Trecho &t : trechos) {
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf16(buffer, utf16, n, unsigned(t.inicio), t.tamanho);
        hb_buffer_set_direction(buffer, t.nivel % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(d_->hbFont, buffer, nullptr, 0);
        unsigned quantos = 0;
        const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer, &quantos);
        const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer, &quantos);
        for (unsigned k = 0; k < quantos; ++k)
            glifos.push_back({info[k].codepoint, pos[k].x_advance, pos[k].x_offset,
                              pos[k].y_offset, info[k].cluster});
    }
    hb_buffer_clear_contents(buffer);
    return glifos;
}

} // namespace fontes
