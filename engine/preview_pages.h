#pragma once

// Prepared pages: the laid-out pages of a run, kept as a compact node tree in which every placed
// band or view is the alias of the template object it came from plus only what differs from it.
// The band engine fills the store; preview, printing and export filters read pages back as
// real objects.

#include "engine/engine_base.h"

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class TfrxBand;
class TfrxComponent;
class TfrxCustomExportFilter;
class TfrxPictureView;
class TfrxReport;
class TfrxReportPage;

enum TfrxProgressType { ptRunning, ptExporting, ptPrinting };

// apAdd appends the next page; apWriteOver reuses the page the current index points at (going
// back to a page during a run).
enum TfrxAddPageAction { apWriteOver, apAdd };

// What the store needs of the preview control that shows it. The preview folder implements
// it; the engine cannot see widgets.
class TfrxCustomPreview {
public:
    virtual ~TfrxCustomPreview() = default;
    // The page shown, counted from 1.
    virtual int PageNo() const = 0;
    // Freezes painting while pages are read for export or printing.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void RefreshReport() = 0;
};

// One outline entry as handed to readers (preview tree, PDF outline).
struct TfrxOutlineEntry {
    QString Text;
    int Page = 0;  // counted from 0
    int Top = 0;   // pixels from the top of the printable area
    std::vector<TfrxOutlineEntry> Children;
};

// The store of one report (the report's PreviewPages). The engine base declares the part the
// system variables read (Count, CurPage, logical page numbers).
class TfrxPreviewPages : public TfrxCustomPreviewPages {
public:
    explicit TfrxPreviewPages(TfrxReport *report);
    ~TfrxPreviewPages() override;
    TfrxPreviewPages(const TfrxPreviewPages &) = delete;
    TfrxPreviewPages &operator=(const TfrxPreviewPages &) = delete;

    int Count() const override;
    // The page object stays owned by the store. It remains valid until the page cache drops it
    // (more than PagesInCache other pages asked for since), until the same page is asked for
    // again while the engine runs, or until Clear. Null for an index out of range.
    virtual TfrxReportPage *GetPage(int index);
    // Rounded width and height in pixels; (0, 0) for an index out of range.
    virtual QSize PageSize(int index);
    virtual void Clear();
    virtual void BeginRun();
    virtual void AddObject(TfrxComponent *object);
    virtual void AddPage(TfrxReportPage *page);
    virtual void AddSourcePage(TfrxReportPage *page);
    virtual void AddPicture(TfrxPictureView *picture);
    virtual void BeginPass();
    virtual void DropFirstPass();
    // Moves the current page's objects from that position on into the cut list; returns the
    // page's object count before the cut.
    virtual int CutObjects(int position);
    virtual void EndRun();
    virtual void NextLogicalPage();
    virtual void CloseNumberingSection();
    virtual void PasteObjects(double x, double y);
    virtual void ShiftAnchors(int from, int top);
    virtual void CachePicture(TfrxPictureView *picture);
    virtual bool BandExists(TfrxBand *band);
    // Number of object nodes on the current page.
    virtual int CurrentPosition();
    virtual int AnchorCount();
    virtual double LastBandBottom(double x);
    int CurPage() const override { return FCurPage; }
    void SetCurPage(int value) { FCurPage = value; }
    int LogicalPageNumber() const override;
    int LogicalTotalPages() const override;
    virtual void InsertEmptyPage(int index);
    // Refused (nothing happens) when fewer than 2 pages exist.
    virtual void DeletePage(int index);
    virtual void ReplacePage(int index, TfrxReportPage *page);
    virtual void DrawPage(int index, QPainter *canvas, double scaleX, double scaleY, double offsetX,
                          double offsetY);
    // The topmost view under the point (pixels on the page at scale 1, origin at the paper's
    // corner), or none. Owned by the page cache like GetPage's page.
    virtual TfrxComponent *ObjectAt(int index, double x, double y);
    virtual void AddFrom(TfrxReport *report);
    // A damaged or unreadable stream raises Erro and leaves the store as it was.
    virtual void LoadFromStream(QIODevice *stream, bool allowPartialLoading = false);
    virtual void SaveToStream(QIODevice *stream);
    // False when the file does not exist (or raises Erro with exceptionIfNotFound).
    virtual bool LoadFromFile(const QString &fileName, bool exceptionIfNotFound = false);
    // Writes through a temporary file, so a failed save never replaces a good file.
    virtual void SaveToFile(const QString &fileName);
    virtual bool Print();
    virtual bool Export(TfrxCustomExportFilter *filter);

    TfrxReport *Report() const { return FReport; }

    // Anchors: a named position (page, top) the report script and link URLs ("#name") refer to.
    // The engine passes its CurY, the store keeps it rounded.
    void AddAnchor(const QString &text, double curY);
    // Page index + 1 of the last anchor of that name (letter case ignored), 1 when there is none.
    int GetAnchorPage(const QString &text);
    // The last anchor of that name; false when there is none.
    bool FindAnchor(const QString &text, int &page, int &top);

    // Outline: an added entry becomes the current one, so later entries nest under it until
    // OutlineLevelUp leaves its level.
    void OutlineAdd(const QString &text, double curY);
    void OutlineLevelUp();
    void OutlineLevelRoot();
    // Entries in the whole outline; the engine remembers it at a keep start.
    int OutlineCount();
    // Entries after the first `from` (depth first) move to the next page, their tops shifted so
    // the first of them lands at `top`; used when a keep moves its bands to a new page.
    void OutlineShiftItems(int from, int top);
    std::vector<TfrxOutlineEntry> OutlineEntries();

    // Run state the band engine sets: append or overwrite pages, and the index of the first page
    // of the report's own run (logical numbering without numbering nodes).
    TfrxAddPageAction AddPageAction = apAdd;
    int FirstPage = 0;

    // Pages kept as objects at most; taken from the report's PreviewOptions.PagesInCache by
    // BeginRun and LoadFromStream.
    int PagesInCache = 50;

    // Copy number and print scale handed to memos while drawing (printing sets them), and
    // whether the canvas is a printer (then only Printable views are drawn, without clipping).
    int CopyNo = 1;
    double PrintScale = 1.0;
    bool DrawingOnPrinter = false;

    // The preview control showing these pages, when there is one (not owned).
    TfrxCustomPreview *Preview = nullptr;

    // Progress display; the report's owner wires these to a progress window or the preview.
    std::function<void(TfrxProgressType)> OnProgressStart;
    std::function<void(TfrxProgressType, int)> OnProgress;
    std::function<void(TfrxProgressType)> OnProgressStop;

    // Forgets the pages built as objects; they are rebuilt from their nodes when asked for.
    void ClearPageCache();

    // One line per node of the page tree, indented by depth: "name attributes". Stable text
    // for comparing prepared pages.
    QString Dump();

    // Installed by the printing layer; without it Print raises "Nenhuma impressora instalada no
    // sistema".
    static void SetPrintHandler(std::function<bool(TfrxPreviewPages *)> handler);

private:
    struct Private;
    std::unique_ptr<Private> d;
    TfrxReport *FReport;
    int FCurPage = -1;
};
