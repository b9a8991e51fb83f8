#include "Definition.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace report {
namespace {

int alignOf(const QString& a) {
    if (a == "right") return int(Qt::AlignRight | Qt::AlignVCenter);
    if (a == "center") return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
}

class Reader {
public:
    explicit Reader(const QByteArray& xml) : m_xml(xml) {}

    std::optional<Definition> read(DefinitionError* error) {
        Definition d;
        if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("report")) {
            fail("the file does not start with <report>");
        } else {
            d.title = attr("title");
            d.source = attr("source");
            d.landscape = attr("orientation") == "landscape";
            static const QStringList sources{"ScoreSummary", "ClassSummary", "NoQuery"};
            if (!sources.contains(d.source)) fail("source must be ScoreSummary, ClassSummary or NoQuery");
            while (ok() && m_xml.readNextStartElement()) {
                const auto name = m_xml.name();
                if (name == QLatin1String("sort")) {
                    d.sort << attr("field");
                    m_xml.skipCurrentElement();
                } else if (name == QLatin1String("pageheader")) {
                    band(&d.pageHeader);
                } else if (name == QLatin1String("header")) {
                    band(&d.reportHeader);
                } else if (name == QLatin1String("detail")) {
                    band(&d.detail);
                } else if (name == QLatin1String("footer")) {
                    band(&d.reportFooter);
                } else if (name == QLatin1String("pagefooter")) {
                    band(&d.pageFooter);
                } else if (name == QLatin1String("group")) {
                    Group g;
                    g.field = attr("field");
                    g.newPage = attr("newpage") == "true";
                    if (g.field.isEmpty()) fail("a group needs a field");
                    while (ok() && m_xml.readNextStartElement()) {
                        if (m_xml.name() == QLatin1String("header")) {
                            band(&g.header);
                        } else if (m_xml.name() == QLatin1String("footer")) {
                            band(&g.footer);
                        } else {
                            fail(QString("<%1> cannot stand in a group").arg(m_xml.name().toString()));
                        }
                    }
                    if (d.groups.size() == 2) fail("a report has at most two group levels");
                    d.groups << g;
                } else {
                    fail(QString("unknown part <%1>").arg(name.toString()));
                }
            }
        }
        if (ok() && m_xml.hasError()) fail(m_xml.errorString());
        if (!ok()) {
            if (error) *error = m_error;
            return std::nullopt;
        }
        return d;
    }

private:
    bool ok() const { return m_error.message.isEmpty(); }

    void fail(const QString& message) {
        if (!ok()) return;
        m_error = {int(m_xml.lineNumber()), int(m_xml.columnNumber()), message};
        m_xml.raiseError(message);
    }

    QString attr(const char* name) const { return m_xml.attributes().value(QLatin1String(name)).toString(); }

    double number(const char* name, double fallback = 0) {
        const QString v = attr(name);
        if (v.isEmpty()) return fallback;
        bool isNumber = false;
        const double d = v.toDouble(&isNumber);
        if (!isNumber) fail(QString("%1=\"%2\" is not a number").arg(name, v));
        return d;
    }

    void band(Band* b) {
        b->present = true;
        b->height = number("height");
        b->repeat = attr("repeat") == "true";
        while (ok() && m_xml.readNextStartElement()) {
            Element e;
            e.line = int(m_xml.lineNumber());
            e.column = int(m_xml.columnNumber());
            e.x = number("x");
            e.y = number("y");
            e.width = number("width", 200);
            e.height = number("height", 12);
            e.font.size = number("size", 10);
            e.font.bold = attr("bold") == "true";
            e.font.italic = attr("italic") == "true";
            e.align = alignOf(attr("align")) | (attr("wrap") == "true" ? int(Qt::TextWordWrap) : 0);
            e.lineWidth = number("linewidth", 0.5);
            e.shaded = attr("shaded") == "true";
            const auto name = m_xml.name();
            if (name == QLatin1String("text")) {
                e.kind = Element::Text;
                e.text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            } else if (name == QLatin1String("line")) {
                e.kind = Element::Line;
                e.x2 = number("x2", e.x);
                e.y2 = number("y2", e.y);
                m_xml.skipCurrentElement();
            } else if (name == QLatin1String("box")) {
                e.kind = Element::Box;
                m_xml.skipCurrentElement();
            } else if (name == QLatin1String("crosstab")) {
                e.kind = Element::CrossTab;
                e.rowField = attr("rows");
                e.rowTitle = attr("rowtitle");
                e.columnField = attr("columns");
                e.columnOrder = attr("columnorder");
                e.valueField = attr("value");
                e.valueFormat = attr("valueformat");
                e.rowValue = attr("rowvalue");
                e.rowValueTitle = attr("rowvaluetitle");
                e.rowValueFormat = attr("rowvalueformat");
                e.rowWidth = number("rowwidth", 140);
                e.columnWidth = number("columnwidth", 40);
                e.rowHeight = number("rowheight", 14);
                if (e.rowField.isEmpty() || e.columnField.isEmpty() || e.valueField.isEmpty())
                    fail("a crosstab needs rows, columns and value");
                m_xml.skipCurrentElement();
            } else {
                fail(QString("unknown element <%1>").arg(name.toString()));
                return;
            }
            b->elements << e;
        }
    }

    QXmlStreamReader m_xml;
    DefinitionError m_error;
};

}  // namespace

std::optional<Definition> ParseDefinition(const QByteArray& xml, DefinitionError* error) { return Reader(xml).read(error); }

std::optional<Definition> LoadDefinition(const QString& path, DefinitionError* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = {0, 0, QString("the report file %1 cannot be read").arg(path)};
        return std::nullopt;
    }
    return ParseDefinition(f.readAll(), error);
}

QList<FieldUse> FieldsUsed(const Definition& d) {
    QList<FieldUse> out;
    static const QRegularExpression braces(R"(\{([^{}]*)\})");
    static const QRegularExpression names(R"([A-Za-z_][A-Za-z0-9_]*)");
    static const QStringList words{"page", "pages", "today", "title", "count", "sum", "mean", "min", "max", "stddev"};
    auto scanText = [&](const Element& e) {
        auto it = braces.globalMatch(e.text);
        while (it.hasNext()) {
            const QString inner = it.next().captured(1).section(':', 0, 0);
            auto n = names.globalMatch(inner);
            while (n.hasNext()) {
                const QString name = n.next().captured(0);
                if (!words.contains(name.toLower())) out << FieldUse{name, e.line, e.column};
            }
        }
    };
    auto scanBand = [&](const Band& b) {
        for (const Element& e : b.elements) {
            if (e.kind == Element::Text) scanText(e);
            if (e.kind == Element::CrossTab) {
                for (const QString& f : {e.rowField, e.columnField, e.columnOrder, e.valueField, e.rowValue})
                    if (!f.isEmpty()) out << FieldUse{f, e.line, e.column};
            }
        }
    };
    for (const QString& s : d.sort) out << FieldUse{s, 1, 1};
    for (const Band* b : {&d.pageHeader, &d.reportHeader, &d.detail, &d.reportFooter, &d.pageFooter}) scanBand(*b);
    for (const Group& g : d.groups) {
        out << FieldUse{g.field, 1, 1};
        scanBand(g.header);
        scanBand(g.footer);
    }
    return out;
}

}  // namespace report
