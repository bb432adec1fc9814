// Finding the file of a named font and keeping every face opened once.
#include "platform/fonts/FaceFonte_p.h"
#include "platform/erro/Erro.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <tuple>

namespace fontes {

namespace {

struct Encontrada {
    QString caminho;
    int indice = 0;
    QString familia;
    bool substituta = true;
};

QString textoFc(FcPattern *padrao, const char *objeto)
{
    FcChar8 *valor = nullptr;
    if (FcPatternGetString(padrao, objeto, 0, &valor) != FcResultMatch || !valor)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(valor));
}

// The file is the named font itself when one of its family names is the name asked for;
// a metric-compatible stand-in has a family name of its own and counts as a substitute.
bool ehDaFamilia(FcPattern *padrao, const QString &nome)
{
    FcChar8 *valor = nullptr;
    for (int i = 0; FcPatternGetString(padrao, FC_FAMILY, i, &valor) == FcResultMatch; ++i)
        if (QString::fromUtf8(reinterpret_cast<const char *>(valor)).compare(nome, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

Encontrada procurar(const QString &nome, EstiloFonte estilo)
{
    static std::once_flag iniciado;
    std::call_once(iniciado, [] { FcInit(); });

    FcPattern *padrao = FcPatternCreate();
    const QByteArray nomeUtf8 = nome.toUtf8();
    FcPatternAddString(padrao, FC_FAMILY, reinterpret_cast<const FcChar8 *>(nomeUtf8.constData()));
    FcPatternAddInteger(padrao, FC_WEIGHT, estilo.negrito ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(padrao, FC_SLANT, estilo.italico ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Only outline fonts can be measured at any size and embedded in a PDF.
    FcPatternAddBool(padrao, FC_OUTLINE, FcTrue);
    FcPatternAddBool(padrao, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, padrao, FcMatchPattern);
    FcDefaultSubstitute(padrao);

    FcResult resultado = FcResultNoMatch;
    FcFontSet *conjunto = FcFontSort(nullptr, padrao, FcFalse, nullptr, &resultado);
    Encontrada achada;
    if (conjunto) {
        for (int i = 0; i < conjunto->nfont && achada.caminho.isEmpty(); ++i) {
            FcPattern *candidata = conjunto->fonts[i];
            FcBool contorno = FcFalse;
            if (FcPatternGetBool(candidata, FC_OUTLINE, 0, &contorno) == FcResultMatch && !contorno)
                continue;
            const QString caminho = textoFc(candidata, FC_FILE);
            if (caminho.isEmpty())
                continue;
            achada.caminho = caminho;
            FcPatternGetInteger(candidata, FC_INDEX, 0, &achada.indice);
            achada.familia = textoFc(candidata, FC_FAMILY);
            achada.substituta = !ehDaFamilia(candidata, nome);
        }
        FcFontSetDestroy(conjunto);
    }
    FcPatternDestroy(padrao);
    if (achada.caminho.isEmpty())
        throw Erro(QStringLiteral("Nenhuma fonte instalada serve para \"%1\".").arg(nome));
    return achada;
}

} // namespace

FaceFonte &abrirFace(const QString &nome, EstiloFonte estilo)
{
    using Chave = std::tuple<QString, bool, bool>;
    static std::mutex trava;
    // Never destroyed: the faces hold Qt glyph fonts, which must not be released by the static
    // destructors at exit, after the GUI application (and Qt's font engines) are gone.
    static auto &faces = *new std::map<Chave, std::unique_ptr<FaceFonte>>;

    const Chave chave{nome.toCaseFolded(), estilo.negrito, estilo.italico};
    std::lock_guard<std::mutex> guarda(trava);
    auto it = faces.find(chave);
    if (it != faces.end())
        return *it->second;

    const Encontrada achada = procurar(nome, estilo);
    std::unique_ptr<FaceFonte> face(new FaceFonte);
    face->abrir(nome, achada.caminho, achada.indice, estilo, achada.familia, achada.substituta);
    // Underline and strike-out belong to the drawing; the cached face carries neither.
    face->estilo_.sublinhado = face->estilo_.tachado = false;
    FaceFonte &referencia = *face;
    faces.emplace(chave, std::move(face));
    return referencia;
}

} // namespace fontes
