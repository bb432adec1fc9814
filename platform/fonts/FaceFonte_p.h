#pragma once
// What only the font service's own files see of an open face.
#include "platform/fonts/Fontes.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <QHash>

#include <array>
#include <map>

namespace fontes {

struct FaceFonte::Interno {
    FT_Library biblioteca = nullptr;
    FT_Face face = nullptr;
    hb_blob_t *blob = nullptr;
    hb_face_t *hbFace = nullptr;
    hb_font_t *hbFont = nullptr;
    // Advances per pixel size, one slot per UTF-16 code unit; -1 means not measured yet.
    mutable std::map<int, std::unique_ptr<std::array<std::int16_t, 65536>>> avancosPorTamanho;
    mutable QRawFont crua;
    mutable QHash<qint64, QRawFont> cruasPorTamanho;
};

} // namespace fontes
