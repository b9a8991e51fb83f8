#include "Profile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace profile {
namespace {

QStringList readLines(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(f.readAll());
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool isSection(const QString& line, QString* name = nullptr) {
    const QString t = line.trimmed();
    if (!t.startsWith('[')) return false;
    const int close = int(t.indexOf(']'));
    if (close < 0) return false;
    if (name) *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOf(const QString& line, QString* key, QString* value) {
    const int eq = int(line.indexOf('='));
    if (eq < 0) return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& file) {
    QString result = defaultValue;
    bool inSection = false;
    for (const QString& line : readLines(file)) {
        QString name, k, v;
        if (isSection(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
        } else if (inSection && keyOf(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0) {
            // A value in matching quotes is read without them.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.mid(1, v.size() - 2);
            result = v;
            break;
        }
    }
    if (bufferSize <= 0) return {};
    return result.left(bufferSize - 1);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
    QStringList lines = readLines(file);
    int sectionStart = -1;
    int sectionEnd = int(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (!isSection(lines[i], &name)) continue;
        if (sectionStart >= 0) {
            sectionEnd = i;
            break;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0) sectionStart = i;
    }
    const QString entry = key + "=" + value;
    if (sectionStart < 0) {
        lines << "[" + section + "]" << entry;
    } else {
        int found = -1;
        int lastEntry = sectionStart;
        for (int i = sectionStart + 1; i < sectionEnd; ++i) {
            QString k, v;
            if (keyOf(lines[i], &k, &v)) {
                lastEntry = i;
                if (k.compare(key, Qt::CaseInsensitive) == 0) {
                    found = i;
                    break;
                }
            }
        }
        if (found >= 0) {
            lines[found] = entry;
        } else {
            lines.insert(lastEntry + 1, entry);
        }
    }
    // Written whole to a temporary file and renamed, so a failed write leaves the old file intact.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write((lines.join("\n") + "\n").toUtf8());
    return out.commit();
}

QString WindowsDirectory() {
    QString dir = qEnvironmentVariable("TALLYROLL_WINDIR");
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + "/.config/Tallyroll";
    QDir().mkpath(dir);
    while (dir.size() > 1 && dir.endsWith('/')) dir.chop(1);
    return dir;
}

}  // namespace profile
