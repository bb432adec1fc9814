#pragma once
// Pages: the printable report page (paper, margins, orientation, printable area), the data page
// that holds non-visual components, and the dialog page.
#include "engine/component.h"

#include <QStringList>

#include <memory>

class TfrxDataSet;
class TfrxDataBand;
class TfrxPictureView;
class TfrxFrame;

class TfrxPage : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
    QString ClassName() const override { return QStringLiteral("TfrxPage"); }
    bool IsPage() const override { return true; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
};

// Width and height in millimetres of a platform paper code; false for an unknown code.
bool frxPaperDimensions(int paperSize, double &width, double &height);

inline constexpr int DMPAPER_A4 = 9;
inline constexpr int DMPAPER_USER = 256;

class TfrxReportPage : public TfrxPage {
public:
    explicit TfrxReportPage(TfrxComponent *AParent = nullptr);
    ~TfrxReportPage() override;
    QString ClassName() const override { return QStringLiteral("TfrxReportPage"); }

    TPrinterOrientation Orientation() const { return FOrientation; }
    // Swaps the paper sides and rotates the margins.
    void SetOrientation(TPrinterOrientation value);
    double PaperWidth() const { return FPaperWidth; }
    double PaperHeight() const { return FPaperHeight; }
    // Rounded to 8 decimals; either one makes the paper custom (256).
    void SetPaperWidth(double value);
    void SetPaperHeight(double value);
    int PaperSize() const { return FPaperSize; }
    // A code below 256 loads its dimensions (swapped in landscape).
    void SetPaperSize(int value);

    double LeftMargin = 10, RightMargin = 10, TopMargin = 10, BottomMargin = 10;
    bool MirrorMargins = false;
    int Columns = 0;
    double ColumnWidth = 0;
    QStringList ColumnPositions;
    int Bin = 7;
    int BinOtherPages = 7;
    bool BackPictureVisible = true;
    bool BackPicturePrintable = true;
    int PageCount = 1;  // runs without a dataset; values below 1 are ignored
    bool EndlessHeight = false;
    bool EndlessWidth = false;
    QString OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool ResetPageNumbers = false;
    bool TitleBeforeHeader = true;
    QString OnBeforePrint, OnAfterPrint, OnManualBuild;
    bool LargeDesignHeight = false;

    TfrxDataSet *DataSet() const { return FDataSet; }
    void SetDataSet(TfrxDataSet *value);
    QString DataSetName() const;
    void SetDataSetName(const QString &value);

    // The page background (colour, frame, picture) is an inner picture view owned by the page.
    TfrxPictureView *BackPictureView() const { return FBackPicture.get(); }
    TColor Color() const;
    void SetColor(TColor value);
    TfrxFrame &Frame();
    const TfrxFrame &Frame() const;

    // Printable area in pixels, not rounded (the page's own Width and Height are rounded).
    double PrintableWidth() const { return (FPaperWidth - LeftMargin - RightMargin) * fr01cm; }
    double PrintableHeight() const { return (FPaperHeight - TopMargin - BottomMargin) * fr01cm; }
    // The first object of Objects of that band class (title, headers, footers, overlay).
    template <class T>
    T *FindBand() const {
        for (TfrxComponent *c : Objects())
            if (auto *b = dynamic_cast<T *>(c)) return b;
        return nullptr;
    }

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    // Run time (band engine): the page's top-level data bands, in design order.
    std::vector<TfrxDataBand *> DataBandList;
    bool IsSubReport = false;

private:
    void UpdateDimensions();

    TPrinterOrientation FOrientation = poPortrait;
    double FPaperWidth = 210, FPaperHeight = 297;
    int FPaperSize = DMPAPER_A4;
    TfrxDataSet *FDataSet = nullptr;
    QString FDataSetName;
    std::unique_ptr<TfrxPictureView> FBackPicture;
};

class TfrxDataPage : public TfrxPage {
public:
    explicit TfrxDataPage(TfrxComponent *AParent = nullptr);
    QString ClassName() const override { return QStringLiteral("TfrxDataPage"); }
};

class TfrxDialogPage : public TfrxPage {
public:
    using TfrxPage::TfrxPage;
    QString ClassName() const override { return QStringLiteral("TfrxDialogPage"); }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    QString Caption;
};
