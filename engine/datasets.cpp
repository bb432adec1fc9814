#include "engine/datasets.h"

#include "engine/report.h"
#include "engine/resources.h"
#include "platform/erro/Erro.h"

#include <algorithm>

namespace {
std::vector<TfrxDataSet *> &Registry() {
    static std::vector<TfrxDataSet *> all;
    return all;
}
}  // namespace

// ---- TfrxDataSet -----------------------------------------------------------------------

TfrxDataSet::TfrxDataSet(TfrxComponent *AParent) : TfrxDialogComponent(AParent) {
    Registry().push_back(this);
}

TfrxDataSet::~TfrxDataSet() {
    auto &r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    TfrxReport::ForgetDataSetEverywhere(this);
}

const std::vector<TfrxDataSet *> &TfrxDataSet::AllDataSets() { return Registry(); }

TfrxDataSet *TfrxDataSet::Resolve(TfrxReport *report, const QString &userName) {
    if (userName.isEmpty()) return nullptr;
    if (report)
        if (TfrxDataSetItem *it = report->DataSets.Find(userName)) return it->DataSet;
    return FindGlobal(userName);
}

TfrxDataSet *TfrxDataSet::FindGlobal(const QString &userName) {
    for (TfrxDataSet *d : Registry())
        if (d->UserName().compare(userName, Qt::CaseInsensitive) == 0) return d;
    return nullptr;
}

void TfrxDataSet::SetName(const QString &value) {
    TfrxDialogComponent::SetName(value);
    if (FUserName.isEmpty()) FUserName = value;
}

void TfrxDataSet::SetUserName(const QString &value) {
    if (value.trimmed().isEmpty()) throw Erro(frxGet(QStringLiteral("prInvProp")));
    FUserName = value;
}

QString TfrxDataSet::DisplayText(const QString &field) {
    const QVariant v = Value(field);
    return v.isNull() ? QString() : v.toString();
}

void TfrxDataSet::First() {
    RecNo = 0;
    FEof = false;
    if (OnFirst) OnFirst();
}

void TfrxDataSet::Next() {
    FEof = false;
    ++RecNo;
    if (RangeEnd == reCount && RecNo >= RangeEndCount) {
        RecNo = RangeEndCount - 1;
        FEof = true;
    } else if (OnNext) {
        OnNext();
    }
}

void TfrxDataSet::Prior() {
    --RecNo;
    if (OnPrior) OnPrior();
}

bool TfrxDataSet::Eof() {
    bool result = false;
    if (RangeEnd == reCount && (RecNo >= RangeEndCount || FEof)) result = true;
    if (OnCheckEOF) OnCheckEOF(result);
    return result;
}

int TfrxDataSet::FieldsCount() { return GetFieldList().size(); }

bool TfrxDataSet::HasField(const QString &name) {
    return GetFieldList().contains(name, Qt::CaseInsensitive);
}

void TfrxDataSet::AddError(const QString &text) {
    TfrxReport *r = ReportRef ? ReportRef : Report();
    if (!r) return;
    r->AddError(r->CurObject.isEmpty() ? text : r->CurObject + QLatin1String(": ") + text);
}

// ---- TfrxUserDataSet -------------------------------------------------------------------

void TfrxUserDataSet::First() { TfrxDataSet::First(); }
void TfrxUserDataSet::Next() { TfrxDataSet::Next(); }
void TfrxUserDataSet::Prior() { TfrxDataSet::Prior(); }
bool TfrxUserDataSet::Eof() { return TfrxDataSet::Eof(); }

QVariant TfrxUserDataSet::Value(const QString &field) {
    QVariant v;
    if (OnGetValue) OnGetValue(field, v);
    return v;
}

// ---- TfrxCustomDBDataSet ---------------------------------------------------------------

QString TfrxCustomDBDataSet::ConvertAlias(const QString &alias) const {
    for (const QString &line : FieldAliases) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        if (line.mid(eq + 1).compare(alias, Qt::CaseInsensitive) == 0) {
            QString field = line.left(eq);
            if (field.startsWith(u'-')) field.remove(0, 1);
            return field;
        }
    }
    return alias;
}

// ---- TfrxDBDataset ---------------------------------------------------------------------

TfrxDBDataset::~TfrxDBDataset() { Unhook(); }

void TfrxDBDataset::SetDataSet(TfrxCursor *value) {
    FDataSet = value;
    if (value) FDataSource = nullptr;
}

void TfrxDBDataset::SetDataSource(TfrxCursor *value) {
    FDataSource = value;
    if (value) FDataSet = nullptr;
}

void TfrxDBDataset::Unhook() {
    if (!FHooked) return;
    FHooked->AfterOpen = FOldAfterOpen;
    FHooked->BeforeClose = FOldBeforeClose;
    FOldAfterOpen = nullptr;
    FOldBeforeClose = nullptr;
    FHooked = nullptr;
}

void TfrxDBDataset::BeginRun() {
    TfrxCursor *q = Query();
    if (!q) throw Erro(frxGet(QStringLiteral("dbNotConn")).replace(QLatin1String("%s"), Name()));
    Unhook();
    FHooked = q;
    FOldAfterOpen = q->AfterOpen;
    FOldBeforeClose = q->BeforeClose;
    q->AfterOpen = [this]() {
        if (FState != Idle) BuildFieldTable();
        if (FOldAfterOpen) FOldAfterOpen();
    };
    q->BeforeClose = [this]() {
        // A query reopened by the program mid-run is picked up again on the next access.
        if (FState == Opened) FState = Initialised;
        FBookmark.reset();
        if (FOldBeforeClose) FOldBeforeClose();
    };
    FEof = false;
    FState = Initialised;
}

void TfrxDBDataset::EndRun() {
    TfrxCursor *q = Query();
    if (q && FBookmark && q->Active()) q->GotoBookmark(*FBookmark);
    FBookmark.reset();
    if (q && CloseDataSource) {
        // Our own close notification must not run while we are going away.
        Unhook();
        q->Close();
    }
    Unhook();
    FState = Idle;
}

void TfrxDBDataset::Open() {
    TfrxCursor *q = Query();
    if (!q) throw Erro(frxGet(QStringLiteral("dbNotConn")).replace(QLatin1String("%s"), Name()));
    FState = Opened;
    q->Open();
    BuildFieldTable();
    if (RangeBegin == rbCurrent || RangeEnd == reCurrent) FBookmark = q->GetBookmark();
    if (OnOpen) OnOpen();
}

void TfrxDBDataset::Close() {
    if (OnClose) OnClose();
    FBookmark.reset();
    if (TfrxCursor *q = Query()) q->Close();
    if (FState == Opened) FState = Initialised;
}

void TfrxDBDataset::EnsureOpen() {
    // Outside a run (Idle) the dataset reads through to the query as it stands.
    if (FState != Opened || !Query() || !Query()->Active()) Open();
}

void TfrxDBDataset::BuildFieldTable() {
    FFields.clear();
    FFieldsAsWritten.clear();
    FFieldNames.clear();
    TfrxCursor *q = Query();
    QStringList names;
    if (!FieldAliases.isEmpty()) {
        for (const QString &line : FieldAliases) {
            const qsizetype eq = line.indexOf(u'=');
            if (line.startsWith(u'-')) continue;
            names.append(eq >= 0 ? line.mid(eq + 1) : line);
        }
    } else if (q) {
        names = q->FieldNames();
    }
    for (const QString &n : names) {
        const QString key = n.toCaseFolded();
        auto it = std::lower_bound(FFields.begin(), FFields.end(), key,
                                   [](const auto &e, const QString &k) { return e.first < k; });
        if (it != FFields.end() && it->first == key) continue;
        const int idx = q ? q->FieldIndex(ConvertAlias(n)) : -1;
        FFields.insert(it, {key, idx});
        FFieldNames.append(n);
    }
}

int TfrxDBDataset::FieldOf(const QString &name, bool &found) const {
    auto known = FFieldsAsWritten.constFind(name);
    if (known != FFieldsAsWritten.cend()) {
        found = known->first;
        return known->second;
    }
    const QString key = name.toCaseFolded();
    auto it = std::lower_bound(FFields.begin(), FFields.end(), key,
                               [](const auto &e, const QString &k) { return e.first < k; });
    found = it != FFields.end() && it->first == key;
    const int index = found ? it->second : -1;
    // Field names are few; a report asking for ever new wrong names must not grow this forever.
    if (FFieldsAsWritten.size() < 1024) FFieldsAsWritten.insert(name, {found, index});
    return index;
}

QVariant TfrxDBDataset::Value(const QString &field) {
    EnsureOpen();
    bool found = false;
    const int idx = FieldOf(field, found);
    if (!found) {
        AddError(frxGet(QStringLiteral("dbFldNotFound")) + u' ' + UserName() + QLatin1String(".\"") + field + u'"');
        return {};
    }
    TfrxCursor *q = Query();
    if (idx < 0 || q->IsNull(idx)) return {};
    const QVariant v = q->Value(idx);
    switch (q->FieldKind(idx)) {
    case cfkBCD: return QVariant(v.toDouble());  // currency and float are both doubles here
    case cfkLargeInt: return QVariant(v.toLongLong());
    default: return v;
    }
}

QString TfrxDBDataset::DisplayText(const QString &field) {
    TfrxCursor *q = Query();
    if (!q) return UserName() + QLatin1String(".\"") + field + u'"';
    EnsureOpen();
    if (!q->Active()) return UserName() + QLatin1String(".\"") + field + u'"';
    int idx;
    if (!FFields.empty()) {
        bool found = false;
        idx = FieldOf(field, found);
        if (!found) {
            const QString text = frxGet(QStringLiteral("dbFldNotFound")) + u' ' + UserName() + QLatin1String(".\"") + field + u'"';
            AddError(text);
            return text;
        }
    } else {
        idx = q->FieldIndex(field);
    }
    if (idx < 0) return {};
    if (q->FieldKind(idx) == cfkWideString) return q->IsNull(idx) ? QString() : q->Value(idx).toString();
    return q->DisplayText(idx);
}

int TfrxDBDataset::DisplayWidth(const QString &field) {
    TfrxCursor *q = Query();
    if (!q) return 10;
    const int idx = q->FieldIndex(ConvertAlias(field));
    if (idx < 0) return 10;
    return q->DisplayWidth(idx);
}

TfrxFieldType TfrxDBDataset::FieldType(const QString &field) {
    TfrxCursor *q = Query();
    if (!q) return fftNumeric;
    const int idx = q->FieldIndex(ConvertAlias(field));
    if (idx < 0) return fftNumeric;
    switch (q->FieldKind(idx)) {
    case cfkString: case cfkWideString: case cfkMemo: return fftString;
    case cfkBoolean: return fftBoolean;
    default: return fftNumeric;
    }
}

void TfrxDBDataset::First() {
    EnsureOpen();
    TfrxCursor *q = Query();
    if (RangeBegin == rbCurrent && FBookmark) q->GotoBookmark(*FBookmark);
    else q->First();
    FEof = false;
    RecNo = 0;
    if (OnFirst) OnFirst();
}

void TfrxDBDataset::Next() {
    EnsureOpen();
    TfrxCursor *q = Query();
    FEof = false;
    if (RangeEnd == reCurrent && FBookmark && q->GetBookmark() == *FBookmark) {
        FEof = true;
        return;
    }
    q->Next();
    ++RecNo;
    if (RangeEnd == reCount && RecNo >= RangeEndCount) {
        RecNo = RangeEndCount - 1;
        FEof = true;
    } else if (OnNext) {
        OnNext();
    }
}

void TfrxDBDataset::Prior() {
    EnsureOpen();
    Query()->Prior();
    --RecNo;
    if (OnPrior) OnPrior();
}

bool TfrxDBDataset::Eof() {
    EnsureOpen();
    return TfrxDataSet::Eof() || Query()->Eof() || FEof;
}

bool TfrxDBDataset::IsBlobField(const QString &field) {
    EnsureOpen();
    bool found = false;
    const int idx = FieldOf(field, found);
    if (idx < 0) return false;
    const TfrxCursorFieldKind k = Query()->FieldKind(idx);
    return k == cfkMemo || k == cfkBlob;
}

int TfrxDBDataset::RecordCount() {
    EnsureOpen();
    return Query()->RecordCount();
}

QByteArray TfrxDBDataset::CopyBlob(const QString &field) {
    EnsureOpen();
    bool found = false;
    const int idx = FieldOf(field, found);
    return idx < 0 ? QByteArray() : Query()->Blob(idx);
}

QStringList TfrxDBDataset::GetFieldList() {
    if (FState != Opened && (!FieldAliases.isEmpty() || (Query() && Query()->Active()))) BuildFieldTable();
    return FFieldNames;
}
