#pragma once
// Report datasets: the engine's cursors over rows. TfrxDBDataset adapts one database query
// (through TfrxCursor); TfrxUserDataSet is fed by events and also serves as the virtual
// dataset of a band with RowCount.
#include "engine/component.h"
#include "engine/cursor.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <optional>

class TfrxDataSet : public TfrxDialogComponent {
public:
    explicit TfrxDataSet(TfrxComponent *AParent = nullptr);
    ~TfrxDataSet() override;
    QString ClassName() const override { return QStringLiteral("TfrxDataSet"); }

    void SetName(const QString &value) override;
    const QString &UserName() const { return FUserName; }
    // An empty or blank name fails with "prInvProp".
    virtual void SetUserName(const QString &value);

    virtual QString DisplayText(const QString &field);
    virtual int DisplayWidth(const QString &field) { return 10; }
    virtual TfrxFieldType FieldType(const QString &field) { return fftNumeric; }
    virtual QVariant Value(const QString &field) { return {}; }

    virtual void BeginRun() {}
    virtual void EndRun() {}
    virtual void Open() {}
    virtual void Close() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount();
    virtual bool IsBlobField(const QString &field) { return false; }
    virtual int RecordCount() { return 0; }
    virtual QByteArray CopyBlob(const QString &field) { return {}; }
    virtual QStringList GetFieldList() { return {}; }
    bool HasField(const QString &name);

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    bool Enabled = true;
    TfrxRangeBegin RangeBegin = rbFirst;
    TfrxRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    std::function<void(bool &eof)> OnCheckEOF;
    std::function<void()> OnFirst, OnNext, OnPrior;

    // Run time: RecNo counts the engine's own moves from 0.
    int RecNo = 0;
    TfrxReport *ReportRef = nullptr;  // the report the dataset serves in a run

    // Every dataset alive in the process (template loading looks DataSetName up here).
    static const std::vector<TfrxDataSet *> &AllDataSets();
    static TfrxDataSet *FindGlobal(const QString &userName);
    // What a DataSetName stands for: the report's list first, then the process-wide one.
    static TfrxDataSet *Resolve(TfrxReport *report, const QString &userName);

protected:
    // The report's error list, with the object being evaluated in front ("Memo1: ...").
    void AddError(const QString &text);
    bool FEof = false;

private:
    QString FUserName;
};

class TfrxUserDataSet : public TfrxDataSet {
public:
    using TfrxDataSet::TfrxDataSet;
    QString ClassName() const override { return QStringLiteral("TfrxUserDataSet"); }

    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    QVariant Value(const QString &field) override;
    QStringList GetFieldList() override { return Fields; }

    QStringList Fields;
    std::function<void(const QString &field, QVariant &value)> OnGetValue;
};

class TfrxCustomDBDataSet : public TfrxDataSet {
public:
    using TfrxDataSet::TfrxDataSet;
    QString ClassName() const override { return QStringLiteral("TfrxCustomDBDataSet"); }

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    bool CloseDataSource = false;
    bool OpenDataSource = true;
    // "field=alias" lines; a field name beginning with "-" hides the field.
    QStringList FieldAliases;
    std::function<void()> OnOpen, OnClose;

    // The alias's database field name (the name itself when no line maps it).
    QString ConvertAlias(const QString &alias) const;
};

class TfrxDBDataset : public TfrxCustomDBDataSet {
public:
    using TfrxCustomDBDataSet::TfrxCustomDBDataSet;
    ~TfrxDBDataset() override;
    QString ClassName() const override { return QStringLiteral("TfrxDBDataset"); }

    // The query in use. Setting it clears DataSource and the other way round; neither is owned.
    TfrxCursor *DataSet() const { return FDataSet; }
    void SetDataSet(TfrxCursor *value);
    TfrxCursor *DataSource() const { return FDataSource; }
    void SetDataSource(TfrxCursor *value);
    TfrxCursor *Query() const { return FDataSet ? FDataSet : FDataSource; }

    QString DisplayText(const QString &field) override;
    int DisplayWidth(const QString &field) override;
    TfrxFieldType FieldType(const QString &field) override;
    QVariant Value(const QString &field) override;
    void BeginRun() override;
    void EndRun() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    bool IsBlobField(const QString &field) override;
    int RecordCount() override;
    QByteArray CopyBlob(const QString &field) override;
    QStringList GetFieldList() override;

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;

    bool BCDToCurrency = false;

    enum State { Idle, Initialised, Opened };
    State CurrentState() const { return FState; }

private:
    void EnsureOpen();
    void BuildFieldTable();
    // Index of the query field behind a dataset field name; -1 when the name is not in the
    // table or the query has no such field. found tells whether the name is in the table.
    int FieldOf(const QString &name, bool &found) const;
    void Unhook();

    TfrxCursor *FDataSet = nullptr;
    TfrxCursor *FDataSource = nullptr;
    TfrxCursor *FHooked = nullptr;
    State FState = Idle;
    // Sorted by case-folded name, duplicates ignored: (folded name, query field index or -1).
    std::vector<std::pair<QString, int>> FFields;
    // Names as the memos write them, looked up before: every data memo asks for its field
    // three times a record, and folding the name each time was most of the lookup's cost.
    mutable QHash<QString, std::pair<bool, int>> FFieldsAsWritten;
    QStringList FFieldNames;
    std::optional<TfrxCursor::Bookmark> FBookmark;
    std::function<void()> FOldAfterOpen, FOldBeforeClose;
};
