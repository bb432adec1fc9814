// Fuzz target: the node tree reader and the stored-form loader refuse damaged text with an
// error and never crash; what they accept saves again.
#include "engine/report.h"
#include "engine/xml_tree.h"
#include "platform/erro/Erro.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TfrxXMLDocument doc;
    try {
        doc.LoadFromBytes(bytes);
    } catch (const Erro &) {
        return 0;
    }
    const QByteArray saved = doc.SaveToBytes();
    TfrxXMLDocument again;
    again.LoadFromBytes(saved);  // must not throw: our own output always reads back
    if (again.SaveToBytes() != saved) __builtin_trap();

    TfrxReport report;
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    try {
        report.LoadFromStream(&b);
    } catch (const Erro &) {
    }
    return 0;
}
