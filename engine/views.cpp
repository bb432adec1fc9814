#include "engine/views.h"

#include "engine/datasets.h"
#include "engine/report.h"

TfrxCustomMemoView::TfrxCustomMemoView(TfrxComponent *AParent) : TfrxStretcheable(AParent) {}

QString TfrxCustomMemoView::Text() const {
    QString s;
    for (const QString &line : Memo) s += line + QLatin1String("\r\n");
    return s;
}

void TfrxCustomMemoView::SetText(const QString &value) {
    Memo.clear();
    if (value.isEmpty()) return;
    qsizetype start = 0;
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        if (c != u'\r' && c != u'\n') continue;
        Memo.append(value.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && value[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) Memo.append(value.mid(start));
}

void TfrxCustomMemoView::SetDataSet(TfrxDataSet *value) {
    FDataSet = value;
    FDataSetName = value ? value->UserName() : QString();
}

QString TfrxCustomMemoView::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxCustomMemoView::SetDataSetName(const QString &value) {
    FDataSetName = value;
    FDataSet = TfrxDataSet::Resolve(Report(), value);
}

QString TfrxCustomMemoView::ComponentText() const {
    QString s = Text();
    const qsizetype i = s.indexOf(QLatin1String("[TOTALPAGES]"), 0, Qt::CaseInsensitive);
    if (i >= 0) s.replace(i, 12, QString::number(TotalPages));
    return s;
}

TfrxCustomLineView::TfrxCustomLineView(TfrxComponent *AParent) : TfrxStretcheable(AParent) {
    Frame.Typ = ftLeft;
}

TfrxShapeView::TfrxShapeView(TfrxComponent *AParent) : TfrxView(AParent) {}

TfrxPictureView::TfrxPictureView(TfrxComponent *AParent) : TfrxView(AParent) {}
