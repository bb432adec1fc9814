#include "engine/bands.h"

#include "engine/datasets.h"
#include "engine/report.h"

const char *const frxBandClassNames[18] = {
    "TfrxReportTitle", "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter", "TfrxHeader",
    "TfrxFooter", "TfrxMasterData", "TfrxDetailData", "TfrxSubdetailData", "TfrxDataBand4",
    "TfrxDataBand5", "TfrxDataBand6", "TfrxGroupHeader", "TfrxGroupFooter", "TfrxChild",
    "TfrxColumnHeader", "TfrxColumnFooter", "TfrxOverlay"};

TfrxBand::~TfrxBand() = default;
TfrxDataBand::~TfrxDataBand() = default;

void TfrxDataBand::SetDataSet(TfrxDataSet *value) {
    FDataSet = value;
    FDataSetName = value ? value->UserName() : QString();
}

QString TfrxDataBand::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxDataBand::SetDataSetName(const QString &value) {
    FDataSetName = value;
    FDataSet = TfrxDataSet::Resolve(Report(), value);
}
