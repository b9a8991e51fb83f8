#pragma once

#include "HelpFile.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// The help window: the keyword index on the left, the topic on the right. Links between topics are
// written as <a href="topic:26">.
class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    bool open(const QString& path, QString* error = nullptr);
    bool showTopic(int context);
    void showIndex(const QString& key = {});

    QTextBrowser* browser() const { return m_browser; }
    QListWidget* keywordList() const { return m_keywords; }

private:
    void fillIndex(const QString& filter);

    HelpFile m_file;
    QString m_path;
    int m_current = -1;
    QLineEdit* m_search;
    QListWidget* m_keywords;
    QTextBrowser* m_browser;
};
