#include "engine/report.h"

#include "engine/bands.h"
#include "engine/datasets.h"
#include "engine/engine_base.h"
#include "engine/expression_cache.h"
#include "engine/pages.h"
#include "engine/resources.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include <algorithm>

namespace {
std::vector<TfrxReport *> &Reports() {
    static std::vector<TfrxReport *> all;
    return all;
}
}  // namespace

TfrxReport::TfrxReport(TfrxComponent *AParent)
    : TfrxComponent(AParent), FExpressionCache(std::make_unique<TfrxExpressionCache>(this)) {
    PrintOptions.Printer = frxGet(QStringLiteral("prDefault"));
    Reports().push_back(this);
}

TfrxReport::~TfrxReport() {
    auto &r = Reports();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

void TfrxReport::ForgetDataSetEverywhere(const TfrxDataSet *ds) {
    for (TfrxReport *r : Reports()) {
        r->DataSets.Forget(ds);
        if (r->FDataSet == ds) {
            r->FDataSetName = ds->UserName();
            r->FDataSet = nullptr;
        }
        for (TfrxComponent *c : r->AllObjects()) {
            if (auto *m = dynamic_cast<TfrxCustomMemoView *>(c); m && m->DataSet() == ds) m->SetDataSetName(QString());
            if (auto *b = dynamic_cast<TfrxDataBand *>(c); b && b->DataSet() == ds) b->SetDataSetName(QString());
            if (auto *p = dynamic_cast<TfrxReportPage *>(c); p && p->DataSet() == ds) p->SetDataSetName(QString());
        }
    }
}

std::vector<TfrxReportPage *> TfrxReport::ReportPages() const {
    std::vector<TfrxReportPage *> out;
    for (TfrxComponent *c : Objects())
        if (auto *p = dynamic_cast<TfrxReportPage *>(c)) out.push_back(p);
    return out;
}

void TfrxReport::SetDataSet(TfrxDataSet *value) {
    FDataSet = value;
    FDataSetName = value ? value->UserName() : QString();
}

QString TfrxReport::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxReport::SetDataSetName(const QString &value) {
    FDataSetName = value;
    FDataSet = nullptr;
    if (value.isEmpty()) return;
    if (TfrxDataSetItem *it = DataSets.Find(value)) FDataSet = it->DataSet;
    if (!FDataSet) FDataSet = TfrxDataSet::FindGlobal(value);
}

void TfrxReport::Clear() {
    TfrxComponent::Clear();
    DataSets.Clear();
    Variables.Clear();
    FDataSet = nullptr;
    FDataSetName.clear();
    ScriptText = QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")};
}

void TfrxReport::AddError(const QString &text) {
    auto it = std::lower_bound(FErrors.begin(), FErrors.end(), text);
    if (it != FErrors.end() && *it == text) return;
    FErrors.insert(it, text);
}

const QStringList &TfrxReport::SysVariables() {
    static const QStringList names{QStringLiteral("Date"),        QStringLiteral("Time"),
                                   QStringLiteral("Page"),        QStringLiteral("Page#"),
                                   QStringLiteral("TotalPages"),  QStringLiteral("TotalPages#"),
                                   QStringLiteral("Line"),        QStringLiteral("Line#"),
                                   QStringLiteral("CopyName#")};
    return names;
}

bool TfrxReport::CheckDataSets() {
    bool ok = true;
    for (int i = 0; i < DataSets.Count(); ++i) {
        const TfrxDataSetItem &it = DataSets.Items(i);
        if (it.DataSet) continue;
        AddError(frxGet(QStringLiteral("clDSNotExist")).replace(QLatin1String("%s"), it.DataSetName()));
        ok = false;
    }
    return ok;
}

void TfrxReport::BeginDataSets() {
    for (int i = 0; i < DataSets.Count(); ++i)
        if (TfrxDataSet *ds = DataSets.Items(i).DataSet) {
            ds->ReportRef = this;
            ds->BeginRun();
        }
}

void TfrxReport::EndDataSets() {
    for (int i = 0; i < DataSets.Count(); ++i)
        if (TfrxDataSet *ds = DataSets.Items(i).DataSet) {
            ds->EndRun();
            ds->ReportRef = nullptr;
        }
}

TfrxDataSet *TfrxReport::GetDataset(const QString &Alias) {
    TfrxDataSetItem *it = DataSets.Find(Alias);
    return it ? it->DataSet : nullptr;
}

bool TfrxReport::ResolveName(const QString &name, QVariant &value) {
    value = QVariant();
    // Dataset field: the part before the first '."' names the dataset, the rest without its last
    // character the field (frxDBListagem."CST").
    const qsizetype dot = name.indexOf(QLatin1String(".\""));
    if (dot >= 0) {
        const QString dsName = name.left(dot);
        const QString field = name.mid(dot + 2).chopped(name.mid(dot + 2).isEmpty() ? 0 : 1);
        TfrxDataSet *ds = GetDataset(dsName);
        if (ds && !field.isEmpty()) {
            value = ds->Value(field);
            if (EngineOptions.ConvertNulls && value.isNull()) {
                switch (ds->FieldType(field)) {
                case fftString: value = QString(); break;
                case fftBoolean: value = false; break;
                case fftNumeric: value = 0; break;
                }
            }
            return true;
        }
    }
    for (const QString &sys : SysVariables()) {
        if (sys.compare(name, Qt::CaseInsensitive) != 0) continue;
        const int k = SysVariables().indexOf(sys);
        switch (k) {
        case 0: value = Engine && Engine->StartDate.isValid() ? Engine->StartDate : QDate::currentDate(); break;
        case 1: value = Engine && Engine->StartTime.isValid() ? Engine->StartTime : QTime::currentTime(); break;
        case 2: value = PreviewPages ? PreviewPages->LogicalPageNumber() : 0; break;
        case 3: value = PreviewPages ? PreviewPages->CurPage() + 1 : 0; break;
        case 4: value = PreviewPages ? PreviewPages->LogicalTotalPages() : 0; break;
        case 5: value = Engine ? Engine->TotalPages : 0; break;
        case 6: value = Engine ? Engine->CurLine : 0; break;
        case 7: value = Engine ? Engine->CurLineThrough : 0; break;
        case 8: value = frxGlobalVariables().Get(QStringLiteral("CopyName0")); break;
        }
        return true;
    }
    for (const auto *event : {&OnGetValue, &OnNewGetValue}) {
        if (!*event) continue;
        QVariant answer;
        (*event)(name, answer);
        if (!answer.isNull() && !(answer.typeId() == QMetaType::QString && answer.toString().isEmpty())) {
            value = answer;
            return true;
        }
    }
    // A name beginning with a blank is a list heading, never a variable an expression can name.
    const int vi = name.startsWith(u' ') ? -1 : Variables.IndexOf(name);
    if (vi >= 0) {
        const QVariant v = Variables.Items(vi).Value;
        const bool isText = v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
        if (isText && !v.toString().contains(QLatin1String("\r\n"))) {
            const QString key = name.toLower();
            // A value that names its own variable would evaluate itself without end; the
            // cycle is cut and the text goes to the compiler like any other unknown name.
            if (FVariablesInEvaluation.count(key)) return false;
            FVariablesInEvaluation.insert(key);
            struct Done {
                std::set<QString> &s;
                QString k;
                ~Done() { s.erase(k); }
            } done{FVariablesInEvaluation, key};
            value = Calc(v.toString());
        } else {
            value = v;
        }
        return true;
    }
    const TfrxVariables &g = frxGlobalVariables();
    if (int gi = g.IndexOf(name); gi >= 0) {
        value = g.Items(gi).Value;
        return true;
    }
    return false;
}

QVariant TfrxReport::Calc(const QString &Expr, bool FromScript) {
    QVariant value;
    if (ResolveName(Expr, value)) return value;
    QString error;
    value = FExpressionCache->Calc(Expr, error);
    if (error.isEmpty()) return value;
    if (FExpressionCache->IsDivisionByZero(error) && EngineOptions.IgnoreDevByZero) return {};
    if (FromScript) {
        error = QStringLiteral("Error in Calc expression: ") + error;
    } else {
        if (!CurObject.isEmpty()) error = CurObject + QLatin1String(": ") + error;
        AddError(error);
    }
    throw Erro(error);
}

QVariant TfrxReport::Get(const QString &Name) {
    QVariant value;
    if (ResolveName(Name, value)) return value;
    const QString head = Name.section(u'(', 0, 0).trimmed().toUpper();
    if (Name.contains(u'(') &&
        (head == QLatin1String("SUM") || head == QLatin1String("MIN") || head == QLatin1String("MAX") ||
         head == QLatin1String("AVG") || head == QLatin1String("COUNT")))
        return Calc(Name);
    AddError(frxGet(QStringLiteral("clUnknownVar")) + u' ' + Name);
    return {};
}

void TfrxReport::Set(const QString &Name, const QVariant &Value) { Variables.Set(Name, Value); }

void TfrxReport::ClearExpressionCache() { FExpressionCache->Clear(); }

int TfrxReport::CompiledExpressionCount() const { return FExpressionCache->Count(); }
