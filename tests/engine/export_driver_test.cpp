#include "engine/export_filter.h"

#include <gtest/gtest.h>

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/pages.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

namespace {

struct SelectionCase {
    const char *text;
    int pageCount;
    QList<int> pages;
};

class PageSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(PageSelection, ParsesToSortedDistinctPages) {
    const SelectionCase &c = GetParam();
    EXPECT_EQ(ParsePageNumbers(QString::fromUtf8(c.text), c.pageCount), c.pages) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PageSelection,
    testing::Values(SelectionCase{"", 10, {}}, SelectionCase{"2", 10, {2}},
                    SelectionCase{"1,3,5-12", 20, {1, 3, 5, 6, 7, 8, 9, 10, 11, 12}},
                    SelectionCase{" 3 , 1 ", 10, {1, 3}},
                    // Repeats and overlapping ranges give each page once, in order.
                    SelectionCase{"4-6,5,1-2,2", 10, {1, 2, 4, 5, 6}},
                    // A backwards range means the same pages.
                    SelectionCase{"6-4", 10, {4, 5, 6}},
                    // An open range runs to the last page.
                    SelectionCase{"8-", 10, {8, 9, 10}},
                    // A range is clipped to the report; a lone number past it stays, so the
                    // driver exports nothing rather than everything.
                    SelectionCase{"2-999999999", 3, {2, 3}}, SelectionCase{"7", 3, {7}},
                    // Parts that are not numbers are ignored.
                    SelectionCase{"a,2,x-3,4-y", 10, {2}}));

// Records every call of the driver as one line, so a test can read the order of events.
class RecordingFilter : public TfrxCustomExportFilter {
public:
    RecordingFilter() { ShowDialog = false; }
    int ShowOptionsDialog() override {
        calls << "ShowOptionsDialog";
        return dialogResult;
    }
    bool BeginExport() override {
        calls << "BeginExport";
        return beginResult;
    }
    void BeginPage(TfrxReportPage *, int index) override { calls << QStringLiteral("BeginPage %1").arg(index); }
    void ExportView(TfrxComponent *view) override {
        QString line = QStringLiteral("  ") + view->Name();
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(view)) line += " = " + memo->Memo.join('|');
        if (view->Name() == "_pagebackground")
            line += QStringLiteral(" %1,%2 %3x%4").arg(view->Left()).arg(view->Top()).arg(view->Width()).arg(view->Height());
        calls << line;
        if (view->Name() == failOn) throw Erro("falha ao exportar " + view->Name());
        if (view->Name() == stopOn && Report) Report->Terminated = true;
    }
    void EndPage(TfrxReportPage *, int index) override { calls << QStringLiteral("EndPage %1").arg(index); }
    void EndExport() override { calls << "EndExport"; }

    QStringList calls;
    int dialogResult = mrOk;
    bool beginResult = true;
    QString failOn, stopOn;
};

// Three prepared pages of one band each, with a page header and a footer that numbers them.
struct ThreePages {
    TfrxReport report;
    TfrxPreviewPages pages{&report};
    TfrxReportPage *page = new TfrxReportPage(&report);

    ThreePages() {
        page->SetName("Page1");
        auto *header = new TfrxPageHeader(page);
        header->SetName("PageHeader1");
        header->SetHeight(20);
        auto *data = new TfrxMasterData(page);
        data->SetName("MasterData1");
        data->SetHeight(20);
        auto *cell = new TfrxMemoView(data);
        cell->SetName("Cell");
        cell->SetBounds(0, 0, 100, 18);
        auto *footer = new TfrxPageFooter(page);
        footer->SetName("PageFooter1");
        footer->SetHeight(20);
        auto *number = new TfrxMemoView(footer);
        number->SetName("PageNo");
        number->SetBounds(0, 0, 100, 18);
        pages.BeginRun();
        pages.AddSourcePage(page);
        pages.BeginPass();
        for (int i = 0; i < 3; ++i) {
            pages.AddPage(page);
            header->SetTop(0);
            pages.AddObject(header);
            data->SetTop(20);
            cell->SetText(QStringLiteral("linha %1").arg(i + 1));
            pages.AddObject(data);
            footer->SetTop(1000);
            number->SetText(QStringLiteral("%1/[TotalPages#]").arg(pages.LogicalPageNumber()));
            pages.AddObject(footer);
        }
        pages.EndRun();
    }
};

TEST(ExportDriver, PageSelectionExportsOnlyThatPageBetweenOneBeginAndOneEnd) {
    ThreePages t;
    RecordingFilter filter;
    filter.PageNumbers = "2";
    EXPECT_TRUE(t.pages.Export(&filter));
    // A4 with 10 mm margins: the background covers the printable area at the margins.
    const double m = 10 * fr01cm;
    const QStringList expected = {
        "BeginExport",
        "BeginPage 1",
        QStringLiteral("  _pagebackground %1,%1 %2x%3").arg(m).arg(794 - 2 * m).arg(1123 - 2 * m),
        "  PageHeader1",
        "  MasterData1",
        "  Cell = linha 2",
        "  PageFooter1",
        "  PageNo = 2/3",
        "EndPage 1",
        "EndExport"};
    EXPECT_EQ(filter.calls, expected);
    EXPECT_EQ(filter.Report, &t.report);
    EXPECT_TRUE(t.report.Errors().isEmpty());
}

TEST(ExportDriver, BeginExportFalseEndsQuietly) {
    ThreePages t;
    RecordingFilter filter;
    filter.beginResult = false;
    bool fired = false;
    filter.OnBeginExport = [&](TfrxCustomExportFilter *) { fired = true; };
    EXPECT_TRUE(t.pages.Export(&filter));
    EXPECT_TRUE(fired);
    EXPECT_EQ(filter.calls, QStringList{"BeginExport"});
    EXPECT_TRUE(t.report.Errors().isEmpty());
}

TEST(ExportDriver, CancelledOptionsDialogExportsNothing) {
    ThreePages t;
    RecordingFilter filter;
    filter.ShowDialog = true;
    filter.dialogResult = 2;
    EXPECT_FALSE(t.pages.Export(&filter));
    EXPECT_EQ(filter.calls, QStringList{"ShowOptionsDialog"});
    EXPECT_FALSE(t.pages.Export(nullptr));
}

TEST(ExportDriver, FailureStillEndsPageAndExportAndIsReported) {
    ThreePages t;
    t.report.EngineOptions.NewSilentMode = simReThrow;
    RecordingFilter filter;
    filter.failOn = "PageHeader1";
    filter.PageNumbers = "1-2";
    try {
        t.pages.Export(&filter);
        ADD_FAILURE() << "no error raised";
    } catch (const Erro &e) {
        EXPECT_EQ(e.mensagem(), QString::fromUtf8("Erro(s) encontrado(s):\r\nfalha ao exportar PageHeader1"));
    }
    EXPECT_EQ(filter.calls.filter("Page ").join(","), "BeginPage 0,EndPage 0");
    EXPECT_EQ(filter.calls.last(), "EndExport");
    EXPECT_EQ(t.report.Errors(), QStringList{"falha ao exportar PageHeader1"});

    t.report.ClearErrors();
    t.report.EngineOptions.NewSilentMode = simSilent;
    RecordingFilter quiet;
    quiet.failOn = "Cell";
    EXPECT_FALSE(t.pages.Export(&quiet));
    EXPECT_EQ(quiet.calls.last(), "EndExport");
}

TEST(ExportDriver, TerminatedStopsAfterThePageAndSuppressKeepsFirstHeaderLastFooter) {
    ThreePages t;
    RecordingFilter filter;
    filter.stopOn = "Cell";
    EXPECT_TRUE(t.pages.Export(&filter));
    EXPECT_EQ(filter.calls.filter("Page ").join(","), "BeginPage 0,EndPage 0");
    EXPECT_EQ(filter.calls.last(), "EndExport");

    RecordingFilter suppress;
    suppress.SuppressPageHeadersFooters = true;
    EXPECT_TRUE(t.pages.Export(&suppress));
    EXPECT_EQ(suppress.calls.filter("PageHeader1").size(), 1);
    EXPECT_EQ(suppress.calls.filter("PageFooter1").size(), 1);
    const int footerAt = suppress.calls.indexOf("  PageFooter1");
    EXPECT_GT(footerAt, suppress.calls.indexOf("BeginPage 2"));
    EXPECT_LT(suppress.calls.indexOf("  PageHeader1"), suppress.calls.indexOf("EndPage 0"));
}

// A preview that shows page 3: the current-page flag exports that page, and the preview is
// frozen during the export and refreshed after it.
class ShownPage : public TfrxCustomPreview {
public:
    int PageNo() const override { return 3; }
    void Lock() override { events << "Lock"; }
    void Unlock() override { events << "Unlock"; }
    void RefreshReport() override { events << "Refresh"; }
    QStringList events;
};

TEST(ExportDriver, CurrentPageOnlyTakesThePageOfThePreview) {
    ThreePages t;
    ShownPage preview;
    t.pages.Preview = &preview;
    RecordingFilter filter;
    filter.CurPage = true;
    EXPECT_TRUE(t.pages.Export(&filter));
    EXPECT_EQ(filter.PageNumbers, "3");
    EXPECT_EQ(filter.calls.filter("Page ").join(","), "BeginPage 2,EndPage 2");
    EXPECT_EQ(preview.events, QStringList({"Lock", "Unlock", "Refresh"}));
    // The page the preview shows is back at the paper's origin.
    EXPECT_EQ(t.pages.GetPage(2)->Left(), 0);
    EXPECT_EQ(t.pages.GetPage(2)->Top(), 0);
    t.pages.Preview = nullptr;
}

TEST(ExportFilterList, EveryFilterIsListedWhileItExists) {
    const qsizetype before = frxExportFilters().size();
    {
        RecordingFilter a;
        auto b = std::make_unique<RecordingFilter>();
        ASSERT_EQ(frxExportFilters().size(), before + 2);
        EXPECT_EQ(frxExportFilters().at(before), &a);
        EXPECT_EQ(frxExportFilters().at(before + 1), b.get());
        b.reset();
        ASSERT_EQ(frxExportFilters().size(), before + 1);
        EXPECT_EQ(frxExportFilters().last(), &a);
    }
    EXPECT_EQ(frxExportFilters().size(), before);
}

}  // namespace
