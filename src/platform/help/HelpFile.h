#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The help file: topics with a context number, a title, index keywords and a body of simple HTML.
//
//   @topic 26 Getting Started
//   @keywords getting started; new file; password
//   <p>Body text ...</p>
//
// Lines before the first @topic and lines starting with '#' outside a body are comments.
class HelpFile {
public:
    struct Topic {
        int context = 0;
        QString title;
        QStringList keywords;
        QString body;
    };

    // Reads the file; false (with a reason) when it is missing or has no topics.
    bool load(const QString& path, QString* error = nullptr);
    bool parse(const QString& text, QString* error = nullptr);

    const QList<Topic>& topics() const { return m_topics; }
    const Topic* topic(int context) const;
    // Every keyword with the topics it leads to, sorted without regard to case.
    QMap<QString, QList<int>> index() const;

    // Where the installed help file is: beside the program, or in its share folder.
    static QString locate(const QString& fileName);

private:
    QList<Topic> m_topics;
};
