#include "engine/pages.h"

#include "engine/datasets.h"
#include "engine/report.h"
#include "engine/views.h"

#include <cmath>

namespace {

// Platform paper codes in tenths of a millimetre (portrait).
struct Paper {
    int code;
    int width, height;
};
constexpr Paper kPapers[] = {
    {1, 2159, 2794},  {2, 2159, 2794},  {3, 2794, 4318},  {4, 4318, 2794},  {5, 2159, 3556},
    {6, 1397, 2159},  {7, 1842, 2667},  {8, 2970, 4200},  {9, 2100, 2970},  {10, 2100, 2970},
    {11, 1480, 2100}, {12, 2500, 3540}, {13, 1820, 2570}, {14, 2159, 3302}, {15, 2150, 2750},
    {16, 2540, 3556}, {17, 2794, 4318}, {18, 2159, 2794}, {19, 984, 2254},  {20, 1048, 2413},
    {21, 1143, 2635}, {22, 1207, 2794}, {23, 1270, 2921}, {24, 4318, 5588}, {25, 5588, 8636},
    {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290}, {29, 3240, 4580}, {30, 2290, 3240},
    {31, 1140, 1620}, {32, 1140, 2290}, {33, 2500, 3530}, {34, 1760, 2500}, {35, 1760, 1250},
    {36, 1100, 2300}, {37, 984, 1905},  {38, 921, 1651},  {39, 3778, 2794}, {40, 2159, 3048},
    {41, 2159, 3302}};

double Round8(double v) { return std::round(v * 1e8) / 1e8; }

}  // namespace

bool frxPaperDimensions(int paperSize, double &width, double &height) {
    for (const Paper &p : kPapers)
        if (p.code == paperSize) {
            width = p.width / 10.0;
            height = p.height / 10.0;
            return true;
        }
    return false;
}

TfrxReportPage::TfrxReportPage(TfrxComponent *AParent)
    : TfrxPage(AParent), FBackPicture(std::make_unique<TfrxPictureView>()) {
    FBackPicture->SetName(QStringLiteral("_pagebackground"));
    FBackPicture->KeepAspectRatio = false;
    UpdateDimensions();
}

TfrxReportPage::~TfrxReportPage() = default;

void TfrxReportPage::UpdateDimensions() {
    SetWidth(nint(FPaperWidth * fr01cm));
    SetHeight(nint(FPaperHeight * fr01cm));
}

void TfrxReportPage::SetOrientation(TPrinterOrientation value) {
    if (value == FOrientation) return;
    FOrientation = value;
    std::swap(FPaperWidth, FPaperHeight);
    const double l = LeftMargin, r = RightMargin, t = TopMargin, b = BottomMargin;
    if (value == poLandscape) {
        LeftMargin = t;
        RightMargin = b;
        TopMargin = r;
        BottomMargin = l;
    } else {
        LeftMargin = b;
        RightMargin = t;
        TopMargin = l;
        BottomMargin = r;
    }
    UpdateDimensions();
}

void TfrxReportPage::SetPaperWidth(double value) {
    FPaperWidth = Round8(value);
    FPaperSize = DMPAPER_USER;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(double value) {
    FPaperHeight = Round8(value);
    FPaperSize = DMPAPER_USER;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperSize(int value) {
    FPaperSize = value;
    double w, h;
    if (value < DMPAPER_USER && frxPaperDimensions(value, w, h)) {
        if (FOrientation == poLandscape) std::swap(w, h);
        FPaperWidth = w;
        FPaperHeight = h;
        UpdateDimensions();
    }
}

void TfrxReportPage::SetDataSet(TfrxDataSet *value) {
    FDataSet = value;
    FDataSetName = value ? value->UserName() : QString();
}

QString TfrxReportPage::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxReportPage::SetDataSetName(const QString &value) {
    FDataSetName = value;
    FDataSet = TfrxDataSet::Resolve(Report(), value);
}

TColor TfrxReportPage::Color() const { return FBackPicture->Color; }
void TfrxReportPage::SetColor(TColor value) { FBackPicture->Color = value; }
TfrxFrame &TfrxReportPage::Frame() { return FBackPicture->Frame; }
const TfrxFrame &TfrxReportPage::Frame() const { return FBackPicture->Frame; }

TfrxDataPage::TfrxDataPage(TfrxComponent *AParent) : TfrxPage(AParent) {
    SetWidth(1000);
    SetHeight(1000);
}
