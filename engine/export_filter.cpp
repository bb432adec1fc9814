#include "engine/export_filter.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <exception>

#include "engine/bands.h"
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/report_prepare.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

namespace {

QList<TfrxCustomExportFilter *> &filterList() {
    static QList<TfrxCustomExportFilter *> list;
    return list;
}

}  // namespace

TfrxCustomExportFilter::TfrxCustomExportFilter() { filterList().append(this); }

TfrxCustomExportFilter::~TfrxCustomExportFilter() { filterList().removeAll(this); }

const QList<TfrxCustomExportFilter *> &frxExportFilters() { return filterList(); }

QList<int> ParsePageNumbers(const QString &text, int pageCount) {
    QList<int> pages;
    const auto number = [](const QString &part, bool &ok) {
        ok = false;
        if (part.isEmpty()) return 0;
        const int value = part.toInt(&ok);
        return value;
    };
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    for (const QString &item : compact.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        bool ok = false;
        if (dash < 0) {
            const int page = number(item, ok);
            if (ok) pages.append(page);
            continue;
        }
        bool okLast = false;
        const int first = number(item.left(dash), ok);
        int last = number(item.mid(dash + 1), okLast);
        if (!ok) continue;
        if (item.mid(dash + 1).isEmpty()) {
            last = pageCount;
            okLast = true;
        }
        if (!okLast) continue;
        const int from = std::min(first, last), to = std::max(first, last);
        // Clamped to the report, so "1-999999999" cannot fill memory with pages that do not exist.
        for (int page = std::max(from, 1); page <= std::min(to, pageCount); ++page)
            pages.append(page);
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

// ---- the export driver -----------------------------------------------------------------------

namespace {

// Everything a filter needs of a view before it is exported: the highlight font when the
// highlight is active, the page count and copy number for the deferred markers, and the width
// of an AutoWidth memo, which only drawing works out.
void prepareForExport(TfrxComponent *object, int pageCount) {
    auto *memo = dynamic_cast<TfrxCustomMemoView *>(object);
    if (!memo) return;
    if (memo->Highlight.Active) memo->SetFont(memo->Highlight.Font);
    memo->TotalPages = pageCount;
    memo->CopyNo = 1;
    memo->ApplyDeferredMacros();
    if (memo->AutoWidth) {
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&scratch);
        memo->Draw(&painter, 1, 1, 0, 0);
    }
}

void exportPage(TfrxPreviewPages *pages, TfrxCustomExportFilter *filter, int index,
                const QList<int> &selection) {
    const int count = pages->Count();
    if (index >= count || (!selection.isEmpty() && !selection.contains(index + 1))) return;
    TfrxReportPage *page = pages->GetPage(index);
    if (!page) return;
    if (filter->ShowProgress && pages->OnProgress) pages->OnProgress(ptExporting, index + 1);
    filter->BeginPage(page, index);
    // From here EndPage is called whatever happens; then the page goes back to the paper's
    // origin for the preview that shows it, or out of the cache when nothing shows it.
    struct AfterPage {
        TfrxPreviewPages *pages;
        TfrxCustomExportFilter *filter;
        TfrxReportPage *page;
        int index;
        void restore() noexcept {
            if (pages->Preview) {
                page->SetLeft(0);
                page->SetTop(0);
            } else {
                pages->ClearPageCache();
            }
        }
        ~AfterPage() noexcept(false) {
            if (std::uncaught_exceptions() == 0) {
                try {
                    filter->EndPage(page, index);
                } catch (...) {
                    restore();
                    throw;
                }
                restore();
                return;
            }
            // Already failing: the first failure is the one to report.
            try {
                filter->EndPage(page, index);
            } catch (...) {
            }
            restore();
        }
    } afterPage{pages, filter, page, index};

    // Absolute positions of all objects then include the margins.
    const bool mirrored = page->MirrorMargins && index % 2 == 1;
    page->SetLeft((mirrored ? page->RightMargin : page->LeftMargin) * fr01cm);
    page->SetTop(page->TopMargin * fr01cm);

    {
        TfrxPictureView background;
        background.SetName(QStringLiteral("_pagebackground"));
        background.Color = page->Color();
        background.Frame = page->Frame();
        if (page->BackPictureView()) background.Picture = page->BackPictureView()->Picture;
        background.Stretched = true;
        background.KeepAspectRatio = false;
        background.SetBounds(page->Left(), page->Top(),
                             page->Width() - (page->LeftMargin + page->RightMargin) * fr01cm,
                             page->Height() - (page->TopMargin + page->BottomMargin) * fr01cm);
        filter->ExportView(&background);
    }

    const std::vector<TfrxComponent *> bands = page->Objects();
    for (TfrxComponent *band : bands) {
        if (filter->SuppressPageHeadersFooters) {
            if (dynamic_cast<TfrxPageHeader *>(band) && index != 0) continue;
            if (dynamic_cast<TfrxPageFooter *>(band) && index != count - 1) continue;
        }
        prepareForExport(band, count);
        filter->ExportView(band);
        for (TfrxComponent *child : band->AllObjects()) {
            prepareForExport(child, count);
            filter->ExportView(child);
        }
    }
}

}  // namespace

bool frxExportPages(TfrxPreviewPages *pages, TfrxCustomExportFilter *filter) {
    if (!filter || !pages) return false;
    pages->CopyNo = 0;
    TfrxReport *report = pages->Report();
    filter->Report = report;
    if (filter->ShowDialog && filter->ShowOptionsDialog() != mrOk) return false;
    if (filter->CurPage)
        filter->PageNumbers = QString::number(pages->Preview ? pages->Preview->PageNo() : 1);
    bool result = true;
    if (report) report->Terminated = false;
    const QList<int> selection = ParsePageNumbers(filter->PageNumbers, pages->Count());

    bool begun = false;
    try {
        if (filter->OnBeginExport) filter->OnBeginExport(filter);
        if (!filter->BeginExport()) return result;
        begun = true;
        if (pages->Preview) pages->Preview->Lock();
        if (filter->ShowProgress && pages->OnProgressStart) pages->OnProgressStart(ptExporting);
        for (int i = 0; i < pages->Count(); ++i) {
            exportPage(pages, filter, i, selection);
            if (report && report->Terminated) break;
            if (QCoreApplication::instance()) QCoreApplication::processEvents();
        }
    } catch (const std::exception &e) {
        result = false;
        const QString message =
            dynamic_cast<const Erro *>(&e) ? static_cast<const Erro &>(e).mensagem()
                                           : QString::fromUtf8(e.what());
        if (report) report->AddError(message);
    }
    if (begun) {
        try {
            if (pages->Preview) {
                pages->Preview->Unlock();
                pages->Preview->RefreshReport();
            }
            if (filter->ShowProgress && pages->OnProgressStop) pages->OnProgressStop(ptExporting);
            filter->EndExport();
        } catch (const std::exception &e) {
            result = false;
            if (report)
                report->AddError(dynamic_cast<const Erro *>(&e)
                                     ? static_cast<const Erro &>(e).mensagem()
                                     : QString::fromUtf8(e.what()));
        }
    }
    if (!result && report) frxReportErrors(report);
    return result;
}
