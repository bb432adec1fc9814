#pragma once
// What the rest of the engine needs to know of a running band engine and of the prepared pages
// while a report is built: the values behind the system variables. The band engine and the
// prepared-pages store derive from these bases.
#include <QDate>
#include <QTime>

class TfrxBand;

class TfrxCustomEngine {
public:
    virtual ~TfrxCustomEngine() = default;

    double CurX = 0, CurY = 0;
    int CurColumn = 1, CurVColumn = 0;
    bool FinalPass = true;
    int TotalPages = 0;  // 0 in a single pass; the first pass's page count in the second
    QDate StartDate;
    QTime StartTime;
    bool SecondScriptCall = false;
    bool Running = false;
    int CurLine = 0;         // "Line"
    int CurLineThrough = 0;  // "Line#"
    TfrxBand *CurBand = nullptr;
};

class TfrxCustomPreviewPages {
public:
    virtual ~TfrxCustomPreviewPages() = default;
    virtual int Count() const = 0;
    // Index of the page being built (-1 when there is none).
    virtual int CurPage() const = 0;
    virtual int LogicalPageNumber() const = 0;
    virtual int LogicalTotalPages() const = 0;
};
