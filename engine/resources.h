#pragma once
// The engine's user-facing texts, looked up by key in one table loaded from the XML resource
// ":/engine/resources.xml" at first use. An unknown key yields the key itself; a text that
// begins with "!" is given without it.
#include <QString>

class TfrxResources {
public:
    static TfrxResources &Instance();
    QString Get(const QString &key) const;
    // Replaces the table with the "Resources"/"StrRes" XML text (UTF-8, entities decoded twice).
    void LoadFromXml(const QByteArray &xml);
    int Count() const;

private:
    TfrxResources();
    struct Table;
    Table *FTable;
};

inline QString frxGet(const QString &key) { return TfrxResources::Instance().Get(key); }
