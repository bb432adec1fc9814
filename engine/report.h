#pragma once
// The report document: its pages, option groups, variables and datasets, the error list of a
// run, and the evaluation services (Calc, Get, Set, value resolution).
#include "engine/component.h"
#include "engine/variables.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <set>

class TfrxCustomEngine;
class TfrxCustomPreviewPages;
class TfrxDataSet;
class TfrxExpressionCache;
class TfrxReportPage;
class TfrxView;

struct TfrxEngineOptions {
    bool ConvertNulls = true;
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    bool SilentMode = false;
    TfrxSilentMode NewSilentMode = simMessageBoxes;
    QString TempDir;
    bool UseFileCache = false;
    bool IgnoreDevByZero = false;
    bool DestroyForms = true;  // not stored
    bool operator==(const TfrxEngineOptions &) const = default;
};

enum TfrxPreviewButton : quint32 {
    pbPrint = 1, pbLoad = 2, pbSave = 4, pbExport = 8, pbZoom = 16, pbFind = 32, pbOutline = 64,
    pbPageSetup = 128, pbTools = 256, pbEdit = 512, pbNavigator = 1024, pbExportQuick = 2048,
    pbNoClose = 4096, pbNoFullScreen = 8192, pbNoEmail = 16384
};
enum TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };

struct TfrxPreviewOptions {
    bool AllowEdit = true;
    quint32 Buttons = pbPrint | pbLoad | pbSave | pbExport | pbZoom | pbFind | pbOutline | pbPageSetup |
                      pbTools | pbEdit | pbNavigator | pbExportQuick;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    int PagesInCache = 50;
    bool ShowCaptions = false;
    bool ThumbnailVisible = false;
    double Zoom = 1;
    TfrxZoomMode ZoomMode = zmDefault;
    bool operator==(const TfrxPreviewOptions &) const = default;
};

enum TfrxPrintPages { ppAll, ppOdd, ppEven };

struct TfrxPrintOptions {
    int Copies = 1;
    bool Collate = true;
    QString PageNumbers;
    QString Printer;  // the resource text "prDefault" when created
    int PrintOnSheet = 0;
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    bool operator==(const TfrxPrintOptions &) const = default;
};

struct TfrxReportOptions {
    QString Author;
    bool Compressed = false;
    QString ConnectionName;
    double CreateDate = 0;  // days since 30 December 1899
    QStringList Description;
    double LastChange = 0;
    QString Name;
    QString Password;
    QString VersionBuild, VersionMajor, VersionMinor, VersionRelease;
    bool operator==(const TfrxReportOptions &) const = default;
};

class TfrxReport : public TfrxComponent {
public:
    explicit TfrxReport(TfrxComponent *AParent = nullptr);
    ~TfrxReport() override;
    QString ClassName() const override { return QStringLiteral("TfrxReport"); }
    bool IsReport() const override { return true; }

    // Pages in template order (the report's Objects).
    std::vector<TfrxReportPage *> ReportPages() const;

    QString Version = QStringLiteral("4.9.72");
    TfrxDataSet *DataSet() const { return FDataSet; }
    void SetDataSet(TfrxDataSet *value);
    QString DataSetName() const;
    void SetDataSetName(const QString &value);
    bool DotMatrixReport = false;
    TfrxEngineOptions EngineOptions;
    QString IniFile = QStringLiteral("\\Software\\Quelvora\\Relatorios");
    bool OldStyleProgress = false;
    TfrxPreviewOptions PreviewOptions;
    TfrxPrintOptions PrintOptions;
    TfrxReportOptions ReportOptions;
    QString ScriptLanguage = QStringLiteral("PascalScript");
    QStringList ScriptText{QStringLiteral("begin"), QString(), QStringLiteral("end.")};
    bool ShowProgress = true;
    bool StoreInDFM = true;
    QString OnStartReport, OnStopReport;
    // Asked in turn for a name no dataset field or system variable resolves; a non-empty
    // answer is the value (this program assigns none).
    std::function<void(const QString &name, QVariant &value)> OnGetValue, OnNewGetValue;

    TfrxVariables Variables;
    TfrxReportDataSets DataSets;

    // Errors of a run: sorted, each distinct text once.
    const QStringList &Errors() const { return FErrors; }
    void AddError(const QString &text);
    void ClearErrors() { FErrors.clear(); }
    bool Terminated = false;

    // Name of the object being evaluated; prefixes error texts.
    QString CurObject;
    // The report script's "Value" variable (the last memo value).
    QVariant ScriptValue;
    // The view being evaluated ("Self" of expressions).
    TfrxView *Self = nullptr;

    static const QStringList &SysVariables();

    // Evaluates an expression for the engine (FromScript False) or for script code: name
    // resolution first, then the compiled expression. Errors are collected and raised as Erro.
    QVariant Calc(const QString &Expr, bool FromScript = false);
    // Value resolution without compiling; false when the name does not resolve.
    bool ResolveName(const QString &name, QVariant &value);
    // A report value by name (angle brackets of expressions): unknown names are collected as
    // errors and give null.
    QVariant Get(const QString &Name);
    void Set(const QString &Name, const QVariant &Value);
    TfrxDataSet *GetDataset(const QString &Alias);
    // Empties the expression cache (start of every run).
    void ClearExpressionCache();
    // How many expressions were compiled since the cache was last emptied.
    int CompiledExpressionCount() const;

    // Prepared pages and band engine, set by their owners for the duration of their life.
    TfrxCustomEngine *Engine = nullptr;
    TfrxCustomPreviewPages *PreviewPages = nullptr;

    // Checks the Datasets list: an item without a dataset adds "clDSNotExist". True when fine.
    bool CheckDataSets();
    // Start of a run: every listed dataset is told its report and initialised (BeginRun).
    void BeginDataSets();
    // End of a run, also after a failure: every listed dataset is finalised (EndRun).
    void EndDataSets();

    void WriteProperties(TfrxPropWriter &w) const override;
    bool ReadProperty(const QString &name, const QString &value) override;
    void WriteNode(TfrxXMLItem &Item, bool SaveChildren = true) const override;
    void ReadNode(const TfrxXMLItem &Item) override;
    void Clear() override;

    // Every report alive in the process, so that a dataset going away is forgotten by all.
    static void ForgetDataSetEverywhere(const TfrxDataSet *ds);

private:
    TfrxDataSet *FDataSet = nullptr;
    QString FDataSetName;
    QStringList FErrors;
    std::unique_ptr<TfrxExpressionCache> FExpressionCache;
    std::set<QString> FVariablesInEvaluation;  // breaks variables whose value names themselves
};
