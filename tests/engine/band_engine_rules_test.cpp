// The placement rules of the band engine on plain numbers and band descriptions.
#include "engine/band_engine_layout.h"
#include "engine/band_engine_structure.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace frx;

namespace {

QStringList errorTexts(const PageStructure &s)
{
    QStringList out;
    for (const auto &e : s.errors)
        out << QString::fromLatin1(e.resourceKey) + QLatin1Char(' ') + e.bandName;
    return out;
}

}  // namespace

TEST(BandSortKey, TwoDecimalsRightAligned)
{
    EXPECT_EQ(bandSortKey(132.28355), QStringLiteral("   132.28"));
    EXPECT_EQ(bandSortKey(241.88992), QStringLiteral("   241.89"));
    EXPECT_EQ(bandSortKey(0), QStringLiteral("     0.00"));
    // Text order: ten thousand and more still sorts after smaller values of nine characters.
    EXPECT_LT(bandSortKey(999.99), bandSortKey(10000.0));
}

// The template of the inconsistency report, in its stored order.
TEST(LinkBands, ListingTemplate)
{
    const std::vector<BandSlot> bands = {
        {bnReportTitle, 18.89765, false, "ReportTitle1"},
        {bnMasterData, 241.88992, true, "MasterData1"},
        {bnGroupHeader, 132.28355, false, "GroupHeader1"},
        {bnPageFooter, 453.5436, false, "PageFooter1"},
        {bnHeader, 309.92146, false, "Header1"},
        {bnMasterData, 370.39394, true, "MasterData2"},
    };
    const PageStructure s = linkBands(bands);
    EXPECT_TRUE(s.errors.empty()) << errorTexts(s).join('\n').toStdString();
    EXPECT_EQ(s.dataBands, (std::vector<int>{1, 5}));
    EXPECT_EQ(s.bands[1].group, 2);
    EXPECT_EQ(s.bands[1].header, -1);
    EXPECT_EQ(s.bands[2].groupList, (std::vector<int>{2}));
    EXPECT_EQ(s.bands[5].header, 4);
    EXPECT_EQ(s.bands[5].group, -1);
    EXPECT_EQ(s.designOrder, (std::vector<int>{2, 1, 4, 5}));
}

TEST(LinkBands, NestedGroupsFootersAndDetails)
{
    const std::vector<BandSlot> bands = {
        {bnGroupFooter, 400, false, "GF1"},      // 0: pairs with the outer header
        {bnGroupHeader, 100, false, "GH1"},      // 1
        {bnGroupHeader, 120, false, "GH2"},      // 2
        {bnHeader, 140, false, "H1"},            // 3
        {bnMasterData, 160, true, "MD"},         // 4
        {bnDetailData, 180, true, "DD1"},        // 5
        {bnSubdetailData, 200, true, "SD"},      // 6
        {bnDetailData, 220, true, "DD2"},        // 7
        {bnFooter, 240, false, "F1"},            // 8: right below DD2, so it is DD2's footer
        {bnGroupFooter, 300, false, "GF2"},      // 9: pairs with the inner header
    };
    const PageStructure s = linkBands(bands);
    EXPECT_TRUE(s.errors.empty()) << errorTexts(s).join('\n').toStdString();
    EXPECT_EQ(s.bands[4].group, 1);
    EXPECT_EQ(s.bands[1].groupList, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.bands[2].groupFooter, 9);
    EXPECT_EQ(s.bands[1].groupFooter, 0);
    EXPECT_EQ(s.bands[4].header, 3);
    EXPECT_EQ(s.bands[4].details, (std::vector<int>{5, 7}));
    EXPECT_EQ(s.bands[5].details, (std::vector<int>{6}));
    EXPECT_EQ(s.bands[7].footer, 8);
    EXPECT_EQ(s.dataBands, (std::vector<int>{4}));
}

TEST(LinkBands, StructureErrors)
{
    struct Case {
        const char *what;
        std::vector<BandSlot> bands;
        QStringList errors;
    };
    const std::vector<Case> cases = {
        {"header not directly above its data band",
         {{bnHeader, 10, false, "Header1"}, {bnGroupFooter, 20, false, "GF"},
          {bnMasterData, 30, true, "MD"}},
         {"enUnconnGFooter GF", "enUnconnHeader Header1"}},
        {"header below every data band",
         {{bnMasterData, 10, true, "MD"}, {bnHeader, 30, false, "Header1"}},
         {"enUnconnHeader Header1"}},
        {"a header and a footer standing between two data bands",
         {{bnMasterData, 10, true, "MD"}, {bnHeader, 20, false, "H"},
          {bnFooter, 30, false, "F"}, {bnMasterData, 40, true, "MD2"}},
         {"enUnconnHeader F", "enUnconnHeader H"}},
        {"group header without a data band",
         {{bnMasterData, 10, true, "MD"}, {bnGroupHeader, 30, false, "GH"}},
         {"enUnconnGroup GH"}},
        {"group footer above every group header",
         {{bnGroupFooter, 5, false, "GF"}, {bnGroupHeader, 10, false, "GH"},
          {bnMasterData, 20, true, "MD"}},
         {"enUnconnGFooter GF"}},
        {"detail band without a master",
         {{bnDetailData, 10, true, "DD"}, {bnMasterData, 20, true, "MD"}},
         {"enBandPos DD"}},
        {"detail skipping a level",
         {{bnMasterData, 10, true, "MD"}, {bnSubdetailData, 20, true, "SD"}},
         {"enBandPos SD"}},
    };
    for (const Case &c : cases) {
        QStringList got = errorTexts(linkBands(c.bands));
        got.sort();
        QStringList want = c.errors;
        want.sort();
        EXPECT_EQ(got.join(" | ").toStdString(), want.join(" | ").toStdString()) << c.what;
    }
}

TEST(LinkBands, SameTopToTwoDecimalsKeepsTheFirstInObjectOrder)
{
    const std::vector<BandSlot> bands = {
        {bnMasterData, 100.004, true, "MDa"},
        {bnMasterData, 99.996, true, "MDb"},  // also "   100.00": left out, no error
        {bnMasterData, 100.006, true, "MDc"},  // "   100.01": kept
    };
    const PageStructure s = linkBands(bands);
    EXPECT_TRUE(s.errors.empty());
    EXPECT_EQ(s.dataBands, (std::vector<int>{0, 2}));
    EXPECT_EQ(s.dropped, (std::vector<bool>{false, true, false}));
}

TEST(FreeSpace, FootersAndRememberedHeight)
{
    struct Case {
        SpaceInput in;
        double want;
    };
    const std::vector<Case> cases = {
        {{831.4966, 22.67718, 0, 0, false}, 808.81942},
        {{831.4966, 22.67718, 0, 141.06308, false}, 667.75634},
        {{831.4966, 22.67718, 30, 100, false}, 701.4966},  // remembered height wins
        {{831.4966, 22.67718, 0, 5000, true}, 1000000},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(freeSpace(c.in), c.want, 1e-9) << c.in.curY;
}

TEST(Placement, ExactFitStaysSlightlyTallerMoves)
{
    const double page = 831.4966 - 22.67718;
    // CurY after the title, the group heading and 14 rows, summed as the engine sums them.
    double curY = 52.91342 + 88.14966;
    for (int i = 0; i < 14; ++i)
        curY += 46.13389;
    const double space = freeSpace({831.4966, 22.67718, 0, curY, false});

    struct Case {
        double height;
        bool allowSplit;
        bool keeping;
        Placement want;
    };
    const std::vector<Case> cases = {
        {space, false, false, Placement::Here},
        {space + 0.0001, false, false, Placement::NewPage},
        {46.13389, false, false, Placement::NewPage},  // a 15th row does not fit ...
        {space + 0.0001, true, false, Placement::Split},
        {space + 0.0001, true, true, Placement::NewPage},  // a keep moves instead of splitting
        {page + 1, false, true, Placement::Split},          // taller than a page: always split
    };
    for (const Case &c : cases) {
        PlacementInput in;
        in.height = c.height;
        in.freeSpace = space;
        in.allowSplit = c.allowSplit;
        in.keeping = c.keeping;
        in.pageHeightBelowHeaders = page;
        EXPECT_EQ(decidePlacement(in), c.want) << c.height;
    }
    // ... because only 21.88 pixels are left.
    EXPECT_NEAR(space, 21.88188, 1e-6);

    PlacementInput invisible;
    invisible.visible = false;
    invisible.height = 1000;
    EXPECT_EQ(decidePlacement(invisible), Placement::Here);
}

TEST(BreaksBefore, FirstRecordNeverBreaks)
{
    struct Case {
        BreakBeforeInput in;
        bool want;
    };
    const std::vector<Case> cases = {
        {{true, true, false, true, 1}, false},   // data band, first record
        {{true, true, false, true, 2}, true},
        {{true, true, false, false, 0}, true},   // a title with StartNewPage
        {{true, false, false, false, 0}, false}, // invisible
        {{true, true, true, false, 0}, false},   // printed by OpenPage itself
        {{false, true, false, true, 5}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(breaksBefore(c.in), c.want) << c.in.recordCounter;
}

TEST(Keep, AbandonedWhenItCannotFitOnAnEmptyPage)
{
    EXPECT_FALSE(keepAbandoned(700, 400, 100, 808.81942));
    EXPECT_TRUE(keepAbandoned(800, 0, 46.13389, 808.81942));
    EXPECT_FALSE(keepAbandoned(762.68553, 0, 46.13389, 808.81942));  // exactly a page
}

TEST(HeaderItems, ReprintRules)
{
    struct Case {
        const char *what;
        HeaderItemInput in;
        bool childIfInvisible;
        HeaderItemOutput want;
    };
    auto item = [](HeaderItemKind kind) {
        HeaderItemInput in;
        in.kind = kind;
        return in;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", item(HeaderItemKind::Empty), false, HeaderItemOutput::Skip});
    cases.push_back({"page header", item(HeaderItemKind::PageHeader), false, HeaderItemOutput::Print});
    {
        auto in = item(HeaderItemKind::PageHeader);
        in.firstPage = true;
        in.printOnFirstPage = false;
        cases.push_back({"page header off the first page", in, false, HeaderItemOutput::Skip});
        cases.push_back({"its child still shown", in, true, HeaderItemOutput::ChildOnly});
    }
    {
        auto in = item(HeaderItemKind::GroupHeader);
        in.isBreakingBand = true;
        cases.push_back({"the breaking band", in, false, HeaderItemOutput::Skip});
    }
    {
        auto in = item(HeaderItemKind::Header);
        in.headerKeep = true;
        cases.push_back({"header during a header keep", in, false, HeaderItemOutput::Skip});
        in.footerKeep = true;
        cases.push_back({"... unless the footer is kept", in, false, HeaderItemOutput::Print});
    }
    {
        auto in = item(HeaderItemKind::GroupHeader);
        in.addedDuringKeep = true;
        cases.push_back({"added during a keep", in, false, HeaderItemOutput::Skip});
    }
    {
        auto in = item(HeaderItemKind::GroupHeader);
        in.noHeaders = true;
        cases.push_back({"no headers", in, false, HeaderItemOutput::Skip});
    }
    {
        auto in = item(HeaderItemKind::Header);
        in.isInterruptedBand = true;
        cases.push_back({"the interrupted header", in, false, HeaderItemOutput::Skip});
        in.kind = HeaderItemKind::GroupHeader;
        cases.push_back({"an interrupted group header", in, false, HeaderItemOutput::Print});
    }
    for (const Case &c : cases)
        EXPECT_EQ(headerItemOutput(c.in, c.childIfInvisible), c.want) << c.what;
}

// Two memos side by side in the top row, a wide memo under both, a line below the left one
// only, and a memo to the right that does not overlap the others horizontally.
TEST(ShiftLists, ChildrenFollowTheNearestObjectAbove)
{
    const ShiftRect band{0, 100, 1000, 200};
    const std::vector<ShiftRect> objects = {
        {0, 110, 100, 20},    // 0 top left
        {200, 110, 100, 20},  // 1 top right
        {0, 140, 400, 20},    // 2 wide, under 0 and 1
        {50, 170, 0, 30},     // 3 vertical line under 2 (and under 0, but 2 is between)
        {600, 150, 50, 20},   // 4 alone on the right: a child of the band
    };
    const ShiftLists lists = computeShiftLists(band, objects);
    EXPECT_EQ(lists.bandChildren, (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(lists.children[0], (std::vector<int>{2}));
    EXPECT_EQ(lists.children[1], (std::vector<int>{2}));
    EXPECT_EQ(lists.children[2], (std::vector<int>{3}));
    EXPECT_TRUE(lists.children[3].empty());

    struct Case {
        const char *what;
        double grow0, grow1;
        ShiftModeKind modeOf2;
        std::vector<double> tops;
    };
    const std::vector<Case> cases = {
        {"left grows", 10, 0, ShiftModeKind::Always, {110, 110, 150, 180, 150}},
        {"both grow: the larger push", 10, 25, ShiftModeKind::Always, {110, 110, 165, 195, 150}},
        {"wide memo does not shift, passes the push", 10, 0, ShiftModeKind::DontShift,
         {110, 110, 140, 180, 150}},
        {"overlapped: moves to the bottom of the grown memo", 25, 0,
         ShiftModeKind::WhenOverlapped, {110, 110, 155, 185, 150}},
        {"not overlapped: stays", 5, 0, ShiftModeKind::WhenOverlapped, {110, 110, 140, 170, 150}},
    };
    for (const Case &c : cases) {
        std::vector<ShiftObject> objs;
        for (const ShiftRect &r : objects)
            objs.push_back({r.top, r.height, 0, ShiftModeKind::Always});
        objs[0].growth = c.grow0;
        objs[0].height += c.grow0;
        objs[1].growth = c.grow1;
        objs[1].height += c.grow1;
        objs[2].mode = c.modeOf2;
        const std::vector<double> tops = applyShifts(lists, objs);
        ASSERT_EQ(tops.size(), c.tops.size());
        for (size_t i = 0; i < tops.size(); ++i)
            EXPECT_NEAR(tops[i], c.tops[i], 1e-9) << c.what << " object " << i;
    }
}
