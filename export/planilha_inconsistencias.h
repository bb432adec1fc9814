#pragma once
// The inconsistency workbook: a header row, one row per listing row grouped by rule with the
// rule's cells of column A merged, and the summary of occurrences per rule.
#include "platform/erro/Erro.h"

#include <QString>
#include <array>
#include <functional>

// The sixteen listing fields in column order A to P.
inline constexpr int ColunasListagem = 16;
using LinhaListagem = std::array<QString, ColunasListagem>;
extern const std::array<const char *, ColunasListagem> CamposListagem;     // "DESC_ERRO", ...
extern const std::array<const char *, ColunasListagem> CabecalhoPlanilha;  // "INCONSISTÊNCIA", ...

// What the workbook is made of, read once from the start: the listing sorted by rule and
// product, the count per rule, and the total that the counts announce.
class FonteInconsistencias {
public:
    virtual ~FonteInconsistencias() = default;
    virtual bool proximaLinha(LinhaListagem &linha) = 0;  // false after the last row
    virtual bool proximaContagem(QString &descricao, QString &quantidade) = 0;
    virtual qint64 totalOcorrencias() = 0;  // the gauge's maximum; 0 when unknown
};

struct AcompanhamentoPlanilha {
    // Asked before each listing row; false stops the export and nothing is saved.
    std::function<bool()> continuar;
    std::function<void()> linhaEscrita;
};

enum class ResultadoPlanilha { Gravada, Cancelada };

// Writes the workbook to arquivo, used as given (no extension is added). An existing file is
// replaced only by a complete new workbook; after a cancel or a failure it is untouched and
// nothing else is left in its folder. Throws Erro with the Portuguese explanation, before
// anything is written where that can be known beforehand (a folder as name, a folder that
// takes no files, more rows than a sheet holds).
ResultadoPlanilha GravarPlanilhaInconsistencias(FonteInconsistencias &fonte, const QString &arquivo,
                                                const AcompanhamentoPlanilha &acompanhamento = {});

// Rows a workbook needs for this many listing rows and count rows: the header, the listing,
// one empty row, the summary title and the count rows.
qint64 LinhasNecessarias(qint64 linhasListagem, qint64 linhasContagem);
