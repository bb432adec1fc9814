#pragma once
// A cursor over rows held in memory, for the engine's tests: the same contract the database
// layer implements, with counters that show what the report dataset asked of it.
#include "engine/cursor.h"

#include <vector>

class MemoryCursor : public TfrxCursor {
public:
    struct Field {
        QString name;
        TfrxCursorFieldKind kind = cfkString;
        int width = 10;
    };
    std::vector<Field> fields;
    std::vector<std::vector<QVariant>> rows;  // a null QVariant is SQL NULL
    int opens = 0, closes = 0;

    bool Active() const override { return active; }
    void Open() override {
        if (active) return;
        active = true;
        pos = 0;
        ++opens;
        NotifyAfterOpen();
    }
    void Close() override {
        if (!active) return;
        NotifyBeforeClose();
        active = false;
        ++closes;
    }
    void First() override { pos = 0; }
    void Next() override {
        if (pos < static_cast<int>(rows.size())) ++pos;
    }
    void Prior() override {
        if (pos > 0) --pos;
    }
    bool Eof() const override { return pos >= static_cast<int>(rows.size()); }
    int RecordCount() override { return static_cast<int>(rows.size()); }
    Bookmark GetBookmark() const override { return pos; }
    void GotoBookmark(Bookmark b) override { pos = static_cast<int>(b); }
    QStringList FieldNames() const override {
        QStringList n;
        for (const Field &f : fields) n << f.name;
        return n;
    }
    int FieldIndex(const QString &name) const override {
        for (int i = 0; i < static_cast<int>(fields.size()); ++i)
            if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    TfrxCursorFieldKind FieldKind(int f) const override { return fields[f].kind; }
    bool IsNull(int f) const override { return Eof() || rows[pos][f].isNull(); }
    QVariant Value(int f) const override { return Eof() ? QVariant() : rows[pos][f]; }
    QString DisplayText(int f) const override { return IsNull(f) ? QString() : rows[pos][f].toString(); }
    int DisplayWidth(int f) const override { return fields[f].width; }
    QByteArray Blob(int f) const override { return Eof() ? QByteArray() : rows[pos][f].toByteArray(); }

    int position() const { return pos; }

private:
    bool active = false;
    int pos = 0;
};
