#pragma once
// The small cursor interface through which a report dataset reads one database query. The
// database layer implements it for its queries; the engine never sees the database itself.
//
// The cursor belongs to the program: the report dataset never frees it, and the program may
// open, position and close it before, during and after a run.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

enum TfrxCursorFieldKind {
    cfkString,      // 8-bit text (VARCHAR, CHAR)
    cfkWideString,  // wide text
    cfkMemo,        // text blob
    cfkBlob,        // binary blob
    cfkBoolean,
    cfkInteger,
    cfkLargeInt,    // 64-bit integer
    cfkFloat,
    cfkBCD,         // exact decimal (NUMERIC/DECIMAL)
    cfkDateTime,    // timestamp
    cfkDate,
    cfkTime,
    cfkOther
};

class TfrxCursor {
public:
    virtual ~TfrxCursor() = default;

    virtual bool Active() const = 0;
    virtual void Open() = 0;   // no effect when already open
    virtual void Close() = 0;  // no effect when closed
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual bool Eof() const = 0;  // past the last record
    virtual int RecordCount() = 0;

    // A bookmark names the current record; going to it restores the position.
    using Bookmark = qint64;
    virtual Bookmark GetBookmark() const = 0;
    virtual void GotoBookmark(Bookmark b) = 0;

    // Field names, in order (aggregate fields, if any, after the data fields).
    virtual QStringList FieldNames() const = 0;
    // -1 when there is no such field; any case.
    virtual int FieldIndex(const QString &name) const = 0;
    virtual TfrxCursorFieldKind FieldKind(int field) const = 0;
    virtual bool IsNull(int field) const = 0;
    // The value as a variant of the field's kind (null when null).
    virtual QVariant Value(int field) const = 0;
    // The value as the database layer formats it.
    virtual QString DisplayText(int field) const = 0;
    // Display width in characters; the declared size for text fields.
    virtual int DisplayWidth(int field) const = 0;
    virtual QByteArray Blob(int field) const = 0;

    // Notifications. A report dataset chains itself in front of the handlers it finds and puts
    // them back at the end of the run; implementations call them through the Notify functions.
    std::function<void()> AfterOpen;
    std::function<void()> BeforeClose;

protected:
    void NotifyAfterOpen() { if (AfterOpen) AfterOpen(); }
    void NotifyBeforeClose() { if (BeforeClose) BeforeClose(); }
};
