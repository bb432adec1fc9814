#include "engine/band_engine.h"

#include "engine/band_engine_layout.h"
#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/resources.h"
#include "engine/report.h"
#include "engine/views.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <algorithm>

namespace {

TfrxDataSet *dataSetOf(TfrxDataBand *band)
{
    if (band->DataSet())
        return band->DataSet();
    return band->VirtualDataSet.get();
}

// Clears the run-time links a previous run left on a band.
void clearLinks(TfrxBand *band)
{
    band->ShiftChildrenComputed = false;
    if (auto *d = dynamic_cast<TfrxDataBand *>(band)) {
        d->Header = nullptr;
        d->Footer = nullptr;
        d->Group = nullptr;
        d->DataBands.clear();
        d->VirtualDataSet.reset();
    }
    if (auto *g = dynamic_cast<TfrxGroupHeader *>(band)) {
        g->GroupList.clear();
        g->FooterBand = nullptr;
        g->LastValue = QVariant();
    }
}

// Views that stretch or are affected by shifting: everything but nested bands.
std::vector<TfrxView *> viewsOf(TfrxBand *band)
{
    std::vector<TfrxView *> views;
    views.reserve(band->Objects().size());
    for (TfrxComponent *c : band->Objects())
        if (auto *v = dynamic_cast<TfrxView *>(c))
            views.push_back(v);
    return views;
}

// Finally-style guard for flags that must drop whatever happens.
struct FlagGuard {
    bool &flag;
    bool old;
    FlagGuard(bool &f, bool value) : flag(f), old(f) { flag = value; }
    ~FlagGuard() { flag = old; }
};

}  // namespace

TfrxEngine::TfrxEngine(TfrxReport *report, TfrxPreviewPages *pages) : FReport(report), FPages(pages)
{
    ProcessMessages = [] {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    };
}

TfrxEngine::~TfrxEngine() = default;

template <class T>
T *TfrxEngine::findBand() const
{
    return FPage ? FPage->FindBand<T>() : nullptr;
}

double TfrxEngine::PageHeight() const
{
    if (FPage && FPage->EndlessHeight)
        return FooterHeight() + CurY;
    return FPageHeight;
}

double TfrxEngine::FooterHeight() const
{
    double h = 0;
    if (auto *b = findBand<TfrxColumnFooter>())
        h += b->Height();
    if (auto *b = findBand<TfrxPageFooter>())
        h += b->Height();
    return h;
}

double TfrxEngine::HeaderHeight() const
{
    double h = 0;
    auto chain = [&h](TfrxBand *b) {
        for (; b; b = b->Child)
            h += b->Height();
    };
    chain(findBand<TfrxColumnHeader>());
    chain(findBand<TfrxPageHeader>());
    return h;
}

double TfrxEngine::FreeSpace() const
{
    frx::SpaceInput in;
    in.pageHeight = PageHeight();
    in.footerHeight = FooterHeight();
    in.rememberedFooterHeight = FRememberedFooterHeight;
    in.curY = CurY;
    in.endlessHeight = FPage && FPage->EndlessHeight;
    return frx::freeSpace(in);
}

void TfrxEngine::processMessages()
{
    if (ProcessMessages)
        ProcessMessages();
}

// --- run ------------------------------------------------------------------------------------

void TfrxEngine::buildStructure(TfrxReportPage *page)
{
    page->ApplyAlignment();
    page->DataBandList.clear();

    std::vector<TfrxBand *> bands;
    std::vector<frx::BandSlot> descriptions;
    for (TfrxComponent *c : page->Objects()) {
        auto *band = dynamic_cast<TfrxBand *>(c);
        if (!band || band->Vertical || band->BandNumber() < 0)
            continue;
        clearLinks(band);
        planOf(band);
        auto *data = dynamic_cast<TfrxDataBand *>(band);
        if (data && !data->DataSet() && data->RowCount > 0) {
            data->VirtualDataSet = std::make_unique<TfrxUserDataSet>();
            data->VirtualDataSet->RangeEnd = reCount;
            data->VirtualDataSet->RangeEndCount = data->RowCount;
        }
        bands.push_back(band);
        descriptions.push_back({band->BandNumber(), band->Top(), data && dataSetOf(data), band->Name()});
    }

    const frx::PageStructure s = frx::linkBands(descriptions);
    for (const frx::StructureError &e : s.errors)
        FReport->AddError(frxGet(QString::fromLatin1(e.resourceKey)) + QLatin1Char(' ') + e.bandName);
    for (size_t i = 0; i < bands.size(); ++i) {
        const frx::BandLinks &l = s.bands[i];
        if (auto *d = dynamic_cast<TfrxDataBand *>(bands[i])) {
            d->Header = l.header >= 0 ? bands[l.header] : nullptr;
            d->Footer = l.footer >= 0 ? bands[l.footer] : nullptr;
            d->Group = l.group >= 0 ? static_cast<TfrxGroupHeader *>(bands[l.group]) : nullptr;
            for (int k : l.details)
                d->DataBands.push_back(static_cast<TfrxDataBand *>(bands[k]));
        }
        if (auto *g = dynamic_cast<TfrxGroupHeader *>(bands[i])) {
            for (int k : l.groupList)
                g->GroupList.push_back(static_cast<TfrxGroupHeader *>(bands[k]));
            g->FooterBand = l.groupFooter >= 0 ? static_cast<TfrxGroupFooter *>(bands[l.groupFooter]) : nullptr;
        }
    }
    for (int k : s.dataBands)
        page->DataBandList.push_back(static_cast<TfrxDataBand *>(bands[k]));
}

bool TfrxEngine::Run()
{
    FRememberedFooterHeight = 0;
    FPlans.clear();
    FPages->BeginRun();
    FPages->AddPageAction = apAdd;
    StartDate = QDate::currentDate();
    StartTime = QTime::currentTime();
    Running = true;
    FKeeping = false;
    CurVColumn = 0;

    bool datasetsStarted = false;
    auto finish = [&] {
        if (datasetsStarted) {
            for (int i = 0; i < FReport->DataSets.Count(); ++i)
                if (TfrxDataSet *ds = FReport->DataSets.Items(i).DataSet)
                    ds->EndRun();
        }
        FPages->EndRun();
        Running = false;
        FPage = nullptr;
    };

    try {
        const std::vector<TfrxReportPage *> pages = FReport->ReportPages();
        const int errorsBefore = int(FReport->Errors().size());
        for (TfrxReportPage *p : pages)
            buildStructure(p);
        for (TfrxReportPage *p : pages) {
            if (FReport->DataSet() && FReport->DataSet() == p->DataSet()) {
                FReport->AddError(QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet"));
                break;
            }
            for (TfrxComponent *c : p->Objects()) {
                auto *d = dynamic_cast<TfrxDataBand *>(c);
                if (!d || !d->DataSet())
                    continue;
                if (FReport->DataSet() && d->DataSet() == FReport->DataSet())
                    FReport->AddError(QStringLiteral("Cannot use the same dataset for Report.DataSet and Band.DataSet"));
                if (p->DataSet() && d->DataSet() == p->DataSet())
                    FReport->AddError(QStringLiteral("Cannot use the same dataset for Page.DataSet and Band.DataSet"));
            }
        }
        if (int(FReport->Errors().size()) != errorsBefore) {
            finish();
            return false;
        }

        datasetsStarted = true;
        for (int i = 0; i < FReport->DataSets.Count(); ++i) {
            if (TfrxDataSet *ds = FReport->DataSets.Items(i).DataSet) {
                ds->ReportRef = FReport;
                ds->BeginRun();
            }
        }

        for (TfrxReportPage *p : pages)
            FPages->AddSourcePage(p);

        FinalPass = !FReport->EngineOptions.DoublePass;
        TotalPages = 0;
        FPages->BeginPass();
        runReportPages();

        if (FReport->EngineOptions.DoublePass && !FReport->Terminated) {
            TotalPages = FPages->Count();
            FPages->SetCurPage(FPages->Count() - 1);
            FPages->DropFirstPass();
            FinalPass = true;
            runReportPages();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return true;
}

void TfrxEngine::runReportPages()
{
    FIsFirstReportPage = true;
    if (TfrxDataSet *ds = FReport->DataSet()) {
        ds->First();
        while (!ds->Eof() && !FReport->Terminated) {
            runPages();
            ds->Next();
        }
    } else {
        runPages();
    }
}

void TfrxEngine::runPages()
{
    for (TfrxReportPage *p : FReport->ReportPages()) {
        if (!p->Visible() || p->IsSubReport)
            continue;
        runPage(p);
        if (FReport->Terminated)
            break;
        FIsFirstReportPage = false;
    }
}

void TfrxEngine::runPage(TfrxReportPage *page)
{
    FNothingPrinted = true;
    if (TfrxDataSet *ds = page->DataSet()) {
        ds->First();
        while (!ds->Eof() && !FReport->Terminated) {
            onePageRun(page);
            ds->Next();
        }
    } else {
        const int runs = std::max(1, page->PageCount);
        for (int i = 0; i < runs && !FReport->Terminated; ++i)
            onePageRun(page);
    }
}

bool TfrxEngine::pageHasRows(TfrxReportPage *page)
{
    if (FReport->EngineOptions.PrintIfEmpty)
        return true;
    for (TfrxDataBand *d : page->DataBandList) {
        TfrxDataSet *ds = dataSetOf(d);
        ds->First();
        while (!ds->Eof()) {
            if (hasDetailRows(d))
                return true;
            ds->Next();
        }
    }
    return false;
}

void TfrxEngine::onePageRun(TfrxReportPage *page)
{
    FPage = page;
    if (!pageHasRows(page))
        return;
    beginPage(page);
    showPageLevelObjects(page);
    runDataBands(page->DataBandList);
    FIsLastPage = true;
    ClosePage();
    FIsLastPage = false;
}

void TfrxEngine::beginPage(TfrxReportPage *page)
{
    FPage = page;
    FHeaderList.clear();
    TfrxBand *title = page->FindBand<TfrxReportTitle>();
    TfrxBand *pageHeader = page->FindBand<TfrxPageHeader>();
    if (page->TitleBeforeHeader) {
        FHeaderList.push_back({title, 0, false});
        FHeaderList.push_back({pageHeader, 0, false});
    } else {
        FHeaderList.push_back({pageHeader, 0, false});
        FHeaderList.push_back({title, 0, false});
    }
    FPageWidth = page->PrintableWidth();
    FPageHeight = page->PrintableHeight();
    CurX = 0;
    CurY = 0;
    CurColumn = 1;
    FIsFirstPage = true;
    FIsLastPage = false;
    FPages->OutlineLevelRoot();
    if (page->ResetPageNumbers)
        FPages->CloseNumberingSection();

    if (FPages->Count() > 0 && page->PrintOnPreviousPage) {
        FPages->SetCurPage(FPages->Count() - 1);
        CurY = FPages->LastBandBottom(0);
        ShowBand(title);
    } else {
        openPage();
    }
    if (FIsFirstReportPage)
        FPages->FirstPage = FPages->CurPage();

    if (auto *columnHeader = page->FindBand<TfrxColumnHeader>()) {
        ShowBand(columnHeader);
        FHeaderList.push_back({columnHeader, CurX, false});
    }
    for (HeaderItem &item : FHeaderList)
        if (item.band && item.band == title)
            item.band = nullptr;
    if (!page->OutlineText.isEmpty())
        FPages->OutlineAdd(FReport->Calc(page->OutlineText).toString(), CurY);
}

void TfrxEngine::openPage()
{
    FRememberedFooterHeight = 0;
    FPages->AddPage(FPage);
    CurY = 0;
    FPageStartY = 0;
    processMessages();

    if (auto *overlay = FPage->FindBand<TfrxOverlay>(); overlay && !overlay->PrintOnTop) {
        FlagGuard opening(FOpening, true);
        ShowBand(overlay);
        CurY = 0;
    }

    const int savedLine = CurLine, savedLineThrough = CurLineThrough;
    bool titled = false;
    for (HeaderItem &item : FHeaderList) {
        TfrxBand *band = item.band;
        frx::HeaderItemInput in;
        if (!band)
            in.kind = frx::HeaderItemKind::Empty;
        else if (dynamic_cast<TfrxPageHeader *>(band))
            in.kind = frx::HeaderItemKind::PageHeader;
        else if (dynamic_cast<TfrxHeader *>(band))
            in.kind = frx::HeaderItemKind::Header;
        else if (dynamic_cast<TfrxGroupHeader *>(band))
            in.kind = frx::HeaderItemKind::GroupHeader;
        in.isBreakingBand = band && band == FBreakingBand;
        in.isInterruptedBand = band && band == FInterruptedBand;
        in.firstPage = FIsFirstPage;
        if (auto *ph = dynamic_cast<TfrxPageHeader *>(band))
            in.printOnFirstPage = ph->PrintOnFirstPage;
        in.headerKeep = FKeepHeader;
        in.addedDuringKeep = item.inKeep;
        in.footerKeep = FKeepFooter;
        in.noHeaders = FNoHeaders;

        const frx::HeaderItemOutput out =
            frx::headerItemOutput(in, band && band->PrintChildIfInvisible);
        if (out == frx::HeaderItemOutput::Skip)
            continue;
        CurX = item.curX;
        CurLine = band->LineN;
        CurLineThrough = band->LineThrough;
        FlagGuard opening(FOpening, true);
        FlagGuard pageHeader(FPageHeaderPrinting, in.kind == frx::HeaderItemKind::PageHeader);
        if (out == frx::HeaderItemOutput::ChildOnly)
            ShowBand(band->Child);
        else
            ShowBand(band);
        if (dynamic_cast<TfrxReportTitle *>(band)) {
            item.band = nullptr;
            titled = true;
        }
    }
    CurLine = savedLine;
    CurLineThrough = savedLineThrough;
    // Later pages have no title, so a band below one may still find more room there.
    FPageStartY = titled ? -1 : CurY;
}

void TfrxEngine::showPageLevelObjects(TfrxReportPage *page)
{
    std::vector<TfrxView *> views;
    for (TfrxComponent *c : page->Objects())
        if (auto *v = dynamic_cast<TfrxView *>(c))
            views.push_back(v);
    if (views.empty())
        return;

    // The views move into a band of the printable area's size for as long as it takes to
    // output them, then back to the page in their old order.
    const std::vector<TfrxComponent *> order = page->Objects();
    auto carrier = std::make_unique<TfrxNullBand>(page);
    carrier->SetBounds(0, 0, FPageWidth, FPageHeight);
    for (TfrxView *v : views)
        v->MoveToParent(carrier.get());
    const double savedY = CurY;
    auto restore = [&] {
        for (TfrxView *v : views)
            v->MoveToParent(nullptr);
        carrier->MoveToParent(nullptr);
        carrier.reset();
        for (TfrxComponent *c : order)
            c->MoveToParent(page);
        CurY = savedY;
    };
    try {
        carrier->ApplyAlignment();
        ShowBand(carrier.get());
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

// --- data bands -----------------------------------------------------------------------------

bool TfrxEngine::hasDetailRows(TfrxDataBand *band)
{
    if (band->PrintIfDetailEmpty || band->DataBands.empty())
        return true;
    for (TfrxDataBand *detail : band->DataBands) {
        TfrxDataSet *ds = dataSetOf(detail);
        ds->First();
        while (!ds->Eof()) {
            if (hasDetailRows(detail))
                return true;
            ds->Next();
        }
    }
    return false;
}

void TfrxEngine::resetMemoLastValues(TfrxBand *band)
{
    for (const ViewPlan &p : planOf(band).views)
        if (p.memo)
            p.memo->LastValue = QVariant();
}

void TfrxEngine::runDataBands(const std::vector<TfrxDataBand *> &list)
{
    processMessages();
    if (FReport->Terminated)
        return;

    for (TfrxDataBand *r : list) {
        TfrxDataSet *ds = dataSetOf(r);
        if (!ds)
            continue;
        ds->First();
        r->LineN = 1;
        r->LineThrough = 1;
        resetMemoLastValues(r);
        bool first = true;
        const bool keepHeader = r->KeepHeader && r->Header;

        while (!ds->Eof()) {
            if (hasDetailRows(r)) {
                if (first) {
                    if (keepHeader)
                        startKeep(r->Header);
                    if (r->Header && r->Header->ReprintOnNewPage)
                        FHeaderList.push_back({r->Header, CurX, FKeeping});
                    ShowBand(r->Header);
                    if (r->KeepTogether)
                        startKeep(r);
                } else if (!r->Group && r->KeepTogether) {
                    startKeep(r);
                }

                if (r->Group) {
                    if (first)
                        showGroupHeaders(r, 0, true);
                    else
                        checkGroups(r);
                }

                FLastRecordY = CurY;
                FLastRecordPosition = FPages->CurrentPosition();
                CurLine = r->LineN;
                CurLineThrough = r->LineThrough;
                ShowBand(r);
                if (first && keepHeader)
                    endKeep(r->Header);
                ++r->LineN;
                ++r->LineThrough;

                if (!r->OutlineText.isEmpty())
                    FPages->OutlineAdd(FReport->Calc(r->OutlineText).toString(), CurY);
                if (!r->DataBands.empty())
                    runDataBands(r->DataBands);
                if (!r->OutlineText.isEmpty())
                    FPages->OutlineLevelUp();
                FNothingPrinted = false;
                if (r->FooterAfterEach)
                    ShowBand(r->Footer);
                first = false;
            }
            if (!r->Group && r->KeepTogether)
                endKeep(r);
            ds->Next();
            if ((r->RowCount != 0 && r->LineN > r->RowCount) || FReport->Terminated)
                break;
        }

        if (!first) {
            if (r->Group)
                showGroupFooters(r, 0);
            if (!r->FooterAfterEach) {
                if (r->KeepFooter)
                    startKeep(r->Footer, FLastRecordY, FLastRecordPosition);
                {
                    FlagGuard footerKeep(FKeepFooter, true);
                    ShowBand(r->Footer);
                }
                if (r->KeepFooter)
                    endKeep(r->Footer);
            }
            std::erase_if(FHeaderList, [r](const HeaderItem &i) { return i.band && i.band == r->Header; });
            if (r->Group && r->KeepTogether)
                endKeep(r);
        }
        if (FReport->Terminated)
            break;
    }
}

void TfrxEngine::showGroupHeaders(TfrxDataBand *band, int fromLevel, bool firstRecord)
{
    const std::vector<TfrxGroupHeader *> &groups = band->Group->GroupList;
    for (int k = fromLevel; k < int(groups.size()); ++k) {
        TfrxGroupHeader *h = groups[k];
        if (firstRecord) {
            h->LineN = 1;
            h->LineThrough = 1;
            resetMemoLastValues(h);
        } else if (k == fromLevel) {
            ++h->LineN;
            ++h->LineThrough;
        } else {
            h->LineN = 1;
            ++h->LineThrough;
        }
    }
    for (int k = fromLevel; k < int(groups.size()); ++k) {
        TfrxGroupHeader *h = groups[k];
        CurLine = h->LineN;
        CurLineThrough = h->LineThrough;
        h->LastValue = FReport->Calc(h->Condition);
        if (h->KeepTogether)
            startKeep(h);
        ShowBand(h);
        if (!h->OutlineText.isEmpty())
            FPages->OutlineAdd(FReport->Calc(h->OutlineText).toString(), CurY);
        if (h->ReprintOnNewPage)
            FHeaderList.push_back({h, CurX, FKeeping});
    }
}

void TfrxEngine::showGroupFooters(TfrxDataBand *band, int downToLevel)
{
    const std::vector<TfrxGroupHeader *> &groups = band->Group->GroupList;
    for (int k = int(groups.size()) - 1; k >= downToLevel; --k) {
        TfrxGroupHeader *h = groups[k];
        if (TfrxGroupFooter *f = h->FooterBand) {
            const bool single = f->HideIfSingleDataRecord && band->LineN < 3;
            if (!single)
                ShowBand(f);
        }
        if (!h->OutlineText.isEmpty())
            FPages->OutlineLevelUp();
        std::erase_if(FHeaderList, [h](const HeaderItem &i) { return i.band == h; });
        endKeep(h);
    }
}

void TfrxEngine::checkGroups(TfrxDataBand *band)
{
    const std::vector<TfrxGroupHeader *> &groups = band->Group->GroupList;
    for (int k = 0; k < int(groups.size()); ++k) {
        TfrxGroupHeader *h = groups[k];
        const QVariant value = FReport->Calc(h->Condition);
        if (value == h->LastValue)
            continue;
        // The footers belong to the group that just ended, so they print at its last record.
        // Without footers there is nothing to print there, and the step back is saved.
        bool anyFooter = false;
        for (int j = k; j < int(groups.size()); ++j)
            anyFooter = anyFooter || groups[j]->FooterBand;
        TfrxDataSet *ds = dataSetOf(band);
        if (anyFooter) {
            bool movedBack = true;
            try {
                ds->Prior();
            } catch (...) {
                movedBack = false;
            }
            showGroupFooters(band, k);
            if (movedBack)
                ds->Next();
        } else {
            showGroupFooters(band, k);
        }
        showGroupHeaders(band, k, false);
        band->LineN = 1;
        resetMemoLastValues(band);
        break;
    }
}

// --- bands ----------------------------------------------------------------------------------

void TfrxEngine::ShowBand(TfrxBand *band)
{
    if (!band)
        return;
    if (band->KeepChild)
        startKeep(band);
    placeBand(band);
    if (band->Child && (band->Visible() || band->PrintChildIfInvisible))
        ShowBand(band->Child);
    if (band->KeepChild)
        endKeep(band);
}

void TfrxEngine::ShowBandOfClass(int bandNumber)
{
    if (!FPage)
        return;
    for (TfrxComponent *c : FPage->Objects())
        if (auto *b = dynamic_cast<TfrxBand *>(c); b && b->BandNumber() == bandNumber) {
            ShowBand(b);
            return;
        }
}

void TfrxEngine::placeBand(TfrxBand *band)
{
    const int number = band->BandNumber();
    const bool carrier = number < 0 && dynamic_cast<TfrxNullBand *>(band) != nullptr;
    const bool dataOrGroup = frx::isDataBandNumber(number) || number == frx::bnGroupHeader;

    frx::BreakBeforeInput brk;
    brk.startNewPage = band->StartNewPage;
    brk.visible = band->Visible();
    brk.fromOpenPage = FOpening;
    brk.dataBandOrGroupHeader = dataOrGroup;
    brk.recordCounter = band->LineN;
    if (frx::breaksBefore(brk)) {
        if (auto *g = dynamic_cast<TfrxGroupHeader *>(band); g && g->ResetPageNumbers)
            FPages->CloseNumberingSection();
        FBreakingBand = band;
        NewPage();
        FBreakingBand = nullptr;
    }

    try {
        evaluateBand(band);

        frx::PlacementInput in;
        in.visible = band->Visible();
        in.multiColumnDataBand = frx::isDataBandNumber(number) && static_cast<TfrxDataBand *>(band)->Columns > 1;
        in.overlay = number == frx::bnOverlay;
        in.carrier = carrier;
        in.allowSplit = band->AllowSplit;
        in.keeping = FKeeping;
        in.height = band->Height();
        in.freeSpace = FreeSpace();
        in.pageHeightBelowHeaders = PageHeight() - FooterHeight();

        bool split = false;
        switch (frx::decidePlacement(in)) {
        case frx::Placement::Here:
            break;
        case frx::Placement::Split:
            splitBand(band);
            split = true;
            break;
        case frx::Placement::NewPage:
            if (!FKeeping) {
                for (TfrxComponent *c : band->Objects())
                    if (auto *m = dynamic_cast<TfrxCustomMemoView *>(c); m && m->SuppressRepeated)
                        m->LastValue = QVariant();
                unprepareBand(band);
                FlagGuard second(SecondScriptCall, true);
                evaluateBand(band);
            }
            if (!(number == frx::bnChild && FOpening && FPageHeaderPrinting))
                NewColumn();
            break;
        }

        if (!split && band->Visible()) {
            if (!carrier) {
                band->SetLeft(CurX);
                band->SetTop(CurY);
            }
            if (!(FOpening && FPages->BandExists(band)))
                addToPage(band);
            CurY += band->Height();
        }
    } catch (...) {
        unprepareBand(band);
        throw;
    }
    unprepareBand(band);
}

void TfrxEngine::addToPage(TfrxBand *band)
{
    FPages->AddObject(band);
}

TfrxEngine::BandPlan &TfrxEngine::planOf(TfrxBand *band)
{
    auto &slot = FPlans[band];
    // A band made after the plan (the carrier of each page run, or a band at the address of a
    // freed one) has not had its shift list computed: its plan is made again.
    if (slot && band->ShiftChildrenComputed)
        return *slot;
    slot = std::make_unique<BandPlan>();
    const std::vector<TfrxView *> views = viewsOf(band);
    std::vector<frx::ShiftRect> rects;
    rects.reserve(views.size());
    slot->views.reserve(views.size());
    for (TfrxView *v : views) {
        rects.push_back({v->Left(), v->Top(), v->Width(), v->Height()});
        slot->views.push_back({v, dynamic_cast<TfrxCustomMemoView *>(v), dynamic_cast<TfrxStretcheable *>(v), {}, true});
    }
    slot->shifts = frx::computeShiftLists({0, 0, band->Width(), band->Height()}, rects);
    band->ShiftChildren.clear();
    for (int i : slot->shifts.bandChildren)
        band->ShiftChildren.push_back(views[i]);
    for (size_t i = 0; i < views.size(); ++i) {
        views[i]->ShiftChildren.clear();
        for (int k : slot->shifts.children[i])
            views[i]->ShiftChildren.push_back(views[k]);
    }
    band->ShiftChildrenComputed = true;
    return *slot;
}

void TfrxEngine::evaluateBand(TfrxBand *band)
{
    CurBand = band;
    BandPlan &plan = planOf(band);
    // Printed again while its own output is still pending (a reprinted header on the page its
    // break opened): start from the design texts, not from the ones expanded for the outer call.
    if (plan.prepared)
        unprepareBand(band);
    band->SaveBounds();

    bool grew = false;
    for (ViewPlan &p : plan.views) {
        TfrxView *v = p.view;
        v->SaveBounds();
        if (p.memo)
            p.savedMemo = p.memo->Memo;
        p.savedVisible = v->Visible();
        v->ShiftAmount = 0;
        if (!p.savedVisible)
            continue;
        FReport->CurObject = v->Name();
        v->EvaluateData();
        if (p.stretch && p.stretch->StretchMode != smDontStretch) {
            const double h = p.stretch->CalcHeight();
            if (h > v->Height()) {
                v->ShiftAmount = h - v->Height();
                v->SetHeight(h);
                grew = true;
            }
        }
    }
    plan.prepared = true;

    if (grew) {
        std::vector<frx::ShiftObject> objects;
        objects.reserve(plan.views.size());
        for (const ViewPlan &p : plan.views) {
            TfrxView *v = p.view;
            frx::ShiftModeKind mode = frx::ShiftModeKind::Always;
            if (v->ShiftMode == smDontShift)
                mode = frx::ShiftModeKind::DontShift;
            else if (v->ShiftMode == smWhenOverlapped)
                mode = frx::ShiftModeKind::WhenOverlapped;
            objects.push_back({v->Top(), v->Height(), v->ShiftAmount, mode});
        }
        const std::vector<double> tops = frx::applyShifts(plan.shifts, objects);
        for (size_t i = 0; i < plan.views.size(); ++i) {
            plan.views[i].view->SetTop(tops[i]);
            plan.views[i].view->ShiftAmount = 0;
        }
    }

    if (band->Stretched || grew) {
        double maxBottom = 0;
        for (const ViewPlan &p : plan.views)
            if (p.view->Visible())
                maxBottom = std::max(maxBottom, p.view->Top() + p.view->Height());
        if (band->Stretched)
            band->SetHeight(maxBottom);
        for (const ViewPlan &p : plan.views)
            if (p.stretch && p.stretch->StretchMode == smMaxHeight)
                p.view->SetHeight(maxBottom - p.view->Top());
    }
}

void TfrxEngine::unprepareBand(TfrxBand *band)
{
    auto it = FPlans.find(band);
    if (it != FPlans.end() && it->second->prepared) {
        for (ViewPlan &p : it->second->views) {
            p.view->RestoreBounds();
            if (p.memo)
                p.memo->Memo = std::move(p.savedMemo);
            p.view->SetVisible(p.savedVisible);
        }
        it->second->prepared = false;
    }
    band->RestoreBounds();
}

// A band taller than the space left (and allowed to split, or taller than a page) is output in
// parts, one per page. A part holds the views that fit whole into the space left and, of each
// splittable view crossing the page's end, the part that fits (memos: their whole lines that fit).
// What is left goes on: the rest of a cut view continues at the cut, the views below it move
// down by what the cut added (the part's unused room and the gaps the rest repeats), and
// everything moves up by the space used before the next page.
void TfrxEngine::splitBand(TfrxBand *band)
{
    if (!band->AllowSplit && band->LineThrough > 1 && !band->StartNewPage)
        NewColumn();
    if (FKeeping)
        FKeeping = false;

    BandPlan &plan = planOf(band);
    struct Piece {
        TfrxView *view;
        TfrxStretcheable *split;  // null when the view goes on a page whole
        size_t index;             // in the plan
    };
    std::vector<Piece> pending;
    // The parts change the memos' paragraph breaks; the band's own values come back at the end.
    struct SavedBreaks { TfrxCustomMemoView *memo; bool first, last; };
    std::vector<SavedBreaks> savedBreaks;
    std::vector<bool> visible(plan.views.size());
    for (size_t i = 0; i < plan.views.size(); ++i) {
        const ViewPlan &p = plan.views[i];
        visible[i] = p.view->Visible();
        if (!visible[i])
            continue;
        TfrxStretcheable *split = p.stretch && p.stretch->StretchMode != smDontStretch ? p.stretch : nullptr;
        if (split) {
            if (p.memo)
                savedBreaks.push_back({p.memo, p.memo->FirstParaBreak, p.memo->LastParaBreak});
            split->BeginSplit();
        }
        pending.push_back({p.view, split, i});
    }
    struct RestoreBreaks {
        std::vector<SavedBreaks> &saved;
        ~RestoreBreaks()
        {
            for (const SavedBreaks &b : saved) {
                b.memo->FirstParaBreak = b.first;
                b.memo->LastParaBreak = b.last;
            }
        }
    } restoreBreaks{savedBreaks};

    const double savedHeight = band->Height();
    bool freshPage = CurY <= FPageStartY + frx::kFitTolerance;

    while (!pending.empty()) {
        const double space = FreeSpace();
        struct Cut { Piece piece; double top, boxHeight; };
        std::vector<Piece> part, rest;
        std::vector<Cut> cuts;
        auto trySplit = [&](const Piece &p, bool atLeastOne) {
            const double top = p.view->Top(), box = p.view->Height();
            if (p.split->SplitPart(space - top, atLeastOne) <= 0)
                return false;
            cuts.push_back({p, top, box});
            return true;
        };
        for (const Piece &p : pending) {
            const double top = p.view->Top();
            if (top + p.view->Height() <= space + frx::kFitTolerance)
                part.push_back(p);
            else if (!(p.split && top < space && trySplit(p, false)))
                rest.push_back(p);
        }

        // Nothing fits on a page that holds only its headers: another page would not do
        // better, so the topmost view goes here anyway (a cut view with one line at least).
        if (part.empty() && cuts.empty() && freshPage) {
            auto topmost = std::min_element(rest.begin(), rest.end(), [](const Piece &a, const Piece &b) {
                return a.view->Top() < b.view->Top();
            });
            // Less than a pixel to gain by moving up: the page would only repeat itself.
            if (std::min(space, topmost->view->Top()) < 1) {
                const Piece p = *topmost;
                rest.erase(topmost);
                if (!(p.split && trySplit(p, true)))
                    part.push_back(p);
            }
        }

        // A page already full (the space left negative) is left as it is: nothing moves down.
        double used = std::max(0.0, space);
        if (!part.empty() || !cuts.empty()) {
            // A cut view reaches down to the cut, so that views cut side by side end level.
            for (const Cut &c : cuts)
                c.piece.view->SetHeight(std::max(c.piece.view->Height(), space - c.top));
            double height = 0;
            for (const Piece &p : part)
                height = std::max(height, p.view->Top() + p.view->Height());
            for (const Cut &c : cuts)
                height = std::max(height, c.top + c.piece.view->Height());
            for (const ViewPlan &p : plan.views)
                p.view->SetVisible(false);
            for (const Piece &p : part)
                p.view->SetVisible(true);
            for (const Cut &c : cuts)
                c.piece.view->SetVisible(true);
            band->SetLeft(CurX);
            band->SetTop(CurY);
            band->SetHeight(height);
            addToPage(band);
            CurY += height;
            used = std::max(space, height);
        }

        // The rest of each cut view starts at the cut; what it grew by pushes the views below.
        std::vector<double> growth(plan.views.size(), 0.0);
        std::vector<bool> continues(plan.views.size(), false);
        std::vector<double> heights(plan.views.size(), 0.0);
        std::vector<double> tops(plan.views.size(), 0.0);
        for (size_t i = 0; i < plan.views.size(); ++i) {
            tops[i] = plan.views[i].view->Top();
            heights[i] = plan.views[i].view->Height();
        }
        for (const Cut &c : cuts) {
            if (!c.piece.split->HasMoreParts())
                continue;
            TfrxView *v = c.piece.view;
            const double partHeight = v->Height();
            c.piece.split->NextPart();
            const double restHeight = std::max(c.piece.split->CalcHeight(), c.boxHeight - partHeight);
            const double g = used + restHeight - (c.top + c.boxHeight);
            tops[c.piece.index] = c.top;
            heights[c.piece.index] = c.boxHeight + g;
            growth[c.piece.index] = g;
            continues[c.piece.index] = true;
            v->SetTop(used);
            v->SetHeight(restHeight);
            rest.push_back(c.piece);
        }
        if (rest.empty())
            break;

        std::vector<frx::ShiftObject> objects;
        objects.reserve(plan.views.size());
        for (size_t i = 0; i < plan.views.size(); ++i) {
            const TfrxShiftMode m = plan.views[i].view->ShiftMode;
            objects.push_back({tops[i], heights[i], growth[i],
                               m == smDontShift        ? frx::ShiftModeKind::DontShift
                               : m == smWhenOverlapped ? frx::ShiftModeKind::WhenOverlapped
                                                       : frx::ShiftModeKind::Always});
        }
        const std::vector<double> shifted = frx::applyShifts(plan.shifts, objects);
        for (const Piece &p : rest)
            if (!continues[p.index])
                p.view->SetTop(shifted[p.index]);

        std::sort(rest.begin(), rest.end(), [](const Piece &a, const Piece &b) { return a.index < b.index; });
        double lift = used;
        double bottom = 0;
        for (const Piece &p : rest) {
            lift = std::min(lift, p.view->Top());
            bottom = std::max(bottom, p.view->Top() + p.view->Height());
        }
        for (const Piece &p : rest) {
            if (p.split && p.split->StretchMode == smMaxHeight)
                p.view->SetHeight(bottom - p.view->Top());
            p.view->SetTop(p.view->Top() - lift);
        }
        pending = std::move(rest);
        NewColumn();
        freshPage = true;
    }
    for (size_t i = 0; i < plan.views.size(); ++i)
        plan.views[i].view->SetVisible(visible[i]);
    band->SetHeight(savedHeight);
}

// --- pages ----------------------------------------------------------------------------------

void TfrxEngine::ClosePage()
{
    const bool nested = FInClosePage;
    FlagGuard inClose(FInClosePage, true);

    if (!nested) {
        if (auto *columnFooter = findBand<TfrxColumnFooter>()) {
            const double x = CurX;
            CurX = 0;
            ShowBand(columnFooter);
            CurX = x;
        }
    }
    if (!FIsLastPage) {
        CurX = 0;
        CurColumn = 1;
    }
    if (FIsLastPage && !nested) {
        if (auto *summary = findBand<TfrxReportSummary>()) {
            FlagGuard closing(FClosing, true);
            ShowBand(summary);
        }
    }

    if (auto *footer = findBand<TfrxPageFooter>()) {
        CurY = PageHeight() - footer->Height();
        FRememberedFooterHeight = (FIsLastPage && footer->PrintOnLastPage) ? footer->Height() : 0;
        try {
            evaluateBand(footer);
            if (footer->Visible()) {
                footer->SetLeft(0);
                footer->SetTop(CurY);
                const bool hidden = (FIsFirstPage && !footer->PrintOnFirstPage)
                                    || (FIsLastPage && !footer->PrintOnLastPage && !nested);
                if (!hidden && !FPages->BandExists(footer))
                    addToPage(footer);
                CurY += footer->Height();
            }
        } catch (...) {
            unprepareBand(footer);
            throw;
        }
        unprepareBand(footer);
    }

    if (auto *overlay = findBand<TfrxOverlay>(); overlay && overlay->PrintOnTop) {
        CurY = 0;
        FlagGuard opening(FOpening, true);
        ShowBand(overlay);
    }
    FIsFirstPage = false;
}

void TfrxEngine::CancelKeep()
{
    FKeeping = false;
    FKeepBand = nullptr;
}

void TfrxEngine::NewColumn()
{
    // Page columns are not laid out by this engine: a new column is a new page.
    NewPage();
}

void TfrxEngine::NewPage()
{
    const double bandHeight = CurBand ? CurBand->Height() : 0;
    if (FKeeping && frx::keepAbandoned(CurY, FKeepCurY, bandHeight, PageHeight() - FooterHeight()))
        FKeeping = false;

    int cut = 0;
    if (FKeeping) {
        cut = FPages->CutObjects(FKeepPosition);
        CurY = FPages->LastBandBottom(CurX);
    }

    FInterruptedBand = CurBand;
    TfrxBand *current = CurBand;
    ClosePage();
    openPage();
    FInterruptedBand = nullptr;
    CurBand = current;

    if (FKeeping) {
        const double top = CurY;
        FPages->PasteObjects(CurX, CurY);
        FPages->OutlineShiftItems(FKeepOutline, int(top));
        FPages->ShiftAnchors(FKeepAnchor, int(top));
        CurY = FPages->LastBandBottom(CurX);
    }
    (void)cut;
    FKeeping = false;
    FKeepHeader = false;
}

void TfrxEngine::startKeep(TfrxBand *band, double y, int position)
{
    if (!band || FKeeping || FNothingPrinted)
        return;
    FKeeping = true;
    FKeepBand = band;
    FKeepCurY = y >= 0 ? y : CurY;
    FKeepPosition = position >= 0 ? position : FPages->CurrentPosition();
    FKeepOutline = FPages->OutlineCount();
    FKeepAnchor = FPages->AnchorCount();
}

void TfrxEngine::endKeep(TfrxBand *band)
{
    if (FKeeping && FKeepBand == band) {
        FKeeping = false;
        FKeepBand = nullptr;
    }
}

// --- script services ------------------------------------------------------------------------

void TfrxEngine::StopReport()
{
    FReport->Terminated = true;
}

void TfrxEngine::AddAnchor(const QString &text)
{
    FPages->AddAnchor(text, CurY);
}

int TfrxEngine::GetAnchorPage(const QString &text)
{
    return FPages->GetAnchorPage(text);
}
