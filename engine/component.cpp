#include "engine/component.h"

#include "engine/pages.h"
#include "engine/report.h"
#include "engine/resources.h"
#include "engine/views.h"
#include "platform/erro/Erro.h"

#include <algorithm>

TfrxComponent::TfrxComponent(TfrxComponent *AParent) {
    if (AParent) {
        AParent->AddChild(this);
        FFont = AParent->FFont;
    }
}

TfrxComponent::~TfrxComponent() {
    // Children first, last to first, so that each one leaves a consistent parent behind.
    while (!FObjects.empty()) delete FObjects.back();
    if (FParent) FParent->RemoveChild(this);
}

void TfrxComponent::AddChild(TfrxComponent *child) {
    FObjects.push_back(child);
    child->FParent = this;
}

void TfrxComponent::RemoveChild(TfrxComponent *child) {
    auto it = std::find(FObjects.begin(), FObjects.end(), child);
    if (it != FObjects.end()) FObjects.erase(it);
    child->FParent = nullptr;
}

QString TfrxComponent::BaseName() const {
    QString s = ClassName();
    if (s.startsWith(QLatin1String("Tfrx"))) s.remove(0, 4);
    s.remove(QLatin1String("View"));
    return s;
}

void TfrxComponent::SetName(const QString &value) {
    if (value.compare(FName, Qt::CaseSensitive) == 0) return;
    if (IsAncestor)
        throw Erro(QStringLiteral("Could not rename ") + FName +
                   QStringLiteral(", it was introduced in the ancestor report"));
    if (!value.isEmpty()) {
        const TfrxComponent *root = Report();
        if (root) {
            if (root != this && root->Name().compare(value, Qt::CaseInsensitive) == 0)
                throw Erro(frxGet(QStringLiteral("prDupl")));
            for (TfrxComponent *c : root->AllObjects())
                if (c != this && c->Name().compare(value, Qt::CaseInsensitive) == 0)
                    throw Erro(frxGet(QStringLiteral("prDupl")));
        }
    }
    FName = value;
}

void TfrxComponent::CreateUniqueName() {
    const TfrxComponent *root = Report();
    if (!root) root = this;
    const QString base = BaseName();
    std::vector<int> used;
    auto collect = [&](const TfrxComponent *c) {
        const QString &n = c->Name();
        if (n.size() > base.size() && n.startsWith(base, Qt::CaseInsensitive)) {
            bool ok = false;
            int k = n.mid(base.size()).toInt(&ok);
            if (ok && k > 0) used.push_back(k);
        }
    };
    collect(root);
    for (TfrxComponent *c : root->AllObjects()) collect(c);
    std::sort(used.begin(), used.end());
    int k = 1;
    for (int u : used) {
        if (u == k) ++k;
        else if (u > k) break;
    }
    SetName(base + QString::number(k));
}

void TfrxComponent::MoveToParent(TfrxComponent *NewParent) {
    if (NewParent == FParent) return;
    if (FParent) FParent->RemoveChild(this);
    if (NewParent) NewParent->AddChild(this);
    if (FParentFont) SetParentFont(true);
}

std::vector<TfrxComponent *> TfrxComponent::AllObjects() const {
    std::vector<TfrxComponent *> out;
    std::vector<const TfrxComponent *> stack;
    // Explicit stack, children pushed in reverse, keeps the depth-first, parent-first order.
    for (auto it = FObjects.rbegin(); it != FObjects.rend(); ++it) stack.push_back(*it);
    while (!stack.empty()) {
        auto *c = const_cast<TfrxComponent *>(stack.back());
        stack.pop_back();
        out.push_back(c);
        for (auto it = c->FObjects.rbegin(); it != c->FObjects.rend(); ++it) stack.push_back(*it);
    }
    return out;
}

TfrxReport *TfrxComponent::Report() const {
    for (const TfrxComponent *c = this; c; c = c->FParent)
        if (c->IsReport()) return static_cast<TfrxReport *>(const_cast<TfrxComponent *>(c));
    return nullptr;
}

TfrxPage *TfrxComponent::Page() const {
    for (const TfrxComponent *c = this; c; c = c->FParent)
        if (c->IsPage()) return static_cast<TfrxPage *>(const_cast<TfrxComponent *>(c));
    return nullptr;
}

TfrxComponent *TfrxComponent::FindObject(const QString &AName) const {
    for (TfrxComponent *c : AllObjects())
        if (c->Name().compare(AName, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

void TfrxComponent::SetBounds(double ALeft, double ATop, double AWidth, double AHeight) {
    SetLeft(ALeft);
    SetTop(ATop);
    SetWidth(AWidth);
    SetHeight(AHeight);
}

double TfrxComponent::AbsLeft() const {
    double v = FLeft;
    for (const TfrxComponent *p = FParent; p; p = p->FParent)
        if (!dynamic_cast<const TfrxDialogPage *>(p)) v += p->FLeft;
    return v;
}

double TfrxComponent::AbsTop() const {
    double v = FTop;
    for (const TfrxComponent *p = FParent; p; p = p->FParent)
        if (!dynamic_cast<const TfrxDialogPage *>(p)) v += p->FTop;
    return v;
}

void TfrxComponent::SetFont(const TfrxFont &value) {
    FFont = value;
    FParentFont = false;
    FontChanged();
}

void TfrxComponent::SetParentFont(bool value) {
    if (value && FParent) InheritFont(FParent->FFont);
    FParentFont = value;
}

void TfrxComponent::InheritFont(const TfrxFont &value) {
    FFont = value;
    for (TfrxComponent *c : FObjects)
        if (c->FParentFont) c->InheritFont(value);
}

void TfrxComponent::FontChanged() {
    for (TfrxComponent *c : FObjects)
        if (c->FParentFont) c->InheritFont(FFont);
}

QString TfrxComponent::DescriptionText() const {
    return frxGet(QStringLiteral("ob") + BaseName());
}

void TfrxComponent::Clear() {
    std::vector<TfrxComponent *> doomed;
    for (TfrxComponent *c : FObjects)
        if (!c->IsAncestor) doomed.push_back(c);
    for (TfrxComponent *c : doomed) delete c;
}

void TfrxComponent::ApplyAlignment() {
    std::vector<TfrxView *> views;
    for (TfrxComponent *c : FObjects)
        if (auto *v = dynamic_cast<TfrxView *>(c)) views.push_back(v);
    if (views.empty()) return;
    std::stable_sort(views.begin(), views.end(),
                     [](const TfrxView *a, const TfrxView *b) { return a->Left() < b->Left(); });
    double left = 0;
    for (TfrxView *v : views)
        if (v->Align == baLeft || v->Align == baWidth) {
            v->SetLeft(left);
            left += v->Width();
        }
    double right = Width();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        TfrxView *v = *it;
        if (v->Align == baRight || v->Align == baWidth) {
            if (v->Align == baWidth) {
                v->SetWidth(right - v->Left());
            } else {
                v->SetLeft(right - v->Width());
            }
            right = v->Left();
        }
    }
    for (TfrxView *v : views) {
        switch (v->Align) {
        case baCenter: v->SetLeft((Width() - v->Width()) / 2); break;
        case baBottom: v->SetTop(Height() - v->Height()); break;
        case baClient: v->SetBounds(0, 0, Width(), Height()); break;
        default: break;
        }
    }
}

void TfrxReportComponent::SaveBounds() {
    FSavedLeft = Left();
    FSavedTop = Top();
    FSavedWidth = Width();
    FSavedHeight = Height();
}

void TfrxReportComponent::RestoreBounds() {
    SetBounds(FSavedLeft, FSavedTop, FSavedWidth, FSavedHeight);
}

TfrxRect TfrxReportComponent::AbsoluteRect() const {
    return {AbsLeft(), AbsTop(), AbsLeft() + Width(), AbsTop() + Height()};
}
