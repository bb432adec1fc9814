#include "engine/resources.h"

#include "engine/xml_tree.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

// Static libraries drop an unreferenced resource object; initialising it here keeps it.
static void InitEngineResource() { Q_INIT_RESOURCE(engine); }

struct TfrxResources::Table {
    QHash<QString, QString> texts;
};

TfrxResources &TfrxResources::Instance() {
    static TfrxResources instance;
    return instance;
}

TfrxResources::TfrxResources() : FTable(new Table) {
    InitEngineResource();
    QFile f(QStringLiteral(":/engine/resources.xml"));
    if (f.open(QIODevice::ReadOnly)) LoadFromXml(f.readAll());
}

void TfrxResources::LoadFromXml(const QByteArray &xml) {
    QHash<QString, QString> texts;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement) continue;
        if (r.name() != QLatin1String("StrRes")) continue;
        const auto a = r.attributes();
        // The reader decodes the entities once; texts may carry a second level ("&amp;quot;").
        texts.insert(a.value(QLatin1String("Name")).toString(),
                     frxXMLToStr(a.value(QLatin1String("Text"))));
    }
    FTable->texts = std::move(texts);
}

int TfrxResources::Count() const { return FTable->texts.size(); }

QString TfrxResources::Get(const QString &key) const {
    auto it = FTable->texts.constFind(key);
    if (it == FTable->texts.constEnd()) return key;
    const QString &t = it.value();
    return t.startsWith(u'!') ? t.mid(1) : t;
}
