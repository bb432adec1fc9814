#pragma once
// The difference text of a placed object: the attributes in which it differs from the template
// object it was made from, in a fixed order and with the short names prepared pages use
// ("l", "t", "w", "h", "u", ...). Reading the template's property text followed by this text
// rebuilds the placed object.
#include <QString>

class TfrxComponent;

// What a placed object is, decided once per template object: the casts it would take per
// placed object cost more than writing its attributes.
enum class TfrxDiffKind { Band, Memo, Line, Shape, Picture, View, Other };

TfrxDiffKind frxDiffKindOf(const TfrxComponent *object);

// commonOnly: only the attributes every component has ("l" to "Tag"), as the first pass of a
// double-pass run records. Writing FirstParaBreak/LastParaBreak moves the memo's LastParaBreak
// into FirstParaBreak, so the next part of a split memo starts mid-paragraph.
// object and source are of the class kind names.
QString frxDiffText(TfrxComponent *object, const TfrxComponent *source, TfrxDiffKind kind,
                    bool commonOnly);

// The attributes every component has, for objects whose other properties are written whole.
QString frxCommonDiffText(const TfrxComponent *object, const TfrxComponent *source,
                          TfrxDiffKind kind);
