#pragma once
// The decisions of band placement as plain functions: how much room is left on a page, whether
// a band goes on this page, moves to the next or is split, when a keep gives up, and how the
// objects of a band move down when an object above them grows. The engine calls these; they
// know nothing of pages or datasets, so each rule can be checked with a table of numbers.
#include <vector>

namespace frx {

// Overlap tests use this tolerance, so that bands and objects that only touch after a round
// trip through text do not count as overlapping.
constexpr double kOverlapTolerance = 0.0001;

// Heights are sums of design values with five decimals; a band whose height equals the space
// left must stay on the page even when the sums differ in the last bits.
constexpr double kFitTolerance = 1e-7;

struct SpaceInput {
    double pageHeight = 0;              // printable height of the page
    double footerHeight = 0;            // column footer + page footer, without their children
    double rememberedFooterHeight = 0;  // set at the end of the last page; replaces footerHeight
    double curY = 0;
    bool endlessHeight = false;
};

// Room left for bands between CurY and the footers.
double freeSpace(const SpaceInput &in);

// True when a band of `height` does not fit in `space`: a band exactly as high as the space
// left stays.
bool doesNotFit(double space, double height);

enum class Placement {
    Here,       // output at CurY on the current page
    NewPage,    // start a new column or page first, then output
    Split,      // output in parts over pages
};

struct PlacementInput {
    bool visible = true;
    bool multiColumnDataBand = false;
    bool overlay = false;
    bool carrier = false;
    bool allowSplit = false;
    bool keeping = false;
    double height = 0;
    double freeSpace = 0;
    double pageHeightBelowHeaders = 0;  // PageHeight − FooterHeight
};

Placement decidePlacement(const PlacementInput &in);

struct BreakBeforeInput {
    bool startNewPage = false;
    bool visible = true;
    bool fromOpenPage = false;
    bool dataBandOrGroupHeader = false;
    int recordCounter = 0;
};

// Whether a band's StartNewPage breaks the page before it; a data band or group header never
// breaks before its first record, or the first page of its run would be left empty.
bool breaksBefore(const BreakBeforeInput &in);

// A keep whose kept part plus the band being output would not fit on an empty page is given
// up, otherwise the engine would move it forever.
bool keepAbandoned(double curY, double keepStartY, double keepingBandHeight,
                   double pageHeightBelowFooters);

// Header list items reprinted at the top of a new page.
enum class HeaderItemKind { Empty, PageHeader, Header, GroupHeader, Other };

struct HeaderItemInput {
    HeaderItemKind kind = HeaderItemKind::Other;
    bool isBreakingBand = false;   // the band that forced this break
    bool isInterruptedBand = false;  // the band being output when the break happened
    bool firstPage = false;
    bool printOnFirstPage = true;  // page headers
    bool headerKeep = false;
    bool addedDuringKeep = false;
    bool footerKeep = false;
    bool noHeaders = false;
};

enum class HeaderItemOutput { Print, Skip, ChildOnly };

// `printChildIfInvisible` decides what a page header left off the first page still shows.
HeaderItemOutput headerItemOutput(const HeaderItemInput &in, bool printChildIfInvisible);

// Shift lists of one band. Rectangles are absolute; the band's own rectangle is given so that
// the guide above it can be placed.
enum class ShiftModeKind { DontShift, Always, WhenOverlapped };

struct ShiftRect {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

struct ShiftLists {
    std::vector<int> bandChildren;               // the band's own shift list
    std::vector<std::vector<int>> children;      // per object
};

ShiftLists computeShiftLists(const ShiftRect &band, const std::vector<ShiftRect> &objects);

struct ShiftObject {
    double top = 0;        // before shifting
    double height = 0;     // after growing
    double growth = 0;     // what it grew by
    ShiftModeKind mode = ShiftModeKind::Always;
};

// New tops after the grown objects pushed the objects below them down. An object below two
// grown objects moves by the larger push, not by the sum of both.
std::vector<double> applyShifts(const ShiftLists &lists, const std::vector<ShiftObject> &objects);

}  // namespace frx
