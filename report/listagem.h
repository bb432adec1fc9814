#pragma once
// The inconsistency report: the report `frxListagem` with its two report datasets, built from
// the fixed definition, and the settings of the PDF export the preview offers.
//
// The datasets read the program's queries; the program points them at the listing and count
// queries of the chosen variant before every run (SetDataSet) and keeps the queries alive
// while the report may read them.
#include "engine/datasets.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "report/exportar_pdf.h"

class TRelatorioListagem {
public:
    TRelatorioListagem();
    ~TRelatorioListagem();
    TRelatorioListagem(const TRelatorioListagem &) = delete;
    TRelatorioListagem &operator=(const TRelatorioListagem &) = delete;

    // Declared before the report so that they outlive it.
    TfrxDBDataset frxDBListagem;
    TfrxDBDataset frxDBContaOcorrencias;
    TfrxReport frxListagem;
    // The report's prepared pages (its PreviewPages).
    TfrxPreviewPages Paginas{&frxListagem};
    TConfiguracaoExportarPDF ExportarPDF;
};

// Builds the definition into an empty report and gives the two datasets their settings.
void MontarListagem(TfrxReport &frxListagem, TfrxDBDataset &frxDBListagem,
                    TfrxDBDataset &frxDBContaOcorrencias);

// The branch name as a text literal of the report's expressions: in single quotes, every single
// quote inside doubled, so that "[FILIAL]" prints the name as stored.
QString NomeFilialComoExpressao(const QString &nome);
