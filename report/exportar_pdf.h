#pragma once
// The settings of the PDF export component `ExportarPDF` that sits beside the report. The PDF
// writer takes them over when the preview exports; its options dialog starts from them.
#include <QString>

struct TConfiguracaoExportarPDF {
    bool UseFileCache = true;
    bool ShowProgress = true;
    bool OverwritePrompt = false;
    bool PrintOptimized = false;
    bool Outline = false;
    bool Background = false;
    bool HTMLTags = true;
    QString Author = QStringLiteral("Quelvora Relatórios");
    QString Subject = QStringLiteral("Quelvora Relatórios PDF export");
    // ProtectionFlags: what a reader may do with a protected document.
    bool ePrint = true;
    bool eModify = true;
    bool eCopy = true;
    bool eAnnot = true;
    bool HideToolbar = false;
    bool HideMenubar = false;
    bool HideWindowUI = false;
    bool FitWindow = false;
    bool CenterWindow = false;
    bool PrintScaling = false;
};
