#pragma once
// The horizontal strips of a page that the band engine prints as units, with their fixed
// band numbers, and the run-time structure the engine links them into.
#include "engine/component.h"
#include "engine/datasets.h"

#include <QVariant>

#include <memory>

class TfrxChild;
class TfrxGroupHeader;
class TfrxGroupFooter;
class TfrxDataBand;

class TfrxBand : public TfrxReportComponent {
public:
    using TfrxReportComponent::TfrxReportComponent;
    ~TfrxBand() override;
    QString ClassName() const override { return QStringLiteral("TfrxBand"); }
    void Draw(QPainter *, double, double, double, double) override {}

    // Index of the band's class in the fixed list of eighteen; -1 for the abstract classes.
    virtual int BandNumber() const { return -1; }

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    bool Vertical = false;
    int Restrictions = 0;
    QString OnAfterCalcHeight, OnAfterPrint, OnBeforePrint;
    // Common to most kinds; each kind's table says which apply.
    bool AllowSplit = false;
    TfrxChild *Child = nullptr;
    QString ChildName;  // kept until the child band can be found after loading
    bool KeepChild = false;
    QString OutlineText;
    bool PrintChildIfInvisible = false;
    bool ReprintOnNewPage = false;  // headers and group headers
    bool StartNewPage = false;
    bool Stretched = false;

    // Run time (band engine): record counter ("Line") and running counter ("Line#").
    int LineN = 0;
    int LineThrough = 0;
};

class TfrxDataBand : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    ~TfrxDataBand() override;
    QString ClassName() const override { return QStringLiteral("TfrxDataBand"); }

    TfrxDataSet *DataSet() const { return FDataSet; }
    void SetDataSet(TfrxDataSet *value);
    QString DataSetName() const;
    void SetDataSetName(const QString &value);

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    int Columns = 0;
    double ColumnWidth = 0;
    double ColumnGap = 0;
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    int RowCount = 0;  // 0: all records
    QString OnMasterDetail;

    // Run time (band engine): the structure of the page, rebuilt for each run.
    TfrxBand *Header = nullptr;
    TfrxBand *Footer = nullptr;
    TfrxGroupHeader *Group = nullptr;
    std::vector<TfrxDataBand *> DataBands;
    // The empty records of a band with RowCount and no dataset.
    std::unique_ptr<TfrxUserDataSet> VirtualDataSet;

private:
    TfrxDataSet *FDataSet = nullptr;
    QString FDataSetName;
};

#define FRX_BAND(cls, base, number)                                              \
    class cls : public base {                                                    \
    public:                                                                      \
        using base::base;                                                        \
        QString ClassName() const override { return QStringLiteral(#cls); }      \
        int BandNumber() const override { return number; }                       \
        void WriteProperties(TfrxPropWriter &w) const override;                  \
        bool ReadProperty(const QString &name, const QString &value) override;  \
    };

FRX_BAND(TfrxMasterData, TfrxDataBand, 6)
FRX_BAND(TfrxDetailData, TfrxDataBand, 7)
FRX_BAND(TfrxSubdetailData, TfrxDataBand, 8)
FRX_BAND(TfrxDataBand4, TfrxDataBand, 9)
FRX_BAND(TfrxDataBand5, TfrxDataBand, 10)
FRX_BAND(TfrxDataBand6, TfrxDataBand, 11)
FRX_BAND(TfrxReportTitle, TfrxBand, 0)
FRX_BAND(TfrxReportSummary, TfrxBand, 1)
FRX_BAND(TfrxHeader, TfrxBand, 4)
FRX_BAND(TfrxFooter, TfrxBand, 5)
FRX_BAND(TfrxChild, TfrxBand, 14)
FRX_BAND(TfrxColumnHeader, TfrxBand, 15)
FRX_BAND(TfrxColumnFooter, TfrxBand, 16)
#undef FRX_BAND

class TfrxGroupFooter : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxGroupFooter"); }
    int BandNumber() const override { return 13; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    bool HideIfSingleDataRecord = false;
};

class TfrxPageHeader : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxPageHeader"); }
    int BandNumber() const override { return 2; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    bool PrintOnFirstPage = true;
};

class TfrxPageFooter : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxPageFooter"); }
    int BandNumber() const override { return 3; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
};

class TfrxGroupHeader : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxGroupHeader"); }
    int BandNumber() const override { return 12; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    QString Condition;
    bool DrillDown = false;
    bool ExpandDrillDown = false;
    bool KeepTogether = false;
    bool ResetPageNumbers = false;
    bool ShowFooterIfDrillDown = false;
    bool ShowChildIfDrillDown = false;
    QString DrillName;

    // Run time (band engine): the nested group headers, outermost first, the paired footer and
    // the value of Condition for the current group.
    std::vector<TfrxGroupHeader *> GroupList;
    TfrxGroupFooter *FooterBand = nullptr;
    QVariant LastValue;
};

class TfrxOverlay : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxOverlay"); }
    int BandNumber() const override { return 17; }
    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    bool PrintOnTop = false;
};

// The internal carrier of page-level views; never in a template.
class TfrxNullBand : public TfrxBand {
public:
    using TfrxBand::TfrxBand;
    QString ClassName() const override { return QStringLiteral("TfrxNullBand"); }
};

// Class names of the band numbers 0 to 17.
extern const char *const frxBandClassNames[18];
