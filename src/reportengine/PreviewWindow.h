#pragma once

#include "PageModel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class Ui;

// The report's preview: page through it, zoom, print it or keep it as a PDF file.
class PreviewWindow : public QDialog {
    Q_OBJECT

public:
    PreviewWindow(const report::Document& doc, Ui& ui, QWidget* parent = nullptr);

    void showPage(int index);
    int currentPage() const { return m_page; }
    void printReport();
    void exportPdf();

    QPushButton* PreviousCommand;
    QPushButton* NextCommand;
    QLabel* PageLabel;
    QComboBox* ZoomBox;
    QPushButton* PrintCommand;
    QPushButton* ExportCommand;
    QPushButton* CloseCommand;

private:
    report::Document m_doc;
    Ui& m_ui;
    int m_page = 0;
    QScrollArea* m_scroll;
    QLabel* m_image;
};
