#pragma once
// The engine's node tree: stored reports and prepared pages are trees of named nodes whose
// attributes are kept as one text (' a="1" b="x"'), read and written by name without regard to
// case. Values inside the text are escaped (frxStrToXML) so that a double quote never appears
// inside one.
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class QIODevice;

// Escapes '"', '&', '<', '>', CR and LF as "&#<code>;".
QString frxStrToXML(QStringView s);
// The same, appended to out: prepared pages escape every placed object's values, and building
// a string per value was a good part of their cost.
void frxAppendXML(QString &out, QStringView s);
// Decodes "&#<digits>;" and "&quot;", "&amp;", "&lt;", "&gt;"; any other '&' stays.
QString frxXMLToStr(QStringView s);

class TfrxXMLItem {
public:
    TfrxXMLItem() = default;
    explicit TfrxXMLItem(QString name) : Name(std::move(name)) {}
    TfrxXMLItem(const TfrxXMLItem &) = delete;
    TfrxXMLItem &operator=(const TfrxXMLItem &) = delete;

    QString Name;
    QString Text;   // the attributes, escaped: ' name="value"' each
    QString Value;  // text content between the tags (rarely used)
    bool Loaded = true;
    bool Unloadable = false;
    qint64 Offset = -1;  // position of the swapped-out text in the cache file

    TfrxXMLItem *Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TfrxXMLItem *Items(int i) const { return FItems[i].get(); }
    TfrxXMLItem *Add(const QString &name = {});
    void Insert(int index, std::unique_ptr<TfrxXMLItem> item);
    void Append(std::unique_ptr<TfrxXMLItem> item) { Insert(Count(), std::move(item)); }
    std::unique_ptr<TfrxXMLItem> Take(int index);
    void Delete(int index) { Take(index); }
    void Clear();  // children only
    int IndexOf(const TfrxXMLItem *item) const;
    // Index of the first child of that name (any case), -1 when absent.
    int Find(const QString &name) const;
    // The first child of that name; created when absent.
    TfrxXMLItem *FindItem(const QString &name);

    // Unescaped value of the attribute (any case); empty when absent.
    QString Prop(const QString &name) const;
    bool PropExists(const QString &name) const;
    // Replaces the attribute's value, or appends the attribute.
    void SetProp(const QString &name, const QString &value);
    void DeleteProp(const QString &name);

    // Every attribute in order, unescaped.
    std::vector<std::pair<QString, QString>> Attributes() const;

private:
    // Position of the attribute's value (after the opening quote) and its end (the closing
    // quote), or -1.
    bool LocateProp(const QString &name, int &nameStart, int &valueStart, int &valueEnd) const;

    TfrxXMLItem *FParent = nullptr;
    std::vector<std::unique_ptr<TfrxXMLItem>> FItems;
};

// Splits an attribute text into (name, unescaped value) pairs, in order.
std::vector<std::pair<QString, QString>> frxParseAttributes(QStringView text);

class TfrxXMLDocument {
public:
    TfrxXMLDocument() : FRoot(std::make_unique<TfrxXMLItem>()) {}
    TfrxXMLItem *Root() const { return FRoot.get(); }
    bool AutoIndent = false;

    void Clear();
    QByteArray SaveToBytes() const;
    void SaveToStream(QIODevice *stream) const;
    // Fails with an Erro naming the position when the text is not a node tree.
    void LoadFromBytes(const QByteArray &bytes);
    void LoadFromStream(QIODevice *stream);

    // One node and its children as text, without the XML declaration.
    static QString ItemToText(const TfrxXMLItem &item, bool indent, int level = 0);

private:
    std::unique_ptr<TfrxXMLItem> FRoot;
};
