#pragma once

#include "platform/ui/Form.h"

#include <QPointer>
#include <QVector>
#include <cstdint>

class GridControl;
class HelpItems;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

// The grade sheet: one class at a time, students down, assignments across, an average and a grade
// per student. Every keystroke in a cell or a panel box is stored at once.
class GradeForm : public Form {
    Q_OBJECT

public:
    explicit GradeForm(Context& ctx);

    // Public procedures.
    void CalculateAverage();
    void FillAssignment();
    void FillClassInfo();
    void FillGradeGrid();
    void HideGradeGrid();
    void PositionGradeGrid();
    void QueryRS();
    void ShowGradeGrid();
    void ShowGradeText();
    void UpdateForm();
    void UpdateMenus();
    void UpdateScore();
    void RecalculateAll();

    // Handlers.
    void GradeGrid_RowColChange();
    void GradeText_Change();
    void GradeTextTimer_Timer();
    void CalculateTimer_Timer();
    void HousekeepingTimer_Timer();
    void ClassNameBox_Change();
    void ClassNameBox_LostFocus();
    void TermBox_Change();
    void NotesBox_Change();
    void UseWeightsBox_Click();
    void DescriptionBox_Change();
    void DescriptionBox_LostFocus();
    void MaxPointsBox_Change();
    void MaxPointsBox_LostFocus();
    void WeightBox_Change();
    void WeightBox_LostFocus();
    void DateBox_Change();
    void DateBox_LostFocus();

    void ChangePWMenu_Click();
    void CloseTRMenu_Click();
    void HideClassInfoMenu_Click();
    void HideAsnInfoMenu_Click();
    void ColWidthMenu_Click();
    void AddClassMenu_Click();
    void SelectClassMenu_Click();
    void ChangeClsRstrMenu_Click();
    void AddAssignmentMenu_Click();
    void DeleteClassMenu_Click();
    void DeleteStudentMenu_Click();
    void DeleteAssignmentMenu_Click();
    void StudentInfoMenu_Click();
    void StudentReportsMenu_Click();
    void AsnReportsMenu_Click();
    void ClassReportsMenu_Click();
    void AddCusRepMenu_Click();

    QList<QAction*> ChildMenus() const override;

    // Controls.
    GridControl* GradeGrid;
    QLineEdit* GradeText;
    QGroupBox* ClassInfoFrame;
    QLabel* NameLabel;
    QLineEdit* ClassNameBox;
    QLabel* TermLabel;
    QLineEdit* TermBox;
    QLabel* NotesLabel;
    QLineEdit* NotesBox;
    QLabel* WeigtLabel;
    QCheckBox* UseWeightsBox;
    QGroupBox* AsnInfoFrame;
    QLabel* DescriptionLabel;
    QLineEdit* DescriptionBox;
    QLabel* MaxPointsLabel;
    QLineEdit* MaxPointsBox;
    QLabel* AsnWeightLabel;
    QLineEdit* WeightBox;
    QLabel* DateLabel;
    QLineEdit* DateBox;
    QTimer* CalculateTimer;
    QTimer* GradeTextTimer;
    QTimer* HousekeepingTimer;

    // Menus.
    QMenu* FileMenu;
    QAction* ChangePWMenu;
    QAction* CloseTRMenu;
    QMenu* FormatMenu;
    QAction* HideClassInfoMenu;
    QAction* HideAsnInfoMenu;
    QAction* ColWidthMenu;
    QMenu* ReportsMenu;
    QAction* StudentReportsMenu;
    QAction* AsnReportsMenu;
    QAction* ClassReportsMenu;
    QAction* AddCusRepMenu;
    QMenu* ClassesMenu;
    QAction* AddClassMenu;
    QAction* SelectClassMenu;
    QAction* ChangeClsRstrMenu;
    QAction* DeleteClassMenu;
    QMenu* StudentsMenu;
    QAction* DeleteStudentMenu;
    QAction* StudentInfoMenu;
    QMenu* AssignmentsMenu;
    QAction* AddAssignmentMenu;
    QAction* DeleteAssignmentMenu;
    HelpItems* Help;  // the Help menu's items
    QMenu* HelpMenu;

    // Form-level state.
    QVector<std::int32_t> StudentIDs;     // by grid row
    QVector<std::int32_t> AssignmentIDs;  // by grid column; grows with the class
    bool Filling = false;
    bool Updating = false;
    bool QueryOK = false;
    int EditRow = 0;
    int EditCol = 0;
    int CalcRow = 0;
    bool Calculating = false;
    QPointer<QWidget> FocusControl;
    QString AsnBookmark;
    bool FillingAssignment = false;
    bool DescriptionChanged = false;
    bool MaxPointsChanged = false;
    bool WeightChanged = false;
    bool DateChanged = false;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_Resize() override;
    void Form_Unload() override;
    // Closing the window closes its file, as File > Close does.
    void CloseBox() override { CloseTRMenu_Click(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanels();
    void buildMenus();
    void connectHandlers();
    // Moves the cell editor by keyboard; the new cell is edited as if it had been clicked.
    bool moveEditor(int row, int col);
    bool editorKey(QKeyEvent* key);
    // The assignment record the panel shows, or false when it shows none.
    bool moveToShownAssignment();
    void storeAssignmentField(const QString& field, const QVariant& value);
    void storeClassField(const QString& field, const QVariant& value, const QString& what);
    // Leaving the maximum points or the weight: a bad number is put back, a good one recomputes all.
    void showReportCatalog(const QString& category);
    void numberBoxLostFocus(QLineEdit* box, bool& changed, const QString& field, const QString& message);
    void showStoredScore();

    bool m_assignmentShown = false;
    bool m_showingCell = false;  // the editor is being filled from its cell: nothing to store
};
