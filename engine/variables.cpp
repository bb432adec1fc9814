#include "engine/variables.h"

#include "engine/datasets.h"

int TfrxVariables::IndexOf(const QString &name) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

TfrxVariable &TfrxVariables::Add(const QString &name, const QVariant &value) {
    FItems.push_back({name, value});
    return FItems.back();
}

void TfrxVariables::Delete(int index) { FItems.erase(FItems.begin() + index); }

QVariant TfrxVariables::Get(const QString &name) const {
    int i = IndexOf(name);
    return i >= 0 ? FItems[i].Value : QVariant();
}

void TfrxVariables::Set(const QString &name, const QVariant &value) {
    int i = IndexOf(name);
    if (i >= 0) FItems[i].Value = value;
    else Add(name, value);
}

bool TfrxVariables::operator==(const TfrxVariables &o) const {
    if (Count() != o.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Name != o.FItems[i].Name || FItems[i].Value != o.FItems[i].Value ||
            FItems[i].Value.isNull() != o.FItems[i].Value.isNull())
            return false;
    return true;
}

TfrxVariables &frxGlobalVariables() {
    static TfrxVariables globals;
    return globals;
}

QString TfrxDataSetItem::DataSetName() const { return DataSet ? DataSet->UserName() : StoredName; }

void TfrxReportDataSets::Add(TfrxDataSet *ds) {
    if (ds && Find(ds)) return;
    FItems.push_back({ds, ds ? ds->UserName() : QString()});
}

void TfrxReportDataSets::AddName(const QString &name, TfrxDataSet *ds) { FItems.push_back({ds, name}); }

TfrxDataSetItem *TfrxReportDataSets::Find(const TfrxDataSet *ds) {
    for (auto &it : FItems)
        if (it.DataSet == ds) return &it;
    return nullptr;
}

TfrxDataSetItem *TfrxReportDataSets::Find(const QString &name) {
    for (auto &it : FItems)
        if (it.DataSet && it.DataSet->UserName().compare(name, Qt::CaseInsensitive) == 0) return &it;
    return nullptr;
}

void TfrxReportDataSets::Forget(const TfrxDataSet *ds) {
    for (auto &it : FItems)
        if (it.DataSet == ds) {
            it.StoredName = it.DataSet->UserName();
            it.DataSet = nullptr;
        }
}
