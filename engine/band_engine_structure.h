#pragma once
// Linking the bands of one report page into the run-time structure: groups with their footers,
// data bands with their headers, footers and details, and the page's list of top-level data
// bands. Kept apart from the object model so that the linking rules can be checked on plain
// band descriptions.
#include <QString>
#include <vector>

namespace frx {

// Band numbers: the position of a band class in the engine's fixed list of band classes.
enum BandNumber : int {
    bnReportTitle = 0,
    bnReportSummary = 1,
    bnPageHeader = 2,
    bnPageFooter = 3,
    bnHeader = 4,
    bnFooter = 5,
    bnMasterData = 6,
    bnDetailData = 7,
    bnSubdetailData = 8,
    bnDataBand4 = 9,
    bnDataBand5 = 10,
    bnDataBand6 = 11,
    bnGroupHeader = 12,
    bnGroupFooter = 13,
    bnChild = 14,
    bnColumnHeader = 15,
    bnColumnFooter = 16,
    bnOverlay = 17,
    bnNone = -1  // not one of the listed classes (the carrier band)
};

inline bool isDataBandNumber(int n) { return n >= bnMasterData && n <= bnDataBand6; }

// The design order key of a band: Top as "%9.2f", compared as text. Two bands whose keys are
// equal cannot both be ordered, so the later one is dropped from the structure.
QString bandSortKey(double top);

struct BandSlot {
    int number = bnNone;
    double top = 0;
    bool hasDataSet = false;
    QString name;
};

struct StructureError {
    const char *resourceKey;  // "enUnconnGroup", "enUnconnGFooter", "enUnconnHeader", "enBandPos"
    QString bandName;
};

// Indices refer to the input vector; -1 means none.
struct BandLinks {
    int header = -1;
    int footer = -1;
    int group = -1;              // data bands: outermost group header of the chain above
    std::vector<int> groupList;  // group headers: itself, then the nested headers below it
    int groupFooter = -1;        // group headers: the footer paired with it
    std::vector<int> details;    // data bands: the next nesting level, in design order
};

struct PageStructure {
    std::vector<BandLinks> bands;      // one per input band
    std::vector<int> dataBands;        // the page's top-level data bands, in design order
    std::vector<int> designOrder;      // bands 4..13 taken into the structure, ordered by Top
    std::vector<bool> dropped;         // left out because another band had the same key
    std::vector<StructureError> errors;
};

// `bands` is the page's bands in the page's object order.
PageStructure linkBands(const std::vector<BandSlot> &bands);

}  // namespace frx
