#pragma once

// The base of every export filter and the process-wide list of filters. The prepared pages'
// Export driver calls the operations in this order: ShowOptionsDialog (when ShowDialog),
// OnBeginExport, BeginExport, then per page BeginPage, ExportView for the page background and
// every band and view, EndPage; finally EndExport.

#include <QList>
#include <QString>
#include <functional>

class TfrxPreviewPages;
class TfrxReport;
class TfrxReportPage;
class TfrxView;
class TfrxComponent;

// Modal result that lets an export go ahead.
constexpr int mrOk = 1;

class TfrxCustomExportFilter {
public:
    TfrxCustomExportFilter();
    virtual ~TfrxCustomExportFilter();
    TfrxCustomExportFilter(const TfrxCustomExportFilter &) = delete;
    TfrxCustomExportFilter &operator=(const TfrxCustomExportFilter &) = delete;

    virtual QString FilterDescription() const { return {}; }
    virtual int ShowOptionsDialog() { return mrOk; }
    // False ends the export quietly: nothing else is called.
    virtual bool BeginExport() { return true; }
    // Bands come here too (as TfrxView is not their base, the band is passed as a component);
    // a filter skips what it does not draw.
    virtual void ExportView(TfrxComponent *view) = 0;
    virtual void EndExport() {}
    virtual void EndPage(TfrxReportPage *page, int index) {}
    virtual void BeginPage(TfrxReportPage *page, int index) {}

    bool ShowDialog = true;
    QString FileName;
    bool ExportNotPrintable = false;
    bool UseFileCache = true;
    QString DefaultPath;
    bool ShowProgress = true;
    bool OverwritePrompt = false;
    std::function<void(TfrxCustomExportFilter *)> OnBeginExport;
    // Export only the page shown in the preview.
    bool CurPage = false;
    // "1,3,5-12": pages counted from 1; empty means every page.
    QString PageNumbers;
    // Page headers only on the first page, page footers only on the last.
    bool SuppressPageHeadersFooters = false;

    // Set by the driver before anything is called.
    TfrxReport *Report = nullptr;
};

// Every filter that exists, in order of creation.
const QList<TfrxCustomExportFilter *> &frxExportFilters();

// The pages named by a selection text ("1,3,5-12", blanks ignored, a range may run backwards,
// "7-" runs to the last page), sorted and without repeats. Parts that are not numbers are
// ignored; ranges are clipped to 1..pageCount, single numbers kept (the driver skips them).
QList<int> ParsePageNumbers(const QString &text, int pageCount);

// The export driver behind TfrxPreviewPages::Export: runs the filter over the selected pages.
// False when the options dialog was cancelled or the export failed; a failure is added to the
// report's errors and reported as its NewSilentMode says.
bool frxExportPages(TfrxPreviewPages *pages, TfrxCustomExportFilter *filter);
