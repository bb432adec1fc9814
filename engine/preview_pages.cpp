#include "engine/preview_pages.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QSaveFile>
#include <cmath>
#include <list>
#include <unordered_map>

#include "engine/bands.h"
#include "engine/diff_text.h"
#include "engine/export_filter.h"
#include "engine/page_cache.h"
#include "engine/pages.h"
#include "engine/report.h"
#include "engine/resources.h"
#include "engine/stored_values.h"
#include "engine/views.h"
#include "engine/xml_tree.h"
#include "platform/erro/Erro.h"

namespace {

// Rough cost of a node beyond its name and attribute text, counted against MaxMemSize.
constexpr int kNodeOverhead = 16;

std::function<bool(TfrxPreviewPages *)> &printHandler() {
    static std::function<bool(TfrxPreviewPages *)> handler;
    return handler;
}

bool belongsInPreparedPages(const TfrxComponent *c) {
    if (dynamic_cast<const TfrxBand *>(c)) return true;
    return dynamic_cast<const TfrxView *>(c) && !dynamic_cast<const TfrxSubreport *>(c);
}

// Bands, memos, lines, shapes and pictures are rebuilt from their full property text; other
// views start from a fresh object of their class and carry all their properties in the node.
bool hasTemplateText(TfrxDiffKind kind) {
    return kind != TfrxDiffKind::View && kind != TfrxDiffKind::Other;
}

// Attribute text as (lower-case name, value) pairs, the form ReadProperty takes.
std::vector<std::pair<QString, QString>> readableAttributes(QStringView text) {
    std::vector<std::pair<QString, QString>> attributes = frxParseAttributes(text);
    for (auto &a : attributes) a.first = a.first.toLower();
    return attributes;
}

QString aliasPrefix(const TfrxComponent *c) {
    if (dynamic_cast<const TfrxBand *>(c)) return QStringLiteral("b");
    const QString base = c->BaseName();
    return base.isEmpty() ? QStringLiteral("x") : base.left(1).toLower();
}

// Page nodes are "page" followed by the index of their source page.
bool sourceIndexOfNode(const QString &name, int &index) {
    if (name.size() < 5 || !name.startsWith(QLatin1String("page"), Qt::CaseInsensitive))
        return false;
    bool ok = false;
    index = name.mid(4).toInt(&ok);
    return ok && index >= 0;
}

QString damaged(const QString &detail) {
    return QStringLiteral("O arquivo de relatório preparado está danificado ou não é válido: %1")
        .arg(detail);
}

double propFloat(const TfrxXMLItem *item, const char *name, double fallback) {
    const QString n = QString::fromLatin1(name);
    return item->PropExists(n) ? frxStrToFloat(item->Prop(n)) : fallback;
}

}  // namespace

struct TfrxPreviewPages::Private {
    struct Source {
        TfrxComponent *clone = nullptr;  // owned by its source page
        int pageIndex = 0;
        TfrxDiffKind kind = TfrxDiffKind::Other;
        // The template text, parsed once: every placed object of the alias starts from it.
        std::vector<std::pair<QString, QString>> templateAttributes;

        static Source of(TfrxComponent *clone, int pageIndex) {
            Source s{clone, pageIndex, frxDiffKindOf(clone), {}};
            if (hasTemplateText(s.kind)) s.templateAttributes = readableAttributes(clone->PropertiesText());
            return s;
        }
    };
    struct Cached {
        int index;
        std::unique_ptr<TfrxReportPage> page;
    };

    TfrxXMLDocument doc;
    std::vector<std::unique_ptr<TfrxReportPage>> sourcePages;
    std::vector<QString> sourcePageText;
    QHash<QString, Source> dictionary;
    // Template objects of the running report, detached again by EndRun.
    std::vector<TfrxComponent *> attachedTemplates;
    std::unordered_map<const TfrxReportPage *, int> sourceIndexOf;
    QHash<QString, bool> bandClass;  // class name → is a band, for nodes without a source

    std::list<Cached> cache;
    TfrxFileCache fileCache;
    // Finished pages from the third on are held as their node text rather than as nodes: a
    // node costs several times its text, and such pages are only read back when shown.
    std::unordered_map<const TfrxXMLItem *, QByteArray> packed;

    std::vector<QImage> pictures;
    QHash<QByteArray, int> pictureIndex;

    TfrxXMLItem *outlineCurrent = nullptr;
    int firstPassPage = -1;
    int firstPassObjects = 0;
    int firstPassOutline = 0;
    qint64 textSize = 0;
    int logicalCounter = 0;
    bool running = false;

    TfrxXMLItem *root() { return doc.Root(); }
    TfrxXMLItem *pagesItem() { return root()->FindItem(QStringLiteral("previewpages")); }
    TfrxXMLItem *anchors() { return root()->FindItem(QStringLiteral("anchors")); }
    TfrxXMLItem *outline() { return root()->FindItem(QStringLiteral("outline")); }
    TfrxXMLItem *logical() { return root()->FindItem(QStringLiteral("logicalpagenumbers")); }

    Private() { reset(); }

    void reset() {
        doc.Clear();
        root()->Name = QStringLiteral("preparedreport");
        pagesItem();
        sourcePages.clear();
        sourcePageText.clear();
        dictionary.clear();
        sourceIndexOf.clear();
        cache.clear();
        fileCache.Reset();
        packed.clear();
        pictures.clear();
        pictureIndex.clear();
        outlineCurrent = nullptr;
        firstPassPage = -1;
        firstPassObjects = 0;
        firstPassOutline = 0;
        textSize = 0;
        logicalCounter = 0;
    }

    int count() const {
        const int i = doc.Root()->Find(QStringLiteral("previewpages"));
        return i < 0 ? 0 : doc.Root()->Items(i)->Count();
    }

    bool inFile(const TfrxXMLItem *node) const { return !node->Loaded && node->Offset >= 0; }

    // The node's subtree as text, wherever it is held.
    QByteArray nodeBytes(const TfrxXMLItem *node) {
        if (node->Loaded) return TfrxXMLDocument::ItemToText(*node, false).toUtf8();
        if (node->Offset >= 0) return fileCache.Read(node->Offset);
        auto it = packed.find(node);
        return it == packed.end() ? QByteArray() : it->second;
    }

    static std::unique_ptr<TfrxXMLItem> parseNode(const QByteArray &bytes) {
        TfrxXMLDocument d;
        d.LoadFromBytes(bytes);
        TfrxXMLItem *r = d.Root();
        auto copy = std::make_unique<TfrxXMLItem>(r->Name);
        copy->Text = r->Text;
        copy->Unloadable = r->Unloadable;
        while (r->Count() > 0) copy->Append(r->Take(0));
        return copy;
    }

    void load(TfrxXMLItem *node) {
        if (node->Loaded) return;
        std::unique_ptr<TfrxXMLItem> copy = parseNode(nodeBytes(node));
        while (copy->Count() > 0) node->Append(copy->Take(0));
        node->Loaded = true;
        packed.erase(node);
    }

    void pack(TfrxXMLItem *node) {
        if (!node->Loaded || !node->Unloadable) return;
        QByteArray bytes = TfrxXMLDocument::ItemToText(*node, false).toUtf8();
        // The conversion reserves room for the worst case, three bytes a character; a page kept
        // for the rest of the run must not hold on to that.
        bytes.squeeze();
        packed[node] = std::move(bytes);
        node->Clear();
        node->Loaded = false;
        node->Offset = -1;
    }

    // Nothing is freed unless the text reached the file.
    void swapOut(TfrxXMLItem *node) {
        if (inFile(node)) return;
        const qint64 offset = fileCache.Write(nodeBytes(node));
        node->Clear();
        packed.erase(node);
        node->Offset = offset;
        node->Loaded = false;
    }

    TfrxXMLItem *pageNode(int index, bool loaded = true) {
        TfrxXMLItem *node = pagesItem()->Items(index);
        if (loaded) load(node);
        return node;
    }

    // A page's nodes for reading only: the node itself when loaded, else a parsed copy.
    const TfrxXMLItem *readablePage(int index, std::unique_ptr<TfrxXMLItem> &holder) {
        TfrxXMLItem *node = pagesItem()->Items(index);
        if (node->Loaded) return node;
        holder = parseNode(nodeBytes(node));
        return holder.get();
    }

    const Source *sourceOf(const QString &alias) const {
        auto it = dictionary.constFind(alias);
        return it == dictionary.cend() ? nullptr : &it.value();
    }

    bool isBandClass(const QString &className) {
        auto it = bandClass.constFind(className);
        if (it != bandClass.cend()) return it.value();
        std::unique_ptr<TfrxComponent> probe(frxCreateComponent(className, nullptr));
        const bool band = dynamic_cast<TfrxBand *>(probe.get()) != nullptr;
        bandClass.insert(className, band);
        return band;
    }

    // Class name of the object a node stands for.
    QString classOf(const TfrxXMLItem *node) const {
        if (const Source *s = sourceOf(node->Name)) return s->clone->ClassName();
        return node->Name;
    }

    QString newAlias(const QString &prefix) {
        int n = 10000;
        while (n > 1 && !dictionary.contains(prefix + QString::number(n))) n /= 2;
        while (dictionary.contains(prefix + QString::number(n))) ++n;
        return prefix + QString::number(n);
    }

    void clearCache() { cache.clear(); }

    void dropCached(int index) {
        for (auto it = cache.begin(); it != cache.end(); ++it)
            if (it->index == index) {
                cache.erase(it);
                return;
            }
    }

    int outlineCountOf(const TfrxXMLItem *item) const {
        int n = 0;
        for (int i = 0; i < item->Count(); ++i) n += 1 + outlineCountOf(item->Items(i));
        return n;
    }

    void outlineList(TfrxXMLItem *item, std::vector<TfrxXMLItem *> &out) {
        for (int i = 0; i < item->Count(); ++i) {
            out.push_back(item->Items(i));
            outlineList(item->Items(i), out);
        }
    }
};

TfrxPreviewPages::TfrxPreviewPages(TfrxReport *report)
    : d(std::make_unique<Private>()), FReport(report) {
    if (FReport && !FReport->PreviewPages) FReport->PreviewPages = this;
}

TfrxPreviewPages::~TfrxPreviewPages() {
    for (TfrxComponent *t : d->attachedTemplates) t->Alias.clear();
    if (FReport && FReport->PreviewPages == this) FReport->PreviewPages = nullptr;
}

void TfrxPreviewPages::SetPrintHandler(std::function<bool(TfrxPreviewPages *)> handler) {
    printHandler() = std::move(handler);
}

int TfrxPreviewPages::Count() const { return d->count(); }

// ---- filling -------------------------------------------------------------------------------

void TfrxPreviewPages::Clear() {
    for (TfrxComponent *t : d->attachedTemplates) {
        t->Alias.clear();
        t->OriginalComponent = nullptr;
    }
    d->attachedTemplates.clear();
    d->reset();
    FCurPage = -1;
    AddPageAction = apAdd;
    FirstPage = 0;
}

void TfrxPreviewPages::BeginRun() {
    if (FReport) {
        d->fileCache.SetTempDir(FReport->EngineOptions.TempDir);
        PagesInCache = FReport->PreviewOptions.PagesInCache;
    }
    d->running = true;
    if (OnProgressStart) OnProgressStart(ptRunning);
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage *page) {
    TfrxXMLItem item;
    page->WriteNode(item, true);
    auto clone = std::make_unique<TfrxReportPage>();
    clone->ReadNode(item);
    const int pageIndex = static_cast<int>(d->sourcePages.size());

    // Pairs each template object with its clone by position in the tree; the stored form
    // writes and reads children in order, so the two trees have the same shape.
    std::function<void(TfrxComponent *, TfrxComponent *)> pair = [&](TfrxComponent *t,
                                                                      TfrxComponent *c) {
        const auto &to = t->Objects();
        const auto &co = c->Objects();
        size_t j = 0;
        for (TfrxComponent *tc : to) {
            if (j >= co.size()) break;
            TfrxComponent *cc = co[j];
            if (cc->ClassName() != tc->ClassName()) continue;  // a class the stored form skipped
            ++j;
            if (belongsInPreparedPages(tc)) {
                const QString alias = d->newAlias(aliasPrefix(tc));
                if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(cc)) {
                    memo->SetDataSet(nullptr);
                    memo->DataField.clear();
                }
                tc->Alias = alias;
                cc->Alias = alias;
                tc->OriginalComponent = cc;
                cc->OriginalComponent = tc;
                d->attachedTemplates.push_back(tc);
                d->dictionary.insert(alias, Private::Source::of(cc, pageIndex));
            }
            pair(tc, cc);
        }
    };
    pair(page, clone.get());
    // Templates are read back without their children, so the text excludes them.
    d->sourcePageText.push_back(clone->PropertiesText());
    d->sourceIndexOf[page] = pageIndex;
    d->sourcePages.push_back(std::move(clone));
}

void TfrxPreviewPages::BeginPass() {
    d->firstPassPage = Count() - 1;
    if (Count() > 0) {
        d->firstPassObjects = d->pageNode(d->firstPassPage)->Count();
        d->firstPassOutline = d->outlineCountOf(d->outline());
    }
    CloseNumberingSection();
}

void TfrxPreviewPages::AddPage(TfrxReportPage *page) {
    if (FReport && FReport->EngineOptions.UseFileCache &&
        d->textSize > qint64(FReport->EngineOptions.MaxMemSize) * 1048576) {
        for (int i = Count() - 2; i >= 0; --i) {
            TfrxXMLItem *node = d->pagesItem()->Items(i);
            if (d->inFile(node)) break;
            if (node->Unloadable) d->swapOut(node);
        }
        d->textSize = 0;
    }

    ++FCurPage;
    if (FCurPage < Count() && AddPageAction == apWriteOver) {
        d->pageNode(FCurPage);
        d->dropCached(FCurPage);
        return;
    }

    auto it = d->sourceIndexOf.find(page);
    TfrxXMLItem *node = d->pagesItem()->Add();
    if (it != d->sourceIndexOf.end()) {
        node->Name = QStringLiteral("page") + QString::number(it->second);
        const TfrxReportPage *source = d->sourcePages[it->second].get();
        // An endless page ends up with its own size.
        if (std::fabs(page->PaperWidth() - source->PaperWidth()) > 0.0001 ||
            std::fabs(page->PaperHeight() - source->PaperHeight()) > 0.0001) {
            node->SetProp(QStringLiteral("PaperSize"), QString::number(DMPAPER_USER));
            node->SetProp(QStringLiteral("PaperWidth"), frxFloatToStr(page->PaperWidth()));
            node->SetProp(QStringLiteral("PaperHeight"), frxFloatToStr(page->PaperHeight()));
        }
    } else {
        // A page that was never registered as a source is kept whole.
        node->Name = QStringLiteral("TfrxReportPage");
        node->Text = page->PropertiesText();
    }
    node->Unloadable = Count() >= 3;
    d->textSize += node->Name.size() + node->Text.size() + kNodeOverhead;
    if (OnProgress) OnProgress(ptRunning, Count());
    AddPageAction = apWriteOver;
    FCurPage = Count() - 1;
    if (FCurPage >= 1) d->pack(d->pagesItem()->Items(FCurPage - 1));
    NextLogicalPage();
}

void TfrxPreviewPages::AddObject(TfrxComponent *object) {
    if (FCurPage < 0 || FCurPage >= Count() || !object) return;
    const bool commonOnly = FReport && FReport->EngineOptions.DoublePass && FReport->Engine &&
                            !FReport->Engine->FinalPass;
    std::function<void(TfrxXMLItem *, TfrxComponent *)> add = [&](TfrxXMLItem *parent,
                                                                  TfrxComponent *c) {
        if (!c->Visible()) return;
        // Only what belongs in prepared pages gets an alias, so the casts are left for objects
        // made at run time.
        const Private::Source *s = c->Alias.isEmpty() ? nullptr : d->sourceOf(c->Alias);
        if (!s && !belongsInPreparedPages(c)) return;
        // A picture goes into the cache once; the node keeps only its index.
        if (!commonOnly && (s ? s->kind == TfrxDiffKind::Picture : frxDiffKindOf(c) == TfrxDiffKind::Picture))
            CachePicture(static_cast<TfrxPictureView *>(c));
        TfrxXMLItem *node = parent->Add();
        if (s) {
            node->Name = c->Alias;
            if (commonOnly)
                node->Text = frxCommonDiffText(c, s->clone, s->kind);
            else if (hasTemplateText(s->kind))
                node->Text = frxDiffText(c, s->clone, s->kind, false);
            else
                node->Text = c->PropertiesText() + frxCommonDiffText(c, s->clone, s->kind);
        } else {
            node->Name = c->ClassName();
            node->Text = c->PropertiesText();
            if (dynamic_cast<TfrxNullBand *>(c))
                node->Text += QStringLiteral(" l=\"%1\" t=\"%2\"")
                                  .arg(frxFloatToStr(c->Left()), frxFloatToStr(c->Top()));
        }
        d->textSize += node->Name.size() + node->Text.size() + kNodeOverhead;
        for (TfrxComponent *child : c->Objects()) add(node, child);
    };
    add(d->pageNode(FCurPage), object);
}

void TfrxPreviewPages::AddPicture(TfrxPictureView *picture) { CachePicture(picture); }

void TfrxPreviewPages::CachePicture(TfrxPictureView *picture) {
    if (!picture || picture->Picture.isNull()) return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture->Picture.save(&buffer, "PNG");
    const QByteArray key = QCryptographicHash::hash(png, QCryptographicHash::Sha1);
    auto it = d->pictureIndex.constFind(key);
    if (it != d->pictureIndex.cend()) {
        picture->ImageIndex = it.value();
        return;
    }
    picture->ImageIndex = static_cast<int>(d->pictures.size());
    d->pictures.push_back(picture->Picture);
    d->pictureIndex.insert(key, picture->ImageIndex);
}

void TfrxPreviewPages::DropFirstPass() {
    const int first = d->firstPassPage;
    if (first >= 0 && first < Count()) {
        TfrxXMLItem *node = d->pageNode(first);
        while (node->Count() > d->firstPassObjects) node->Delete(node->Count() - 1);
    }
    TfrxXMLItem *pages = d->pagesItem();
    while (pages->Count() > first + 1) {
        d->packed.erase(pages->Items(pages->Count() - 1));
        pages->Delete(pages->Count() - 1);
    }
    std::vector<TfrxXMLItem *> entries;
    d->outlineList(d->outline(), entries);
    for (int i = static_cast<int>(entries.size()) - 1; i >= d->firstPassOutline; --i) {
        TfrxXMLItem *e = entries[i];
        if (d->outlineCurrent == e) d->outlineCurrent = nullptr;
        e->Parent()->Delete(e->Parent()->IndexOf(e));
    }
    CloseNumberingSection();
    FCurPage = first;
    d->clearCache();
}

int TfrxPreviewPages::CutObjects(int position) {
    if (FCurPage < 0 || FCurPage >= Count()) return 0;
    TfrxXMLItem *page = d->pageNode(FCurPage);
    const int count = page->Count();
    TfrxXMLItem *cut = d->root()->FindItem(QStringLiteral("cutted"));
    while (position >= 0 && page->Count() > position) cut->Append(page->Take(position));
    return count;
}

void TfrxPreviewPages::PasteObjects(double x, double y) {
    const int at = d->root()->Find(QStringLiteral("cutted"));
    if (at < 0) return;
    TfrxXMLItem *cut = d->root()->Items(at);
    if (cut->Count() > 0 && FCurPage >= 0 && FCurPage < Count()) {
        // An absent "l" or "t" means the source's value, as everywhere else in the page text.
        auto value = [&](const TfrxXMLItem *node, const char *name, bool left) {
            const Private::Source *s = d->sourceOf(node->Name);
            const double fallback = s ? (left ? s->clone->Left() : s->clone->Top()) : 0;
            return propFloat(node, name, fallback);
        };
        const double dx = x - value(cut->Items(0), "l", true);
        const double dy = y - value(cut->Items(0), "t", false);
        TfrxXMLItem *page = d->pageNode(FCurPage);
        while (cut->Count() > 0) {
            std::unique_ptr<TfrxXMLItem> node = cut->Take(0);
            node->SetProp(QStringLiteral("l"), frxFloatToStr(value(node.get(), "l", true) + dx));
            node->SetProp(QStringLiteral("t"), frxFloatToStr(value(node.get(), "t", false) + dy));
            page->Append(std::move(node));
        }
    }
    d->root()->Delete(at);
}

void TfrxPreviewPages::EndRun() {
    d->clearCache();
    for (TfrxComponent *t : d->attachedTemplates) {
        t->Alias.clear();
        t->OriginalComponent = nullptr;
    }
    d->attachedTemplates.clear();
    d->sourceIndexOf.clear();
    d->running = false;
    if (OnProgressStop) OnProgressStop(ptRunning);
}

// ---- logical page numbers, anchors, outline -------------------------------------------------

namespace {

bool finalPassOfDoublePass(const TfrxReport *report) {
    return report && report->EngineOptions.DoublePass && report->Engine &&
           report->Engine->FinalPass;
}

}  // namespace

void TfrxPreviewPages::NextLogicalPage() {
    if (finalPassOfDoublePass(FReport)) return;
    ++d->logicalCounter;
    d->logical()->Add(QStringLiteral("page"))->SetProp(QStringLiteral("n"),
                                                       QString::number(d->logicalCounter));
}

void TfrxPreviewPages::CloseNumberingSection() {
    if (finalPassOfDoublePass(FReport)) return;
    TfrxXMLItem *logical = d->logical();
    const int from = std::min(FCurPage, logical->Count() - 1);
    for (int i = from; i >= std::max(d->firstPassPage, 0); --i) {
        TfrxXMLItem *node = logical->Items(i);
        node->SetProp(QStringLiteral("t"), QString::number(d->logicalCounter));
        if (node->Prop(QStringLiteral("n")) == QLatin1String("1")) break;
    }
    d->logicalCounter = 0;
}

int TfrxPreviewPages::LogicalPageNumber() const {
    const int i = d->doc.Root()->Find(QStringLiteral("logicalpagenumbers"));
    if (i >= 0 && FCurPage >= 0 && FCurPage < d->doc.Root()->Items(i)->Count())
        return static_cast<int>(
            frxStrToInt(d->doc.Root()->Items(i)->Items(FCurPage)->Prop(QStringLiteral("n"))));
    return FCurPage - FirstPage + 1;
}

int TfrxPreviewPages::LogicalTotalPages() const {
    const int i = d->doc.Root()->Find(QStringLiteral("logicalpagenumbers"));
    if (i >= 0 && FCurPage >= 0 && FCurPage < d->doc.Root()->Items(i)->Count())
        return static_cast<int>(
            frxStrToInt(d->doc.Root()->Items(i)->Items(FCurPage)->Prop(QStringLiteral("t"))));
    const int total = FReport && FReport->Engine ? FReport->Engine->TotalPages : 0;
    return total - FirstPage;
}

void TfrxPreviewPages::AddAnchor(const QString &text, double curY) {
    TfrxXMLItem *item = d->anchors()->Add(QStringLiteral("item"));
    item->SetProp(QStringLiteral("text"), text);
    item->SetProp(QStringLiteral("page"), QString::number(FCurPage));
    item->SetProp(QStringLiteral("top"), QString::number(nint(curY)));
}

bool TfrxPreviewPages::FindAnchor(const QString &text, int &page, int &top) {
    TfrxXMLItem *anchors = d->anchors();
    for (int i = anchors->Count() - 1; i >= 0; --i) {
        const TfrxXMLItem *item = anchors->Items(i);
        if (item->Prop(QStringLiteral("text")).compare(text, Qt::CaseInsensitive) == 0) {
            page = static_cast<int>(frxStrToInt(item->Prop(QStringLiteral("page"))));
            top = static_cast<int>(frxStrToInt(item->Prop(QStringLiteral("top"))));
            return true;
        }
    }
    return false;
}

int TfrxPreviewPages::GetAnchorPage(const QString &text) {
    int page = 0, top = 0;
    return FindAnchor(text, page, top) ? page + 1 : 1;
}

int TfrxPreviewPages::AnchorCount() { return d->anchors()->Count() - 1; }

namespace {

void shiftItems(const std::vector<TfrxXMLItem *> &items, int top) {
    if (items.empty()) return;
    const int delta = top - static_cast<int>(frxStrToInt(items.front()->Prop(QStringLiteral("top"))));
    for (TfrxXMLItem *item : items) {
        item->SetProp(QStringLiteral("page"),
                      QString::number(frxStrToInt(item->Prop(QStringLiteral("page"))) + 1));
        item->SetProp(QStringLiteral("top"),
                      QString::number(frxStrToInt(item->Prop(QStringLiteral("top"))) + delta));
    }
}

}  // namespace

void TfrxPreviewPages::ShiftAnchors(int from, int top) {
    TfrxXMLItem *anchors = d->anchors();
    std::vector<TfrxXMLItem *> items;
    for (int i = std::max(from + 1, 0); i < anchors->Count(); ++i) items.push_back(anchors->Items(i));
    shiftItems(items, top);
}

void TfrxPreviewPages::OutlineAdd(const QString &text, double curY) {
    if (!d->outlineCurrent) d->outlineCurrent = d->outline();
    TfrxXMLItem *item = d->outlineCurrent->Add(QStringLiteral("item"));
    item->SetProp(QStringLiteral("text"), text);
    item->SetProp(QStringLiteral("page"), QString::number(FCurPage));
    item->SetProp(QStringLiteral("top"), QString::number(nint(curY)));
    d->outlineCurrent = item;
}

void TfrxPreviewPages::OutlineLevelUp() {
    TfrxXMLItem *root = d->outline();
    if (d->outlineCurrent && d->outlineCurrent != root) d->outlineCurrent = d->outlineCurrent->Parent();
}

void TfrxPreviewPages::OutlineLevelRoot() { d->outlineCurrent = d->outline(); }

int TfrxPreviewPages::OutlineCount() { return d->outlineCountOf(d->outline()); }

void TfrxPreviewPages::OutlineShiftItems(int from, int top) {
    std::vector<TfrxXMLItem *> all;
    d->outlineList(d->outline(), all);
    if (from < 0) from = 0;
    if (from >= static_cast<int>(all.size())) return;
    shiftItems(std::vector<TfrxXMLItem *>(all.begin() + from, all.end()), top);
}

std::vector<TfrxOutlineEntry> TfrxPreviewPages::OutlineEntries() {
    std::function<std::vector<TfrxOutlineEntry>(const TfrxXMLItem *)> walk =
        [&](const TfrxXMLItem *item) {
            std::vector<TfrxOutlineEntry> out;
            for (int i = 0; i < item->Count(); ++i) {
                const TfrxXMLItem *c = item->Items(i);
                TfrxOutlineEntry e;
                e.Text = c->Prop(QStringLiteral("text"));
                e.Page = static_cast<int>(frxStrToInt(c->Prop(QStringLiteral("page"))));
                e.Top = static_cast<int>(frxStrToInt(c->Prop(QStringLiteral("top"))));
                e.Children = walk(c);
                out.push_back(std::move(e));
            }
            return out;
        };
    return walk(d->outline());
}

// ---- questions of the band engine ----------------------------------------------------------

bool TfrxPreviewPages::BandExists(TfrxBand *band) {
    if (!band || FCurPage < 0 || FCurPage >= Count()) return false;
    const TfrxXMLItem *page = d->pageNode(FCurPage);
    const bool byClass = dynamic_cast<TfrxPageFooter *>(band) || dynamic_cast<TfrxColumnFooter *>(band);
    for (int i = 0; i < page->Count(); ++i) {
        const TfrxXMLItem *node = page->Items(i);
        if (!band->Alias.isEmpty() && node->Name == band->Alias) return true;
        if (byClass) {
            const Private::Source *s = d->sourceOf(node->Name);
            if (s && s->clone->ClassName() == band->ClassName()) return true;
        }
    }
    return false;
}

int TfrxPreviewPages::CurrentPosition() {
    if (FCurPage < 0 || FCurPage >= Count()) return 0;
    return d->pageNode(FCurPage)->Count();
}

double TfrxPreviewPages::LastBandBottom(double x) {
    if (FCurPage < 0 || FCurPage >= Count()) return 0;
    const TfrxXMLItem *page = d->pageNode(FCurPage);
    double bottom = 0;
    for (int i = 0; i < page->Count(); ++i) {
        const TfrxXMLItem *node = page->Items(i);
        const Private::Source *s = d->sourceOf(node->Name);
        const QString cls = d->classOf(node);
        if (!d->isBandClass(cls)) continue;
        // The carrier of page-level objects spans the printable area but takes no space.
        if (cls == QLatin1String("TfrxPageFooter") || cls == QLatin1String("TfrxOverlay") ||
            cls == QLatin1String("TfrxNullBand"))
            continue;
        const TfrxComponent *src = s ? s->clone : nullptr;
        if (x != 0 && cls != QLatin1String("TfrxPageHeader") &&
            cls != QLatin1String("TfrxReportTitle")) {
            const double left = propFloat(node, "l", src ? src->Left() : propFloat(node, "Left", 0));
            if (std::fabs(left - x) > 0.001) continue;
        }
        const double top = propFloat(node, "t", src ? src->Top() : propFloat(node, "Top", 0));
        const double height =
            propFloat(node, "h", src ? src->Height() : propFloat(node, "Height", 0));
        bottom = std::max(bottom, top + height);
    }
    return bottom;
}

// ---- reading pages back ---------------------------------------------------------------------

namespace {

void applyText(TfrxComponent *c, const QString &text) {
    if (!text.isEmpty()) c->ApplyPropertiesText(text);
}

}  // namespace

TfrxReportPage *TfrxPreviewPages::GetPage(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    if (!d->running)
        for (auto it = d->cache.begin(); it != d->cache.end(); ++it)
            if (it->index == index) {
                d->cache.splice(d->cache.begin(), d->cache, it);
                return d->cache.front().page.get();
            }

    std::unique_ptr<TfrxXMLItem> holder;
    const TfrxXMLItem *node = d->readablePage(index, holder);
    auto page = std::make_unique<TfrxReportPage>();
    int sourceIndex = -1;
    if (sourceIndexOfNode(node->Name, sourceIndex) &&
        sourceIndex < static_cast<int>(d->sourcePages.size())) {
        applyText(page.get(), d->sourcePageText[sourceIndex]);
        page->SetName(d->sourcePages[sourceIndex]->Name());
        applyText(page.get(), node->Text);
    } else {
        applyText(page.get(), node->Text);
    }

    std::function<void(TfrxComponent *, const TfrxXMLItem *)> build = [&](TfrxComponent *parent,
                                                                          const TfrxXMLItem *n) {
        for (int i = 0; i < n->Count(); ++i) {
            const TfrxXMLItem *child = n->Items(i);
            TfrxComponent *object = nullptr;
            if (const Private::Source *s = d->sourceOf(child->Name)) {
                object = frxCreateComponent(s->clone->ClassName(), parent);
                if (!object) continue;
                for (const auto &[name, value] : s->templateAttributes) object->ReadProperty(name, value);
                applyText(object, child->Text);
                object->SetName(s->clone->Name());
                object->Alias = child->Name;
                object->OriginalComponent = s->clone;
            } else {
                object = frxCreateComponent(child->Name, parent);
                if (!object) continue;
                applyText(object, child->Text);
            }
            if (auto *picture = dynamic_cast<TfrxPictureView *>(object)) {
                if (picture->ImageIndex >= 0 &&
                    picture->ImageIndex < static_cast<int>(d->pictures.size()) &&
                    (picture->Picture.isNull() || child->PropExists(QStringLiteral("ImageIndex"))))
                    picture->Picture = d->pictures[picture->ImageIndex];
            }
            build(object, child);
        }
    };
    build(page.get(), node);
    page->ApplyAlignment();

    d->dropCached(index);
    d->cache.push_front({index, std::move(page)});
    while (static_cast<int>(d->cache.size()) > std::max(PagesInCache, 1)) d->cache.pop_back();
    return d->cache.front().page.get();
}

QSize TfrxPreviewPages::PageSize(int index) {
    if (index < 0 || index >= Count()) return {0, 0};
    TfrxXMLItem *node = d->pagesItem()->Items(index);
    int sourceIndex = -1;
    if (sourceIndexOfNode(node->Name, sourceIndex) &&
        sourceIndex < static_cast<int>(d->sourcePages.size())) {
        const TfrxReportPage *source = d->sourcePages[sourceIndex].get();
        // An endless page records its own paper size on its node.
        if (node->PropExists(QStringLiteral("PaperWidth")) ||
            node->PropExists(QStringLiteral("PaperHeight"))) {
            const double w = propFloat(node, "PaperWidth", source->PaperWidth());
            const double h = propFloat(node, "PaperHeight", source->PaperHeight());
            return {nint(w * fr01cm), nint(h * fr01cm)};
        }
        return {nint(source->Width()), nint(source->Height())};
    }
    TfrxReportPage *page = GetPage(index);
    return page ? QSize(nint(page->Width()), nint(page->Height())) : QSize(0, 0);
}

void TfrxPreviewPages::DrawPage(int index, QPainter *canvas, double scaleX, double scaleY,
                                double offsetX, double offsetY) {
    TfrxReportPage *page = GetPage(index);
    if (!page || !canvas) return;
    const bool printer = DrawingOnPrinter || (canvas->device() &&
                                              canvas->device()->devType() == QInternal::Printer);
    const double savedLeft = page->LeftMargin, savedRight = page->RightMargin;
    if (page->MirrorMargins && index % 2 == 1) std::swap(page->LeftMargin, page->RightMargin);

    canvas->save();
    if (!printer) {
        const QPoint from(nint(offsetX), nint(offsetY));
        const QPoint to(nint(offsetX + page->PaperWidth() * fr01cm * scaleX - 1),
                        nint(offsetY + page->PaperHeight() * fr01cm * scaleY - 1));
        canvas->setClipRect(QRect(from, to), Qt::IntersectClip);
    }

    const double left = offsetX + page->LeftMargin * fr01cm * scaleX;
    const double top = offsetY + page->TopMargin * fr01cm * scaleY;
    if (TfrxPictureView *background = page->BackPictureView()) {
        background->SetBounds(0, 0, page->PrintableWidth(), page->PrintableHeight());
        if (!printer || page->BackPicturePrintable) background->Draw(canvas, scaleX, scaleY, left, top);
    }

    QRectF visible;
    if (canvas->device()) {
        visible = QRectF(0, 0, canvas->device()->width(), canvas->device()->height());
        visible = canvas->deviceTransform().inverted().mapRect(visible);
    }
    if (canvas->hasClipping()) visible = visible.intersected(canvas->clipBoundingRect());

    const int pageCount = Count();
    for (TfrxComponent *c : page->AllObjects()) {
        auto *view = dynamic_cast<TfrxView *>(c);
        if (!view) continue;
        if (printer && !view->Printable) continue;
        const QRectF rect(left + view->AbsLeft() * scaleX - 20, top + view->AbsTop() * scaleY - 20,
                          view->Width() * scaleX + 40, view->Height() * scaleY + 40);
        if (!visible.isEmpty() && !visible.intersects(rect)) continue;
        view->IsPrinting = printer;
        if (auto *memo = dynamic_cast<TfrxCustomMemoView *>(view)) {
            // The markers are applied to the drawn text only; the cached page keeps them, so
            // every copy and every later count is drawn right.
            const QStringList text = memo->Memo;
            memo->TotalPages = pageCount;
            memo->CopyNo = CopyNo;
            memo->PrintScale = PrintScale;
            memo->ApplyDeferredMacros();
            memo->Draw(canvas, scaleX, scaleY, left, top);
            memo->Memo = text;
        } else {
            view->Draw(canvas, scaleX, scaleY, left, top);
        }
    }
    canvas->restore();
    page->LeftMargin = savedLeft;
    page->RightMargin = savedRight;
}

TfrxComponent *TfrxPreviewPages::ObjectAt(int index, double x, double y) {
    TfrxReportPage *page = GetPage(index);
    if (!page) return nullptr;
    const double left = page->LeftMargin * fr01cm, top = page->TopMargin * fr01cm;
    const std::vector<TfrxComponent *> all = page->AllObjects();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        auto *view = dynamic_cast<TfrxView *>(*it);
        if (!view) continue;
        const double l = left + view->AbsLeft(), t = top + view->AbsTop();
        if (x >= l && x <= l + view->Width() && y >= t && y <= t + view->Height()) return view;
    }
    return nullptr;
}

// ---- editing ---------------------------------------------------------------------------------

void TfrxPreviewPages::InsertEmptyPage(int index) {
    if (index < 0 || index >= Count()) return;
    TfrxXMLItem *pages = d->pagesItem();
    auto node = std::make_unique<TfrxXMLItem>(pages->Items(index)->Name);
    node->Text = pages->Items(index)->Text;
    pages->Insert(index, std::move(node));
    for (int i = 0; i < pages->Count(); ++i) pages->Items(i)->Unloadable = i >= 2;
    TfrxXMLItem *logical = d->logical();
    if (index <= logical->Count()) {
        auto n = std::make_unique<TfrxXMLItem>(QStringLiteral("page"));
        n->SetProp(QStringLiteral("n"), QString::number(index + 1));
        logical->Insert(index, std::move(n));
    }
    d->clearCache();
}

void TfrxPreviewPages::DeletePage(int index) {
    if (Count() < 2 || index < 0 || index >= Count()) return;
    TfrxXMLItem *pages = d->pagesItem();
    d->packed.erase(pages->Items(index));
    pages->Delete(index);
    TfrxXMLItem *logical = d->logical();
    if (index < logical->Count()) logical->Delete(index);
    if (FCurPage >= Count()) FCurPage = Count() - 1;
    d->clearCache();
}

void TfrxPreviewPages::ReplacePage(int index, TfrxReportPage *page) {
    if (!page || index < 0 || index >= Count()) return;
    TfrxXMLItem *node = d->pagesItem()->Items(index);
    d->packed.erase(node);
    node->Clear();
    node->Loaded = true;
    node->Offset = -1;
    // Stored whole: the page no longer needs its source page to be read back.
    page->WriteNode(*node, true);
    node->Name = QStringLiteral("TfrxReportPage");
    d->clearCache();
}

void TfrxPreviewPages::AddFrom(TfrxReport *report) {
    auto *other = report ? dynamic_cast<TfrxPreviewPages *>(report->PreviewPages) : nullptr;
    if (!other || other == this) return;
    for (int i = 0; i < other->Count(); ++i) {
        TfrxReportPage *page = other->GetPage(i);
        if (!page) continue;
        TfrxXMLItem *node = d->pagesItem()->Add();
        page->WriteNode(*node, true);
        node->Name = QStringLiteral("TfrxReportPage");
        node->Unloadable = Count() >= 3;
        d->logical()->Add(QStringLiteral("page"))->SetProp(QStringLiteral("n"),
                                                           QString::number(Count()));
    }
    d->clearCache();
}

// ---- the prepared-report file ----------------------------------------------------------------

void TfrxPreviewPages::SaveToStream(QIODevice *stream) {
    auto write = [&](const QByteArray &bytes) {
        if (stream->write(bytes) != bytes.size())
            throw Erro(QStringLiteral("Não foi possível gravar o relatório preparado: %1")
                           .arg(stream->errorString()));
    };
    auto text = [&](const TfrxXMLItem &item) {
        write(TfrxXMLDocument::ItemToText(item, false).toUtf8());
    };

    write(QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport>"));

    TfrxXMLItem settings(FReport ? FReport->ClassName() : QStringLiteral("TfrxReport"));
    if (FReport) {
        settings.SetProp(QStringLiteral("DotMatrixReport"), FReport->DotMatrixReport ? "1" : "0");
        settings.SetProp(QStringLiteral("PreviewOptions.OutlineVisible"),
                         FReport->PreviewOptions.OutlineVisible ? "1" : "0");
        settings.SetProp(QStringLiteral("PreviewOptions.OutlineWidth"),
                         QString::number(FReport->PreviewOptions.OutlineWidth));
        settings.SetProp(QStringLiteral("ReportOptions.Name"), FReport->ReportOptions.Name);
    }
    text(settings);

    TfrxXMLItem *root = d->root();
    for (int i = 0; i < root->Count(); ++i) {
        const TfrxXMLItem *child = root->Items(i);
        if (child->Name == QLatin1String("cutted")) continue;
        if (child->Name != QLatin1String("previewpages")) {
            text(*child);
            continue;
        }
        // Pages are written one by one, so swapped-out pages come straight from their text.
        write(QByteArrayLiteral("<previewpages>"));
        for (int p = 0; p < child->Count(); ++p) write(d->nodeBytes(child->Items(p)));
        write(QByteArrayLiteral("</previewpages>"));
    }

    TfrxXMLItem sources(QStringLiteral("sourcepages"));
    for (const auto &page : d->sourcePages) page->WriteNode(*sources.Add(), true);
    text(sources);

    TfrxXMLItem dictionary(QStringLiteral("dictionary"));
    std::vector<QString> aliases(d->dictionary.keyBegin(), d->dictionary.keyEnd());
    std::sort(aliases.begin(), aliases.end(), [](const QString &a, const QString &b) {
        if (a.left(1) != b.left(1)) return a < b;
        return a.mid(1).toInt() < b.mid(1).toInt();
    });
    for (const QString &alias : aliases) {
        const Private::Source &s = d->dictionary[alias];
        dictionary.Add(alias)->SetProp(
            QStringLiteral("name"),
            QStringLiteral("Page%1.%2").arg(s.pageIndex).arg(s.clone->Name()));
    }
    text(dictionary);

    TfrxXMLItem pictures(QStringLiteral("picturecache"));
    for (const QImage &image : d->pictures) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pictures.Add(QStringLiteral("item"))
            ->SetProp(QStringLiteral("data"), QString::fromLatin1(png.toBase64()));
    }
    text(pictures);
    write(QByteArrayLiteral("</preparedreport>"));
}

void TfrxPreviewPages::LoadFromStream(QIODevice *stream, bool allowPartialLoading) {
    const QByteArray bytes = stream->readAll();
    int start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) start = 3;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes[start]))) ++start;
    // Anything but text is taken for a compressed stream, which this program cannot read.
    if (start >= bytes.size() || bytes[start] != '<')
        throw Erro(frxGet(QStringLiteral("clDecompressError")));

    // Everything is read into a fresh store first; this one changes only when all went well.
    auto fresh = std::make_unique<Private>();
    try {
        fresh->doc.LoadFromBytes(bytes);
    } catch (const Erro &e) {
        throw Erro(damaged(e.mensagem()));
    }
    TfrxXMLItem *root = fresh->root();
    if (root->Name.compare(QLatin1String("preparedreport"), Qt::CaseInsensitive) != 0)
        throw Erro(damaged(QStringLiteral("falta o elemento \"preparedreport\"")));

    auto take = [&](const char *name) -> std::unique_ptr<TfrxXMLItem> {
        const int i = root->Find(QString::fromLatin1(name));
        return i < 0 ? nullptr : root->Take(i);
    };
    std::unique_ptr<TfrxXMLItem> settings = take("report");
    if (!settings && FReport) {
        const int i = root->Find(FReport->ClassName());
        if (i >= 0) settings = root->Take(i);
    }
    std::unique_ptr<TfrxXMLItem> sources = take("sourcepages");
    std::unique_ptr<TfrxXMLItem> dictionary = take("dictionary");
    std::unique_ptr<TfrxXMLItem> pictures = take("picturecache");
    take("cutted");

    if (sources) {
        for (int i = 0; i < sources->Count(); ++i) {
            const TfrxXMLItem *item = sources->Items(i);
            auto page = std::make_unique<TfrxReportPage>();
            try {
                page->ReadNode(*item);
            } catch (const Erro &e) {
                throw Erro(damaged(e.mensagem()));
            }
            TfrxXMLItem bare;
            page->WriteNode(bare, false);
            fresh->sourcePageText.push_back(bare.Text);
            fresh->sourcePages.push_back(std::move(page));
        }
    }
    if (dictionary) {
        for (int i = 0; i < dictionary->Count(); ++i) {
            const TfrxXMLItem *item = dictionary->Items(i);
            const QString name = item->Prop(QStringLiteral("name"));
            const qsizetype dot = name.indexOf(u'.');
            bool ok = false;
            const int pageIndex = name.startsWith(QLatin1String("Page"), Qt::CaseInsensitive) && dot > 4
                                      ? name.mid(4, dot - 4).toInt(&ok)
                                      : -1;
            if (!ok || pageIndex < 0 || pageIndex >= static_cast<int>(fresh->sourcePages.size()))
                throw Erro(damaged(QStringLiteral("o apelido \"%1\" aponta para \"%2\"")
                                       .arg(item->Name, name)));
            TfrxComponent *clone = fresh->sourcePages[pageIndex]->FindObject(name.mid(dot + 1));
            if (!clone)
                throw Erro(damaged(QStringLiteral("o objeto \"%1\" não existe nas páginas de origem")
                                       .arg(name.mid(dot + 1))));
            clone->Alias = item->Name;
            fresh->dictionary.insert(item->Name, Private::Source::of(clone, pageIndex));
        }
    }
    const int pagesAt = root->Find(QStringLiteral("previewpages"));
    TfrxXMLItem *pages = pagesAt < 0 ? fresh->pagesItem() : root->Items(pagesAt);
    for (int i = 0; i < pages->Count(); ++i) {
        const QString &name = pages->Items(i)->Name;
        int sourceIndex = -1;
        const bool whole = name.compare(QLatin1String("TfrxReportPage"), Qt::CaseInsensitive) == 0;
        if (!whole && (!sourceIndexOfNode(name, sourceIndex) ||
                       sourceIndex >= static_cast<int>(fresh->sourcePages.size())))
            throw Erro(damaged(QStringLiteral("a página %1 (\"%2\") não tem página de origem")
                                   .arg(i + 1)
                                   .arg(name)));
    }
    if (pictures) {
        for (int i = 0; i < pictures->Count(); ++i) {
            QImage image;
            image.loadFromData(
                QByteArray::fromBase64(pictures->Items(i)->Prop(QStringLiteral("data")).toLatin1()),
                "PNG");
            fresh->pictures.push_back(image);
        }
    }
    if (allowPartialLoading)
        for (int i = 0; i < pages->Count(); ++i) fresh->pack(pages->Items(i));

    // From here on nothing can fail.
    Clear();
    d = std::move(fresh);
    FCurPage = Count() - 1;
    if (FReport) {
        PagesInCache = FReport->PreviewOptions.PagesInCache;
        d->fileCache.SetTempDir(FReport->EngineOptions.TempDir);
        if (settings) {
            FReport->DotMatrixReport = frxStrToBool(settings->Prop(QStringLiteral("DotMatrixReport")));
            if (settings->PropExists(QStringLiteral("PreviewOptions.OutlineVisible")))
                FReport->PreviewOptions.OutlineVisible =
                    frxStrToBool(settings->Prop(QStringLiteral("PreviewOptions.OutlineVisible")));
            if (settings->PropExists(QStringLiteral("PreviewOptions.OutlineWidth")))
                FReport->PreviewOptions.OutlineWidth = static_cast<int>(
                    frxStrToInt(settings->Prop(QStringLiteral("PreviewOptions.OutlineWidth"))));
            FReport->ReportOptions.Name = settings->Prop(QStringLiteral("ReportOptions.Name"));
        }
    }
}

bool TfrxPreviewPages::LoadFromFile(const QString &fileName, bool exceptionIfNotFound) {
    QFile file(fileName);
    if (!QFileInfo::exists(fileName)) {
        if (exceptionIfNotFound)
            throw Erro(QStringLiteral("Arquivo não encontrado: %1").arg(fileName));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir o arquivo %1: %2")
                       .arg(fileName, file.errorString()));
    LoadFromStream(&file, true);
    return true;
}

void TfrxPreviewPages::SaveToFile(const QString &fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Erro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                       .arg(fileName, file.errorString()));
    SaveToStream(&file);
    if (!file.commit())
        throw Erro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                       .arg(fileName, file.errorString()));
}

// ---- output ----------------------------------------------------------------------------------

bool TfrxPreviewPages::Print() {
    // Printers are known to the printing layer only, which installs the handler; without it
    // there is no printer to print on.
    if (printHandler()) return printHandler()(this);
    throw Erro(frxGet(QStringLiteral("clNoPrinters")));
}

bool TfrxPreviewPages::Export(TfrxCustomExportFilter *filter) { return frxExportPages(this, filter); }

void TfrxPreviewPages::ClearPageCache() { d->clearCache(); }

QString TfrxPreviewPages::Dump() {
    QString out;
    std::function<void(const TfrxXMLItem *, int)> dump = [&](const TfrxXMLItem *item, int level) {
        out += QString(level * 2, u' ') + item->Name + item->Text + u'\n';
        for (int i = 0; i < item->Count(); ++i) dump(item->Items(i), level + 1);
    };
    for (int i = 0; i < Count(); ++i) {
        std::unique_ptr<TfrxXMLItem> holder;
        dump(d->readablePage(i, holder), 0);
    }
    return out;
}
