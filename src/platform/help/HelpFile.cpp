#include "HelpFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

bool HelpFile::load(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QString("The help file '%1' could not be opened.").arg(path);
        return false;
    }
    return parse(QString::fromUtf8(f.readAll()), error);
}

bool HelpFile::parse(const QString& text, QString* error) {
    m_topics.clear();
    static const QRegularExpression header(R"(^@topic\s+(\d+)\s+(.+)$)");
    Topic* current = nullptr;
    int lineNo = 0;
    for (const QString& raw : text.split('\n')) {
        ++lineNo;
        const QString line = QString(raw).remove('\r');
        if (line.startsWith("@topic")) {
            const auto m = header.match(line.trimmed());
            if (!m.hasMatch()) {
                if (error) *error = QString("Line %1: a topic needs a context number and a title.").arg(lineNo);
                m_topics.clear();
                return false;
            }
            m_topics.append({m.captured(1).toInt(), m.captured(2).trimmed(), {}, {}});
            current = &m_topics.last();
        } else if (current && line.startsWith("@keywords")) {
            for (const QString& k : line.mid(9).split(';', Qt::SkipEmptyParts))
                if (!k.trimmed().isEmpty()) current->keywords << k.trimmed();
        } else if (current) {
            current->body += line + "\n";
        }
    }
    if (m_topics.isEmpty()) {
        if (error) *error = "The help file has no topics.";
        return false;
    }
    return true;
}

const HelpFile::Topic* HelpFile::topic(int context) const {
    for (const Topic& t : m_topics)
        if (t.context == context) return &t;
    return nullptr;
}

QMap<QString, QList<int>> HelpFile::index() const {
    QMap<QString, QList<int>> out;
    for (const Topic& t : m_topics) {
        out[t.title.toLower()].append(t.context);
        for (const QString& k : t.keywords) out[k.toLower()].append(t.context);
    }
    return out;
}

QString HelpFile::locate(const QString& fileName) {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{appDir + "/" + fileName, appDir + "/../share/tallyroll/" + fileName,
                                 appDir + "/share/tallyroll/" + fileName};
    for (const QString& c : candidates) {
        // File names match without regard to case, as the help menu names the file both ways.
        const QFileInfo info(c);
        const QDir dir = info.dir();
        if (!dir.exists()) continue;
        for (const QString& entry : dir.entryList(QDir::Files))
            if (entry.compare(fileName, Qt::CaseInsensitive) == 0) return QDir::cleanPath(dir.filePath(entry));
    }
    return {};
}
