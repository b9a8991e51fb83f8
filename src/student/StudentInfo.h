#pragma once

#include "PlotData.h"
#include "platform/ui/Form.h"

#include <QColor>
#include <QImage>
#include <array>
#include <cstdint>

class HelpItems;
class PlotBox;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;

// "Student Information": one student's details, written through as typed, and a plot of their
// scores or running averages in up to six classes.
class StudentInfo : public Form {
    Q_OBJECT

public:
    explicit StudentInfo(Context& ctx);

    void FillStudentInfo();
    void FillDataSets();
    void PlotAll();
    void ComputeScale();
    void DrawSeries();
    void DrawDateLabels();
    void DrawAxisTitle();
    void DrawGrid();

    void FirstNameText_Change();
    void LastNameText_Change();
    void IDText_Change();
    void NotesText_Change();
    void EndProgram_Click();
    void StudentsMenu_Click();
    void AddClassesMenu_Click();
    void PlotScoresMenu_Click();
    void PlotCumAveMenu_Click();
    void GridOnOff_Click();
    void Picture1_Paint();
    void Picture1_MouseDown(Qt::MouseButtons button, double x, double y);
    void Picture1_MouseMove(Qt::MouseButtons button, double x, double y);
    void Picture1_MouseUp(Qt::MouseButtons button, double x, double y);

    QList<QAction*> ChildMenus() const override;

    // What the window itself shows around the plot (legend and labels).
    const QImage& surface() const { return m_surface; }

    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* FirstNameText;
    QLabel* Label2;
    QLineEdit* LastNameText;
    QLabel* IDLabel;
    QLineEdit* IDText;
    QLabel* Label5;
    QLineEdit* NotesText;
    PlotBox* Picture1;

    QAction* EndProgram;
    QAction* StudentsMenu;
    QMenu* PlotMenu;
    QAction* AddClassesMenu;
    QAction* PlotScoresMenu;
    QAction* PlotCumAveMenu;
    QAction* GridOnOff;
    HelpItems* Help;
    QMenu* HelpMenu;

    std::int32_t ShownStudentID = 0;
    plot::DataSets Data;  // the series of ShownStudentID
    plot::Scale Scale;
    float MaxLabelWidth = 0;

    std::array<QColor, 7> SeriesColors;
    QColor GridColor;
    QColor AxisColor;
    QString AxisTitle;

protected:
    void Form_Load() override;
    void Form_Activate() override { FillStudentInfo(); }
    void CloseBox() override { EndProgram_Click(); }
    void paintEvent(QPaintEvent* e) override;

private:
    void storeField(const QString& field, const QString& value);
    void hideWindow();
    void printReadout(double x, double y);
    // The window's own drawing area, in twips.
    void formLine(int x1, int y1, int x2, int y2, const QColor& color, int width);
    void formPrint(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight() const;

    QImage m_surface;
    bool m_plotScores = true;
};
