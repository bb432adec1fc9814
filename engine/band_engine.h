#pragma once
// The band engine: turns a report definition and its datasets into prepared pages. It links the
// bands of every report page, runs the data bands record by record, evaluates and measures the
// bands, breaks pages, prints titles, headers and footers, and keeps bands together where asked.
// Everything runs on the calling (user-interface) thread.
#include "engine/band_engine_layout.h"
#include "engine/band_engine_structure.h"
#include "engine/engine_base.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <unordered_map>
#include <memory>
#include <vector>

class TfrxBand;
class TfrxDataBand;
class TfrxGroupHeader;
class TfrxPreviewPages;
class TfrxReport;
class TfrxReportPage;
class TfrxView;
class TfrxNullBand;
class TfrxCustomMemoView;
class TfrxStretcheable;

class TfrxEngine : public TfrxCustomEngine {
public:
    // Neither the report nor the prepared pages are owned; both must outlive the engine.
    TfrxEngine(TfrxReport *report, TfrxPreviewPages *pages);
    ~TfrxEngine() override;

    // Printable height of the current page; an endless page reads as FooterHeight + CurY.
    double PageHeight() const;
    double PageWidth() const { return FPageWidth; }

    void ClosePage();
    void CancelKeep();
    void NewColumn();
    void NewPage();
    // Outputs a band (nothing for none) with its child bands.
    void ShowBand(TfrxBand *band);
    // The current page's first band of that band number.
    void ShowBandOfClass(int bandNumber);
    double HeaderHeight() const;
    double FooterHeight() const;
    double FreeSpace() const;
    // One complete run; false when the structure is wrong or a dialog was cancelled.
    bool Run();

    // Script services.
    void StopReport();
    void AddAnchor(const QString &text);
    int GetAnchorPage(const QString &text);

    // Called where pending user-interface messages may be processed (at every page added and at
    // every data band loop); the default processes the application's events when there is one.
    std::function<void()> ProcessMessages;

private:
    struct HeaderItem {
        TfrxBand *band = nullptr;
        double curX = 0;
        bool inKeep = false;
    };

    void buildStructure(TfrxReportPage *page);
    void runReportPages();
    void runPages();
    void runPage(TfrxReportPage *page);
    void onePageRun(TfrxReportPage *page);
    void beginPage(TfrxReportPage *page);
    void openPage();
    void showPageLevelObjects(TfrxReportPage *page);
    void runDataBands(const std::vector<TfrxDataBand *> &list);
    bool hasDetailRows(TfrxDataBand *band);
    bool pageHasRows(TfrxReportPage *page);
    void showGroupHeaders(TfrxDataBand *band, int fromLevel, bool firstRecord);
    void showGroupFooters(TfrxDataBand *band, int downToLevel);
    void checkGroups(TfrxDataBand *band);
    void placeBand(TfrxBand *band);
    void evaluateBand(TfrxBand *band);
    void unprepareBand(TfrxBand *band);
    void splitBand(TfrxBand *band);
    void startKeep(TfrxBand *band, double y = -1, int position = -1);
    void endKeep(TfrxBand *band);
    void addToPage(TfrxBand *band);
    void resetMemoLastValues(TfrxBand *band);
    void processMessages();
    template <class T> T *findBand() const;

    TfrxReport *FReport;
    TfrxPreviewPages *FPages;
    TfrxReportPage *FPage = nullptr;  // the report page being run
    double FPageWidth = 0, FPageHeight = 0;

    std::vector<HeaderItem> FHeaderList;

    // Keep state.
    bool FKeeping = false;
    TfrxBand *FKeepBand = nullptr;
    double FKeepCurY = 0;
    int FKeepPosition = 0;
    int FKeepOutline = 0;
    int FKeepAnchor = 0;
    bool FKeepHeader = false;
    bool FKeepFooter = false;

    // Page flags.
    bool FIsFirstPage = false;
    bool FIsLastPage = false;
    bool FNothingPrinted = true;
    bool FIsFirstReportPage = false;
    bool FOpening = false;
    bool FPageHeaderPrinting = false;
    bool FClosing = false;
    bool FInClosePage = false;
    bool FNoHeaders = false;

    // CurY once a new page has its overlay and headers: a band split from there has nothing of
    // its own above it on the page, so waiting for another page would gain nothing.
    double FPageStartY = 0;

    TfrxBand *FBreakingBand = nullptr;
    TfrxBand *FInterruptedBand = nullptr;
    double FRememberedFooterHeight = 0;

    // Where the last record of the data band being run started (for KeepFooter).
    double FLastRecordY = 0;
    int FLastRecordPosition = 0;

    // What the engine works with for each band, found once per run instead of once per record:
    // its views by kind, its shift lists, and the memo texts and visibility the views had before
    // the band was evaluated.
    struct ViewPlan {
        TfrxView *view;
        TfrxCustomMemoView *memo;     // null for other views
        TfrxStretcheable *stretch;    // null for views that cannot stretch
        QStringList savedMemo;
        bool savedVisible = true;
    };
    struct BandPlan {
        std::vector<ViewPlan> views;
        frx::ShiftLists shifts;
        bool prepared = false;  // evaluated and not yet unprepared
    };
    BandPlan &planOf(TfrxBand *band);
    std::unordered_map<TfrxBand *, std::unique_ptr<BandPlan>> FPlans;
};
