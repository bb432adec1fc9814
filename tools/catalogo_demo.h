#pragma once
// What a Brazilian supermarket's catalogue is made of: groups, sub-groups and product models
// with their NCM, CEST and the ICMS treatment they usually get in São Paulo.
#include <vector>

namespace ferramentas {

enum class Regime {
    Tributado,       // CST 00: full base, 18 %
    Substituicao,    // CST 60: ICMS charged before by tax substitution, CEST required
    Isento,          // CST 40: exempt
    BaseReduzida,    // CST 20: basic-basket items, base cut so that the effective rate is 7 %
    TributadoComSt,  // CST 10: own manufacture, the shop withholds ST on its sales
};

struct ModeloDemo {
    const char *nome;
    const char *ncm;
    const char *cest;       // nullptr: the product is outside the CEST list
    Regime regime;
    const char *variantes;  // '|' separated
    const char *tamanhos;   // '|' separated
};

struct SubgrupoDemo {
    const char *nome;
    std::vector<ModeloDemo> modelos;
};

struct GrupoDemo {
    const char *nome;
    std::vector<SubgrupoDemo> subgrupos;
};

struct EstadoDemo {
    const char *uf;
    const char *aliquota;  // internal ICMS rate in percent
};

struct FilialDemo {
    int codigo;
    const char *nome;
    const char *uf;
};

const std::vector<GrupoDemo> &catalogoDemo();
const std::vector<EstadoDemo> &estadosDemo();
const std::vector<FilialDemo> &filiaisDemo();
const std::vector<const char *> &marcasDemo();

}  // namespace ferramentas
