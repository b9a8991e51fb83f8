#include "HelpViewer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Tallyroll Help");
    resize(820, 560);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel("Type a word to look for:"));
    m_search = new QLineEdit;
    m_search->setObjectName("HelpSearch");
    leftLayout->addWidget(m_search);
    m_keywords = new QListWidget;
    leftLayout->addWidget(m_keywords);
    m_browser = new QTextBrowser;
    m_browser->setOpenLinks(false);
    auto* split = new QSplitter;
    split->addWidget(left);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);

    connect(m_search, &QLineEdit::textChanged, this, &HelpViewer::fillIndex);
    connect(m_keywords, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toInt()); });
    connect(m_keywords, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toInt()); });
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == "topic") showTopic(url.path().toInt());
    });
}

bool HelpViewer::open(const QString& path, QString* error) {
    if (path == m_path && !m_file.topics().isEmpty()) return true;
    if (!m_file.load(path, error)) return false;
    m_path = path;
    fillIndex(m_search->text());
    return true;
}

bool HelpViewer::showTopic(int context) {
    const HelpFile::Topic* t = m_file.topic(context);
    if (!t) return false;
    m_current = context;
    m_browser->setHtml("<h2>" + t->title.toHtmlEscaped() + "</h2>" + t->body);
    return true;
}

void HelpViewer::showIndex(const QString& key) {
    m_search->setText(key);
    m_search->setFocus();
    if (m_current < 0 && !m_file.topics().isEmpty()) showTopic(m_file.topics().first().context);
}

void HelpViewer::fillIndex(const QString& filter) {
    m_keywords->clear();
    const auto index = m_file.index();
    for (auto it = index.begin(); it != index.end(); ++it) {
        if (!filter.isEmpty() && !it.key().contains(filter.toLower())) continue;
        for (int context : it.value()) {
            const HelpFile::Topic* t = m_file.topic(context);
            auto* item = new QListWidgetItem(it.value().size() > 1 ? it.key() + " — " + t->title : it.key());
            item->setData(Qt::UserRole, context);
            m_keywords->addItem(item);
        }
    }
}
