#include "tools/catalogo_demo.h"

namespace ferramentas {

namespace {
using R = Regime;
}

const std::vector<GrupoDemo> &catalogoDemo() {
    static const std::vector<GrupoDemo> grupos = {
        {"BEBIDAS", {
            {"REFRIGERANTES", {
                {"REFRIGERANTE", "22021000", "0301100", R::Substituicao, "COLA|GUARANÁ|LARANJA|LIMÃO|UVA|COLA ZERO", "350ML LATA|600ML|1,5L|2L"},
                {"ÁGUA TÔNICA", "22021000", "0301100", R::Substituicao, "TRADICIONAL|ZERO", "350ML LATA"}}},
            {"CERVEJAS", {
                {"CERVEJA", "22030000", "0302100", R::Substituicao, "PILSEN|PURO MALTE|SEM ÁLCOOL|IPA|WEISS", "269ML LATA|350ML LATA|473ML LATA|600ML"}}},
            {"ÁGUAS", {
                {"ÁGUA MINERAL", "22011000", "0300400", R::Substituicao, "SEM GÁS|COM GÁS", "500ML|1,5L|5L|20L"}}},
            {"SUCOS E NÉCTARES", {
                {"NÉCTAR", "20098990", nullptr, R::Tributado, "PÊSSEGO|UVA|MANGA|MARACUJÁ|CAJU", "200ML|1L"},
                {"SUCO INTEGRAL", "20096100", nullptr, R::Tributado, "UVA|LARANJA", "1L|1,5L"}}},
            {"DESTILADOS", {
                {"CACHAÇA", "22084000", "0200300", R::Substituicao, "PRATA|OURO|ENVELHECIDA", "700ML|1L"}}}}},
        {"MERCEARIA", {
            {"GRÃOS E CEREAIS", {
                {"ARROZ", "10063021", nullptr, R::BaseReduzida, "AGULHINHA TIPO 1|PARBOILIZADO|INTEGRAL", "1KG|2KG|5KG"},
                {"FEIJÃO", "07133399", nullptr, R::BaseReduzida, "CARIOCA TIPO 1|PRETO TIPO 1|FRADINHO", "500G|1KG"},
                {"FUBÁ", "11022000", nullptr, R::BaseReduzida, "MIMOSO|AMARELO", "500G|1KG"}}},
            {"AÇÚCAR E ADOÇANTES", {
                {"AÇÚCAR", "17019900", nullptr, R::BaseReduzida, "REFINADO|CRISTAL|MASCAVO|DEMERARA", "1KG|2KG|5KG"},
                {"ADOÇANTE", "21069090", nullptr, R::Tributado, "SUCRALOSE|STÉVIA", "65ML|100ML"}}},
            {"ÓLEOS E AZEITES", {
                {"ÓLEO DE SOJA", "15079011", nullptr, R::BaseReduzida, "TRADICIONAL", "900ML"},
                {"AZEITE DE OLIVA", "15092000", nullptr, R::Tributado, "EXTRA VIRGEM", "250ML|500ML"}}},
            {"CAFÉS", {
                {"CAFÉ TORRADO E MOÍDO", "09012100", nullptr, R::Tributado, "TRADICIONAL|EXTRAFORTE|GOURMET", "250G|500G"},
                {"CAFÉ SOLÚVEL", "21011110", nullptr, R::Tributado, "TRADICIONAL", "100G|200G"}}},
            {"MASSAS", {
                {"MACARRÃO", "19021900", "1704900", R::Substituicao, "ESPAGUETE|PARAFUSO|PENNE|AVE-MARIA", "500G|1KG"},
                {"MACARRÃO INSTANTÂNEO", "19023000", "1705000", R::Substituicao, "GALINHA|CARNE|LEGUMES", "85G"}}},
            {"BISCOITOS", {
                {"BISCOITO", "19053100", "1705300", R::Substituicao, "CREAM CRACKER|MAISENA|RECHEADO CHOCOLATE|ÁGUA E SAL|WAFER MORANGO", "130G|200G|400G"}}},
            {"ENLATADOS", {
                {"MOLHO DE TOMATE", "21032010", "1703700", R::Substituicao, "TRADICIONAL|MANJERICÃO|PIZZA", "300G|340G"},
                {"SARDINHA", "16041310", nullptr, R::Tributado, "EM ÓLEO|AO MOLHO DE TOMATE", "125G"},
                {"MILHO VERDE", "20058000", nullptr, R::Tributado, "EM CONSERVA", "170G|200G"}}}}},
        {"HORTIFRUTI", {
            {"FRUTAS", {
                {"BANANA", "08039000", nullptr, R::Isento, "NANICA|PRATA|MAÇÃ", "KG"},
                {"MAÇÃ", "08081000", nullptr, R::Isento, "FUJI|GALA", "KG"},
                {"LARANJA", "08051000", nullptr, R::Isento, "PERA|LIMA", "KG"},
                {"MAMÃO", "08072000", nullptr, R::Isento, "FORMOSA|PAPAIA", "KG"}}},
            {"LEGUMES E VERDURAS", {
                {"TOMATE", "07020000", nullptr, R::Isento, "ITALIANO|CARMEM|CEREJA", "KG"},
                {"BATATA", "07019000", nullptr, R::Isento, "LAVADA|ASTERIX", "KG"},
                {"ALFACE", "07051900", nullptr, R::Isento, "CRESPA|AMERICANA", "UN"},
                {"CEBOLA", "07031019", nullptr, R::Isento, "NACIONAL|ROXA", "KG"}}}}},
        {"AÇOUGUE", {
            {"CARNES BOVINAS", {
                {"CARNE BOVINA", "02013000", nullptr, R::Isento, "ACÉM|PATINHO|ALCATRA|CONTRAFILÉ|FRALDINHA|PICANHA", "KG"}}},
            {"AVES", {
                {"FRANGO", "02071200", nullptr, R::Isento, "INTEIRO CONGELADO|COXA E SOBRECOXA|PEITO FILÉ", "KG"}}},
            {"EMBUTIDOS", {
                {"LINGUIÇA", "16010000", nullptr, R::Tributado, "TOSCANA|CALABRESA|DE FRANGO", "KG"}}}}},
        {"PADARIA", {
            {"PÃES", {
                {"PÃO FRANCÊS", "19059090", nullptr, R::Tributado, "TRADICIONAL", "KG"},
                {"PÃO DE FORMA", "19059010", "1706200", R::Substituicao, "TRADICIONAL|INTEGRAL", "400G|500G"}}},
            {"BOLOS E DOCES", {
                {"BOLO", "19052090", nullptr, R::Tributado, "FUBÁ|CENOURA COM CHOCOLATE|LARANJA", "UN"},
                {"SONHO", "19059090", nullptr, R::Tributado, "CREME|DOCE DE LEITE", "UN"}}}}},
        {"LATICÍNIOS", {
            {"LEITES", {
                {"LEITE UHT", "04012010", nullptr, R::BaseReduzida, "INTEGRAL|DESNATADO|SEMIDESNATADO", "1L"}}},
            {"QUEIJOS", {
                {"QUEIJO", "04061010", nullptr, R::Tributado, "MUÇARELA|PRATO|MINAS FRESCAL|PARMESÃO", "KG|500G"}}},
            {"IOGURTES", {
                {"IOGURTE", "04031000", "1707800", R::Substituicao, "NATURAL|MORANGO|COCO|PÊSSEGO", "170G|900G"}}},
            {"MANTEIGAS E MARGARINAS", {
                {"MANTEIGA", "04051000", nullptr, R::Tributado, "COM SAL|SEM SAL", "200G"},
                {"MARGARINA", "15171000", "1703600", R::Substituicao, "COM SAL|LIGHT", "250G|500G"}}}}},
        {"FRIOS", {
            {"FRIOS FATIADOS", {
                {"PRESUNTO", "16024900", nullptr, R::Tributado, "COZIDO|PARMA", "KG"},
                {"MORTADELA", "16010000", nullptr, R::Tributado, "TRADICIONAL|DEFUMADA", "KG"}}}}},
        {"HIGIENE E PERFUMARIA", {
            {"HIGIENE BUCAL", {
                {"CREME DENTAL", "33061000", "2002800", R::Substituicao, "MENTA|HORTELÃ|CLAREADOR", "50G|90G"},
                {"ESCOVA DENTAL", "96032100", "2003000", R::Substituicao, "MACIA|MÉDIA", "UN"}}},
            {"BANHO", {
                {"SABONETE", "34011190", "2003400", R::Substituicao, "ERVA-DOCE|AVEIA|GLICERINA", "85G|90G"},
                {"XAMPU", "33051000", "2002200", R::Substituicao, "CACHOS|ANTICASPA|NEUTRO", "200ML|350ML"}}},
            {"PAPÉIS", {
                {"PAPEL HIGIÊNICO", "48181000", "2004000", R::Substituicao, "FOLHA DUPLA|FOLHA SIMPLES", "4 ROLOS|12 ROLOS"}}},
            {"DESODORANTES", {
                {"DESODORANTE", "33072010", "2002600", R::Substituicao, "AEROSSOL|ROLL-ON", "50ML|150ML"}}}}},
        {"LIMPEZA", {
            {"LAVA-ROUPAS", {
                {"SABÃO EM PÓ", "34022000", "1100100", R::Substituicao, "MULTIAÇÃO|COCO", "800G|1,6KG"},
                {"AMACIANTE", "38099190", "1100800", R::Substituicao, "CONCENTRADO|PRIMAVERA", "500ML|2L"}}},
            {"LIMPEZA GERAL", {
                {"DETERGENTE", "34022000", "1100600", R::Substituicao, "NEUTRO|LIMÃO|MAÇÃ", "500ML"},
                {"ÁGUA SANITÁRIA", "28289011", "1100500", R::Substituicao, "TRADICIONAL", "1L|2L"},
                {"DESINFETANTE", "38089419", "1100700", R::Substituicao, "LAVANDA|EUCALIPTO|PINHO", "500ML|2L"}}}}},
        {"BAZAR E UTILIDADES", {
            {"ELÉTRICOS", {
                {"PILHA", "85061010", "1000100", R::Substituicao, "ALCALINA AA|ALCALINA AAA", "2 UN|4 UN"},
                {"LÂMPADA LED", "85395000", "0900700", R::Substituicao, "9W BRANCA|12W AMARELA", "UN"}}},
            {"UTILIDADES DOMÉSTICAS", {
                {"VASSOURA", "96031000", nullptr, R::Tributado, "PIAÇAVA|NYLON", "UN"},
                {"PANO DE PRATO", "63026000", nullptr, R::Tributado, "ALGODÃO", "UN|3 UN"}}}}},
        {"PET SHOP", {
            {"RAÇÕES", {
                {"RAÇÃO PARA CÃES", "23091000", "2200100", R::Substituicao, "ADULTO CARNE|FILHOTE FRANGO", "1KG|10,1KG"},
                {"RAÇÃO PARA GATOS", "23091000", "2200100", R::Substituicao, "ADULTO PEIXE|CASTRADO", "1KG|3KG"}}},
            {"ACESSÓRIOS PET", {
                {"AREIA HIGIÊNICA", "25081000", nullptr, R::Tributado, "TRADICIONAL|PERFUMADA", "4KG"}}}}},
        {"CONGELADOS", {
            {"SORVETES", {
                {"SORVETE", "21050010", "2300100", R::Substituicao, "CHOCOLATE|FLOCOS|NAPOLITANO|CREME", "1,5L|2L"}}},
            {"SORVETES - FABRICAÇÃO PRÓPRIA", {
                {"PICOLÉ ARTESANAL", "21050010", "2300100", R::TributadoComSt, "LIMÃO|COCO|MORANGO|AÇAÍ", "UN|CX 10 UN"}}},
            {"PRATOS PRONTOS", {
                {"PIZZA CONGELADA", "19012000", nullptr, R::Tributado, "MUÇARELA|CALABRESA|FRANGO COM CATUPIRY", "460G"},
                {"LASANHA", "19022000", nullptr, R::Tributado, "BOLONHESA|QUATRO QUEIJOS", "600G"},
                {"PÃO DE QUEIJO", "19022000", nullptr, R::Tributado, "TRADICIONAL|COQUETEL", "400G|1KG"}}}}},
    };
    return grupos;
}

const std::vector<EstadoDemo> &estadosDemo() {
    // Internal rates of each state as the ERP keeps them, in percent.
    static const std::vector<EstadoDemo> estados = {
        {"AC", "19"}, {"AL", "19"}, {"AM", "20"}, {"AP", "18"}, {"BA", "20.5"}, {"CE", "20"},
        {"DF", "20"}, {"ES", "17"}, {"GO", "19"}, {"MA", "22"}, {"MG", "18"}, {"MS", "17"},
        {"MT", "17"}, {"PA", "19"}, {"PB", "20"}, {"PE", "20.5"}, {"PI", "21"}, {"PR", "19.5"},
        {"RJ", "22"}, {"RN", "18"}, {"RO", "19.5"}, {"RR", "20"}, {"RS", "17"}, {"SC", "17"},
        {"SE", "19"}, {"SP", "18"}, {"TO", "20"}};
    return estados;
}

const std::vector<FilialDemo> &filiaisDemo() {
    static const std::vector<FilialDemo> filiais = {
        {1, "MATRIZ - SÃO PAULO", "SP"},
        {2, "FILIAL CAMPINAS", "SP"},
        {3, "FILIAL BELO HORIZONTE", "MG"},
        {4, "FILIAL CURITIBA", "PR"},
        {5, "FILIAL SALVADOR", "BA"},
        {6, "FILIAL NITERÓI", "RJ"},
    };
    return filiais;
}

const std::vector<const char *> &marcasDemo() {
    static const std::vector<const char *> marcas = {
        "SABOR DO CAMPO", "BOM DIA", "ESTRELA DO SUL", "TROPICAL", "SÃO JORGE", "BELA VISTA",
        "PRIMAVERA", "SERRA AZUL", "VALE VERDE", "DONA CÉLIA", "CORAÇÃO MINEIRO", "ITAPUÃ",
        "BOA ESPERANÇA", "NOSSA TERRA"};
    return marcas;
}

}  // namespace ferramentas
