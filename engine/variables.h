#pragma once
// Report variables: an ordered collection of named values (names compared without regard to
// case, the first match wins), and the report's list of the datasets it may use.
#include <QString>
#include <QVariant>

#include <vector>

class TfrxDataSet;

struct TfrxVariable {
    QString Name;
    QVariant Value;  // null when created
};

class TfrxVariables {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TfrxVariable &Items(int i) { return FItems[i]; }
    const TfrxVariable &Items(int i) const { return FItems[i]; }
    int IndexOf(const QString &name) const;  // -1 when absent
    TfrxVariable &Add(const QString &name, const QVariant &value = {});
    void Delete(int index);
    void Clear() { FItems.clear(); }

    // Null when there is no such variable.
    QVariant Get(const QString &name) const;
    // Sets the first item of that name, or appends one.
    void Set(const QString &name, const QVariant &value);

    bool operator==(const TfrxVariables &) const;

private:
    std::vector<TfrxVariable> FItems;
};

// Shared by every report of the process ("CopyName0", "CopyName1", ...).
TfrxVariables &frxGlobalVariables();

struct TfrxDataSetItem {
    TfrxDataSet *DataSet = nullptr;
    // The dataset's current UserName when it is set, else the stored name.
    QString DataSetName() const;
    QString StoredName;
};

class TfrxReportDataSets {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TfrxDataSetItem &Items(int i) { return FItems[i]; }
    const TfrxDataSetItem &Items(int i) const { return FItems[i]; }
    void Add(TfrxDataSet *ds);
    void AddName(const QString &name, TfrxDataSet *ds = nullptr);
    void Clear() { FItems.clear(); }
    TfrxDataSetItem *Find(const TfrxDataSet *ds);
    // By user name, any case; items without a dataset are skipped.
    TfrxDataSetItem *Find(const QString &name);
    void Forget(const TfrxDataSet *ds);

private:
    std::vector<TfrxDataSetItem> FItems;
};
