#pragma once
// The base of every report object: the tree (parent, children in output order), bounds in
// 96-dpi pixels, the font with its inheritance, visibility, names unique within a report, and
// the stored form (attributes written and read by name).
#include "engine/font.h"
#include "engine/units.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

class QIODevice;
class QPainter;
class TfrxReport;
class TfrxPage;
class TfrxXMLItem;

// Collects a component's stored properties as (name, value text) pairs, in the order in which
// they are read back. Values are already in their stored encoding (see stored_form.cpp).
class TfrxPropWriter {
public:
    void Str(const char *name, const QString &value);
    void Float(const char *name, double value);
    void Int(const char *name, qint64 value);
    void Bool(const char *name, bool value);
    void Color(const char *name, TColor value);
    template <class E>
    void Enum(const char *name, E value) { Int(name, static_cast<int>(value)); }

    struct Item {
        QString Name, Value;
        bool Forced;  // written even when equal to a fresh object's value
    };
    std::vector<Item> Items;
    // Properties whose reading changes others (paper, orientation, font, frame sides) are
    // written whatever their value, so that reading them back in order rebuilds the same object.
    bool Force = false;
};

class TfrxComponent {
public:
    explicit TfrxComponent(TfrxComponent *AParent = nullptr);
    virtual ~TfrxComponent();
    TfrxComponent(const TfrxComponent &) = delete;
    TfrxComponent &operator=(const TfrxComponent &) = delete;

    virtual QString ClassName() const { return QStringLiteral("TfrxComponent"); }
    // Cheap kind tests for walks up the tree, which run for every memo of every row.
    virtual bool IsReport() const { return false; }
    virtual bool IsPage() const { return false; }
    // The class name without "Tfrx" and "View": "Memo" for TfrxMemoView.
    QString BaseName() const;

    const QString &Name() const { return FName; }
    // Fails with "prDupl" when another object of the same report has the name (any case).
    virtual void SetName(const QString &value);
    // Base name plus the smallest number not used by any object of the report.
    void CreateUniqueName();

    TfrxComponent *Parent() const { return FParent; }
    void SetParent(TfrxComponent *value) { MoveToParent(value); }
    // Moves to the end of the new parent's Objects and re-applies ParentFont. The new parent
    // owns the component; with none, the caller takes ownership.
    virtual void MoveToParent(TfrxComponent *NewParent);
    const std::vector<TfrxComponent *> &Objects() const { return FObjects; }
    // Every descendant, depth first, parent before its children.
    std::vector<TfrxComponent *> AllObjects() const;
    virtual const std::vector<TfrxComponent *> &ChildList() const { return FObjects; }
    TfrxReport *Report() const;
    TfrxPage *Page() const;
    // Searches this component's descendants; names compared without regard to case.
    TfrxComponent *FindObject(const QString &AName) const;

    double Left() const { return FLeft; }
    double Top() const { return FTop; }
    double Width() const { return FWidth; }
    double Height() const { return FHeight; }
    virtual void SetLeft(double value) { FLeft = value; }
    virtual void SetTop(double value) { FTop = value; }
    virtual void SetWidth(double value) { FWidth = value; }
    virtual void SetHeight(double value) { FHeight = value; }
    void SetBounds(double ALeft, double ATop, double AWidth, double AHeight);
    // Left/Top plus the parents' up to the root; a dialog page parent adds nothing.
    double AbsLeft() const;
    double AbsTop() const;

    const TfrxFont &Font() const { return FFont; }
    // Copies the font and clears ParentFont; children that inherit take the new font.
    virtual void SetFont(const TfrxFont &value);
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value) { FVisible = value; }

    virtual QString DescriptionText() const;
    // Packs aligned views among this component's children (a page before a run, carrier bands).
    virtual void ApplyAlignment();
    // Frees the children not inherited from an ancestor report.
    virtual void Clear();

    // Stored form: the component and (optionally) its children as a node tree.
    virtual void SaveToStream(QIODevice *Stream, bool SaveChildren = true) const;
    virtual void LoadFromStream(QIODevice *Stream);
    virtual void WriteNode(TfrxXMLItem &Item, bool SaveChildren = true) const;
    virtual void ReadNode(const TfrxXMLItem &Item);

    // Properties in stored order. ReadProperty receives the name in lower case and returns
    // False for a name it does not know.
    virtual void WriteProperties(TfrxPropWriter &w) const;
    virtual bool ReadProperty(const QString &name, const QString &value);
    // The properties that differ from a fresh object of the same class, as an attribute text
    // (' Name="Memo1" Left="10"').
    QString PropertiesText() const;
    // Applies an attribute text in order; later attributes override earlier ones, so a template
    // text followed by a difference text rebuilds a placed object.
    void ApplyPropertiesText(QStringView text);

    // Prepared pages: the object a placed copy was made from, and its alias there.
    TfrxComponent *OriginalComponent = nullptr;
    QString Alias;
    bool IsAncestor = false;  // introduced by an ancestor report: cannot be renamed or cleared
    bool IsDesigning = false;
    int Tag = 0;

protected:
    // Font propagation without clearing the children's ParentFont.
    void InheritFont(const TfrxFont &value);
    virtual void FontChanged();
    void AddChild(TfrxComponent *child);
    void RemoveChild(TfrxComponent *child);

    TfrxFont FFont;

private:
    QString FName;
    TfrxComponent *FParent = nullptr;
    std::vector<TfrxComponent *> FObjects;  // owned
    double FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FParentFont = true;
    bool FVisible = true;
};

// A fresh component of the named class (any case) under the parent, or null for an unknown class.
TfrxComponent *frxCreateComponent(const QString &className, TfrxComponent *AParent);

struct TfrxRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TfrxReportComponent : public TfrxComponent {
public:
    using TfrxComponent::TfrxComponent;
    QString ClassName() const override { return QStringLiteral("TfrxReportComponent"); }

    virtual void Draw(QPainter *Canvas, double ScaleX, double ScaleY, double OffsetX, double OffsetY) = 0;
    virtual void SaveBounds();
    virtual void EvaluateData() {}
    virtual void RestoreBounds();
    virtual QString ComponentText() const { return {}; }
    virtual TfrxRect AbsoluteRect() const;

    // Objects below this one that move when it grows, and how much it grew (band engine).
    std::vector<TfrxReportComponent *> ShiftChildren;
    double ShiftAmount = 0;
    bool ShiftChildrenComputed = false;

protected:
    double FSavedLeft = 0, FSavedTop = 0, FSavedWidth = 0, FSavedHeight = 0;
};

class TfrxDialogComponent : public TfrxReportComponent {
public:
    using TfrxReportComponent::TfrxReportComponent;
    QString ClassName() const override { return QStringLiteral("TfrxDialogComponent"); }
    void Draw(QPainter *, double, double, double, double) override {}
};
