#include "PreviewWindow.h"

#include "Painter.h"
#include "platform/ui/Ui.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

PreviewWindow::PreviewWindow(const report::Document& doc, Ui& ui, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_ui(ui) {
    setWindowTitle(doc.title.isEmpty() ? "Report" : doc.title);
    // As large as a page at the chosen zoom, but never larger than the screen.
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    resize(std::min(760, screen.width() - 40), std::min(900, screen.height() - 60));
    PreviousCommand = new QPushButton("< Previous");
    NextCommand = new QPushButton("Next >");
    PageLabel = new QLabel;
    ZoomBox = new QComboBox;
    for (int zoom : {50, 75, 100, 125, 150, 200}) ZoomBox->addItem(QString("%1%").arg(zoom), zoom);
    ZoomBox->setCurrentIndex(2);
    PrintCommand = new QPushButton("Print...");
    ExportCommand = new QPushButton("Export PDF...");
    CloseCommand = new QPushButton("Close");
    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{PreviousCommand, NextCommand, PageLabel, ZoomBox})
        bar->addWidget(w);
    bar->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{PrintCommand, ExportCommand, CloseCommand}) bar->addWidget(w);
    m_image = new QLabel;
    m_image->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_image);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll);
    connect(PreviousCommand, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(NextCommand, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this] { showPage(m_page); });
    connect(PrintCommand, &QPushButton::clicked, this, &PreviewWindow::printReport);
    connect(ExportCommand, &QPushButton::clicked, this, &PreviewWindow::exportPdf);
    connect(CloseCommand, &QPushButton::clicked, this, &QDialog::accept);
    showPage(0);
}

void PreviewWindow::showPage(int index) {
    const int count = int(m_doc.pages.size());
    m_page = std::clamp(index, 0, std::max(0, count - 1));
    const double zoom = ZoomBox->currentData().toInt() / 100.0;
    const double dotsPerPoint = zoom * logicalDpiX() / 72.0;
    m_image->setPixmap(QPixmap::fromImage(report::RenderPage(m_doc, m_page, dotsPerPoint)));
    PageLabel->setText(QString("Page %1 of %2").arg(count ? m_page + 1 : 0).arg(count));
    PreviousCommand->setEnabled(m_page > 0);
    NextCommand->setEnabled(m_page + 1 < count);
}

void PreviewWindow::printReport() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    report::PrintDocument(m_doc, printer);
}

void PreviewWindow::exportPdf() {
    const auto choice = m_ui.SaveFile("PDF Files|*.pdf", "pdf");
    if (!choice) return;
    QString error;
    if (!report::WritePdf(m_doc, choice->path, &error)) m_ui.MsgBox("The report could not be saved: " + error + ".");
}
