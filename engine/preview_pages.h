#pragma once

// Prepared pages: the laid-out pages of a run, kept as a compact node tree in which every placed
// band or view is the alias of the template object it came from plus only what differs from it.
// The band engine fills the store; preview, printing and export filters read pages back as
// real objects.

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

class TfrxCustomPreviewPages {
public:
  virtual ~TfrxCustomPreviewPages();

  virtual int Count() = 0;
  // The page object stays owned by the store. It remains valid until the page cache drops it
  // (more than PagesInCache other pages asked for since), until the same page is asked for
  // again while the engine runs, or until Clear.
  virtual TfrxReportPage* GetPage(int index) = 0;
  virtual QSize PageSize(int index) = 0;
  virtual void Clear() = 0;
  virtual void BeginRun() = 0;
  virtual void AddObject(TfrxComponent* object) = 0;
  virtual void AddPage(TfrxReportPage* page) = 0;
  virtual void AddSourcePage(TfrxReportPage* page) = 0;
  virtual void AddPicture(TfrxPictureView* picture) = 0;
  virtual void BeginPass() = 0;
  virtual void DropFirstPass() = 0;
  virtual int CutObjects(int position) = 0;
  virtual void EndRun() = 0;
  virtual void NextLogicalPage() = 0;
  virtual void CloseNumberingSection() = 0;
  virtual void PasteObjects(double x, double y) = 0;
  virtual void ShiftAnchors(int from, int top) = 0;
  virtual void CachePicture(TfrxPictureView* picture) = 0;
  virtual bool BandExists(TfrxBand* band) = 0;
  virtual int CurrentPosition() = 0;
  virtual int AnchorCount() = 0;
  virtual double LastBandBottom(double x) = 0;
  virtual int LogicalPageNumber() = 0;
  virtual int LogicalTotalPages() = 0;
  virtual void InsertEmptyPage(int index) = 0;
  virtual void DeletePage(int index) = 0;
  virtual void ReplacePage(int index, TfrxReportPage* page) = 0;
  virtual void DrawPage(int index, QPainter* canvas, double scaleX, double scaleY, double offsetX,
                        double offsetY) = 0;
  // The topmost view under the point (pixels on the page at scale 1, origin at the paper's
  // corner), or none.
  virtual TfrxComponent* ObjectAt(int index, double x, double y) = 0;
  virtual void AddFrom(TfrxReport* report) = 0;
  // A damaged or unreadable stream raises Erro and leaves the store as it was.
  virtual void LoadFromStream(QIODevice* stream, bool allowPartialLoading = false) = 0;
  virtual void SaveToStream(QIODevice* stream) = 0;
  // False when the file does not exist (or raises Erro with exceptionIfNotFound).
  virtual bool LoadFromFile(const QString& fileName, bool exceptionIfNotFound = false) = 0;
  // Writes through a temporary file, so a failed save never replaces a good file.
  virtual void SaveToFile(const QString& fileName) = 0;
  virtual bool Print() = 0;
  virtual bool Export(TfrxCustomExportFilter* filter) = 0;

  TfrxReport* Report() const { return FReport; }

  // Run state the band engine reads and sets.
  TfrxAddPageAction AddPageAction = apAdd;
  int CurPage = -1;    // index of the page being filled, -1 when empty
  int FirstPage = 0;   // index of the first page of the report's own run (logical numbering)

  // The preview control showing these pages, when there is one (not owned).
  TfrxCustomPreview* Preview = nullptr;

  // Progress display; the report wires these to its progress window or preview.
  std::function<void(TfrxProgressType)> OnProgressStart;
  std::function<void(TfrxProgressType, int)> OnProgress;
  std::function<void(TfrxProgressType)> OnProgressStop;

protected:
  explicit TfrxCustomPreviewPages(TfrxReport* report);
  TfrxReport* FReport;
};

class TfrxPreviewPages : public TfrxCustomPreviewPages {
public:
  explicit TfrxPreviewPages(TfrxReport* report);
  ~TfrxPreviewPages() override;

  int Count() override;
  TfrxReportPage* GetPage(int index) override;
  QSize PageSize(int index) override;
  void Clear() override;
  void BeginRun() override;
  void AddObject(TfrxComponent* object) override;
  void AddPage(TfrxReportPage* page) override;
  void AddSourcePage(TfrxReportPage* page) override;
  void AddPicture(TfrxPictureView* picture) override;
  void BeginPass() override;
  void DropFirstPass() override;
  int CutObjects(int position) override;
  void EndRun() override;
  void NextLogicalPage() override;
  void CloseNumberingSection() override;
  void PasteObjects(double x, double y) override;
  void ShiftAnchors(int from, int top) override;
  void CachePicture(TfrxPictureView* picture) override;
  bool BandExists(TfrxBand* band) override;
  int CurrentPosition() override;
  int AnchorCount() override;
  double LastBandBottom(double x) override;
  int LogicalPageNumber() override;
  int LogicalTotalPages() override;
  void InsertEmptyPage(int index) override;
  void DeletePage(int index) override;
  void ReplacePage(int index, TfrxReportPage* page) override;
  void DrawPage(int index, QPainter* canvas, double scaleX, double scaleY, double offsetX,
                double offsetY) override;
  TfrxComponent* ObjectAt(int index, double x, double y) override;
  void AddFrom(TfrxReport* report) override;
  void LoadFromStream(QIODevice* stream, bool allowPartialLoading = false) override;
  void SaveToStream(QIODevice* stream) override;
  bool LoadFromFile(const QString& fileName, bool exceptionIfNotFound = false) override;
  void SaveToFile(const QString& fileName) override;
  bool Print() override;
  bool Export(TfrxCustomExportFilter* filter) override;

  // Anchors: a named position (page, top) the report script and link URLs ("#name") refer to.
  // The engine passes its CurY, the store keeps it rounded.
  void AddAnchor(const QString& text, double curY);
  // Page index + 1 of the last anchor of that name (letter case ignored), 1 when there is none.
  int GetAnchorPage(const QString& text);
  // The last anchor of that name; false when there is none.
  bool FindAnchor(const QString& text, int& page, int& top);

  // Outline: an added entry becomes the current one, so later entries nest under it until
  // OutlineLevelUp leaves its level.
  void OutlineAdd(const QString& text, double curY);
  void OutlineLevelUp();
  void OutlineLevelRoot();
  // Entries in the whole outline; the engine remembers it at a keep start.
  int OutlineCount();
  // Entries after the first `from` (depth first) move to the next page, their tops shifted so
  // the first of them lands at `top`; used when a keep moves its bands to a new page.
  void OutlineShiftItems(int from, int top);
  std::vector<TfrxOutlineEntry> OutlineEntries();

  // Pages kept as objects at most (the preview option, default 50).
  int PagesInCache = 50;

  // Copy number and print scale handed to memos while drawing (printing sets them).
  int CopyNo = 1;
  double PrintScale = 1.0;
  bool DrawingOnPrinter = false;

  // One line per node of the page tree, indented by depth: "name attributes". Stable text
  // for comparing prepared pages.
  QString Dump();

  // Installed by the printing layer; without it Print reports that no printer exists.
  static void SetPrintHandler(std::function<bool(TfrxPreviewPages*)> handler);

private:
  struct Private;
  std::unique_ptr<Private> d;
};
