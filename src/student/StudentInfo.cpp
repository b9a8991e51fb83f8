#include "StudentInfo.h"

#include "PlotBox.h"
#include "classes/SelectClassesForm.h"
#include "classes/SelectOneStudentForm.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/Steps.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"
#include "shell/HelpItems.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <cmath>

namespace {

constexpr const char* kGridOn = "Grid On";
constexpr const char* kGridOff = "Grid Off";

// Whole numbers are rounded half to even throughout the plot's layout.
int roundEven(double v) { return int(std::nearbyint(v)); }

QLineEdit* box(QWidget* parent, int maxLength, int left, int top, int width, int height) {
    auto* b = new QLineEdit(parent);
    b->setMaxLength(maxLength);
    b->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
    return b;
}

// A label ending just left of its box; the narrow margins of this window take a smaller type.
QLabel* label(QWidget* parent, const QString& text, int right, int top) {
    auto* l = new QLabel(text, parent);
    QFont small = l->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    l->setFont(small);
    l->adjustSize();
    l->move(std::max(2, twips::toPixels(right) - l->width() - 3), twips::toPixels(top) + 3);
    return l;
}

}  // namespace

StudentInfo::StudentInfo(Context& ctx) : Form(ctx) {
    setWindowTitle("Student Information");
    setFixedSize(twips::toPixels(8805), twips::toPixels(6240));

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twips::toPixels(60), 0, twips::toPixels(8715), twips::toPixels(1095));
    Label1 = label(Frame1, "First Name", 900, 240);
    FirstNameText = box(Frame1, 20, 900, 240, 1875, 315);
    FirstNameText->setObjectName("FirstNameText");
    Label2 = label(Frame1, "Last Name", 3720, 240);
    LastNameText = box(Frame1, 30, 3720, 240, 2655, 315);
    LastNameText->setObjectName("LastNameText");
    IDLabel = label(Frame1, "ID", 6900, 240);
    IDText = box(Frame1, 20, 6900, 240, 1695, 315);
    IDText->setObjectName("IDText");
    Label5 = label(Frame1, "Notes", 900, 660);
    NotesText = box(Frame1, 100, 900, 660, 7695, 315);
    NotesText->setObjectName("NotesText");

    Picture1 = new PlotBox(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(twips::toPixels(1320), twips::toPixels(1920), twips::toPixels(7275), twips::toPixels(3315));

    EndProgram = new QAction("Exit", this);
    StudentsMenu = new QAction("Students", this);
    PlotMenu = new QMenu("Plot", this);
    AddClassesMenu = PlotMenu->addAction("Add/Remove Classes");
    PlotMenu->addSeparator();
    PlotScoresMenu = PlotMenu->addAction("Plot Scores");
    PlotScoresMenu->setCheckable(true);
    PlotScoresMenu->setChecked(true);
    PlotCumAveMenu = PlotMenu->addAction("Plot Cumulative Averages");
    PlotCumAveMenu->setCheckable(true);
    PlotMenu->addSeparator();
    GridOnOff = PlotMenu->addAction(kGridOn);
    Help = new HelpItems(ctx, this, HelpItems::Kind::StudentWindow);
    HelpMenu = Help->menu;

    m_surface = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_surface.fill(palette().color(QPalette::Window));

    connect(FirstNameText, &QLineEdit::textChanged, this, &StudentInfo::FirstNameText_Change);
    connect(LastNameText, &QLineEdit::textChanged, this, &StudentInfo::LastNameText_Change);
    connect(IDText, &QLineEdit::textChanged, this, &StudentInfo::IDText_Change);
    connect(NotesText, &QLineEdit::textChanged, this, &StudentInfo::NotesText_Change);
    connect(EndProgram, &QAction::triggered, this, &StudentInfo::EndProgram_Click);
    connect(StudentsMenu, &QAction::triggered, this, &StudentInfo::StudentsMenu_Click);
    connect(AddClassesMenu, &QAction::triggered, this, &StudentInfo::AddClassesMenu_Click);
    connect(PlotScoresMenu, &QAction::triggered, this, &StudentInfo::PlotScoresMenu_Click);
    connect(PlotCumAveMenu, &QAction::triggered, this, &StudentInfo::PlotCumAveMenu_Click);
    connect(GridOnOff, &QAction::triggered, this, &StudentInfo::GridOnOff_Click);
    connect(Picture1, &PlotBox::Paint, this, &StudentInfo::Picture1_Paint);
    connect(Picture1, &PlotBox::MouseDown, this, &StudentInfo::Picture1_MouseDown);
    connect(Picture1, &PlotBox::MouseMove, this, &StudentInfo::Picture1_MouseMove);
    connect(Picture1, &PlotBox::MouseUp, this, &StudentInfo::Picture1_MouseUp);
}

void StudentInfo::Form_Load() {
    SeriesColors = {QColor(0, 0, 255),   QColor(255, 0, 0),   QColor(0, 255, 0), QColor(255, 0, 255),
                    QColor(0, 255, 255), QColor(221, 160, 0), QColor(0, 0, 0)};
    GridColor = QColor(80, 80, 80);
    AxisColor = Qt::black;
    AxisTitle = "Average";
}

QList<QAction*> StudentInfo::ChildMenus() const {
    return {EndProgram, StudentsMenu, PlotMenu->menuAction(), HelpMenu->menuAction()};
}

// ---------------------------------------------------------------------------------------------
// The student

void StudentInfo::FillStudentInfo() {
    auto& st = m_ctx.state;
    st.Loading = true;
    ShownStudentID = st.SelectedStudentID;
    Picture1->setPersistent(true);
    Picture1->Cls();
    m_surface.fill(palette().color(QPalette::Window));
    bool found = false;
    steps::Ignore([&] {
        st.StudentsRS.setIndex("StudentID");
        st.StudentsRS.Seek("=", ShownStudentID);
        found = !st.StudentsRS.NoMatch();
    });
    if (!found) {
        hideWindow();
        st.Loading = false;
        return;
    }
    steps::Ignore([&] {
        const QString first = st.StudentsRS.field("FirstName").toString();
        const QString last = st.StudentsRS.field("LastName").toString();
        if (!first.isEmpty()) FirstNameText->setText(first);
        if (!last.isEmpty()) LastNameText->setText(last);
        IDText->setText(st.StudentsRS.field("ID").toString());
        NotesText->setText(st.StudentsRS.field("Notes").toString());
    });
    FillDataSets();
    PlotAll();
    st.Loading = false;
}

void StudentInfo::FillDataSets() {
    auto& st = m_ctx.state;
    QCoreApplication::processEvents();
    QStringList errors;
    Data = plot::FillDataSets(st, ShownStudentID, &errors);
    for (const QString& e : errors) m_ctx.ui.MsgBox(e);
    st.NumClasses = std::int16_t(Data.names.size());
    st.ClassNameList = Data.names;
    st.ClassSelected = Data.selected;
}

void StudentInfo::hideWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->hide();
    hide();
}

void StudentInfo::storeField(const QString& field, const QString& value) {
    // Filling the boxes from the file stores nothing.
    if (m_ctx.state.Loading) return;
    auto& rs = m_ctx.state.StudentsRS;
    steps::Report(m_ctx.ui, "The student could not be changed: ", [&] {
        rs.setIndex("StudentID");
        rs.Seek("=", ShownStudentID);
        rs.Edit();
        rs.setField(field, value);
        rs.Update();
    });
}

void StudentInfo::FirstNameText_Change() {
    if (!FirstNameText->text().isEmpty()) storeField("FirstName", FirstNameText->text());
    if (!m_ctx.state.Loading) m_ctx.state.NeedRefresh = true;
}

void StudentInfo::LastNameText_Change() {
    if (!LastNameText->text().isEmpty()) storeField("LastName", LastNameText->text());
    if (!m_ctx.state.Loading) m_ctx.state.NeedRefresh = true;
}

void StudentInfo::IDText_Change() { storeField("ID", IDText->text()); }

void StudentInfo::NotesText_Change() { storeField("Notes", NotesText->text()); }

void StudentInfo::EndProgram_Click() { hideWindow(); }

void StudentInfo::StudentsMenu_Click() {
    // A dialog of this window's own menus is no activation of it: the handler reloads by itself.
    m_ctx.ui.ShowModal(m_ctx.forms.get<SelectOneStudentForm>());
    FillStudentInfo();
}

void StudentInfo::AddClassesMenu_Click() {
    m_ctx.ui.ShowModal(m_ctx.forms.get<SelectClassesForm>());
    Data.selected = m_ctx.state.ClassSelected;
    PlotAll();
}

// ---------------------------------------------------------------------------------------------
// The plot

void StudentInfo::PlotAll() {
    QCoreApplication::processEvents();
    m_ctx.ui.SetBusy(true);
    ComputeScale();
    DrawSeries();
    DrawDateLabels();
    DrawAxisTitle();
    if (GridOnOff->text() == kGridOff) DrawGrid();
    m_ctx.ui.SetBusy(false);
    update();
}

void StudentInfo::ComputeScale() {
    Scale = plot::ComputeScale(Data);
    Picture1->setScale(0, 110, Scale.totalDays, -110);
}

void StudentInfo::DrawSeries() {
    Picture1->setPersistent(true);
    Picture1->Cls();
    m_surface.fill(palette().color(QPalette::Window));
    const bool scores = m_plotScores;
    const int h = textHeight();
    const double first = plot::DayNumber(Scale.FirstDate);
    int k = 0;
    for (int c = 0; c < Data.points.size() && k < 6; ++c) {
        if (!Data.selected.value(c)) continue;
        const QList<plot::Point>& points = Data.points[c];
        QPointF previous;
        for (int p = 0; p < points.size(); ++p) {
            const double x = points[p].date - first + c / 6.0;
            if (scores) {
                Picture1->Line(x, 0, x, points[p].percent, SeriesColors[k], 2);
            } else {
                const double y = points[p].cumulative;
                if (p > 0) Picture1->Line(previous.x(), previous.y(), x, y, SeriesColors[k], 2);
                Picture1->PSet(x, y, Qt::black, 3);
                previous = QPointF(x, y);
            }
        }
        const int left = twips::fromPixels(Picture1->x());
        const int lx = k < 3 ? left : left + twips::fromPixels(Picture1->width()) / 2;
        const int ly = twips::fromPixels(Frame1->height()) + 100 + (k % 3) * (h + 10);
        formLine(lx + 100, ly, lx + 300, ly, SeriesColors[k], 2);
        formPrint(lx + 400, ly - h / 2, Data.names.value(c));
        ++k;
    }
}

void StudentInfo::DrawDateLabels() {
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int left = twips::fromPixels(Picture1->x());
    const int top = twips::fromPixels(Picture1->y());
    const int width = twips::fromPixels(Picture1->width());
    const int height = twips::fromPixels(Picture1->height());
    const int px = roundEven(double(width) / (Scale.NumXDivisions - 1));
    const int py = roundEven(double(height) / (Scale.NumYDivisions - 1));
    const int h0 = textHeight();
    QDate previous;
    for (int j = 0; j < Scale.NumXDivisions; ++j) {
        const QDate d = Scale.FirstDate.addDays(qint64(j) * Scale.DaysPerDivision);
        const QString digits = QString::number(d.day());
        const int x = roundEven(left + j * px - textWidth(digits) / 2.0);
        const int y = roundEven(top + height + h0 / 2.0);
        formPrint(x, y, " " + digits);
        if (j == 0 || d.month() != previous.month()) {
            formPrint(x, y + h0, months[d.month() - 1]);
            formPrint(x, y + 2 * h0, QString("%1").arg(d.year() % 100, 2, 10, QChar('0')));
        }
        previous = d;
    }
    for (int i = 1; i < Scale.NumYDivisions; ++i) {
        const QString text = runtime::FormatPercent(1.1 - 0.1 * i);
        MaxLabelWidth = std::max<float>(MaxLabelWidth, textWidth(text));
        const int x = roundEven(left - textWidth(text) - textWidth("."));
        const int y = roundEven(top + i * py - h0 / 2.0);
        formPrint(x, y, text);
    }
}

void StudentInfo::DrawAxisTitle() {
    const int left = twips::fromPixels(Picture1->x());
    const int top = twips::fromPixels(Picture1->y());
    const int height = twips::fromPixels(Picture1->height());
    const int x0 = roundEven((left - 1.5 * MaxLabelWidth) / 2.0);
    const int total = int(AxisTitle.size()) * textHeight();
    int y = roundEven((height - total) / 2.0 + top);
    for (QChar ch : AxisTitle) {
        formPrint(roundEven(x0 + textWidth("X") - textWidth(ch) / 2.0), y, ch);
        y += textHeight();
    }
}

void StudentInfo::DrawGrid() {
    Picture1->setPersistent(false);
    const double left = Picture1->ScaleLeft(), top = Picture1->ScaleTop();
    const double sw = Picture1->ScaleWidth(), sh = Picture1->ScaleHeight();
    const double dx = sw / (Scale.NumXDivisions - 1);
    const double dy = sh / (Scale.NumYDivisions - 1);
    const double dx5 = dx / 5, dy5 = dy / 5;
    const double tw = std::fabs(sw) / 50, th = std::fabs(sh) / 50;
    const double right = left + sw, bottom = top + sh;
    for (int j = 1; j < Scale.NumXDivisions; ++j) Picture1->Line(left + j * dx, top, left + j * dx, bottom, GridColor, 1, Qt::DotLine);
    for (int j = 1; j < Scale.NumYDivisions; ++j) Picture1->Line(left, top + j * dy, right, top + j * dy, GridColor, 1, Qt::DotLine);
    // The scale's y grows upward: a tick rises from the bottom edge.
    for (int t = 1; t <= 5 * (Scale.NumXDivisions - 1); ++t)
        Picture1->Line(left + t * dx5, bottom, left + t * dx5, bottom + th, AxisColor, 1);
    for (int t = 1; t <= 5 * (Scale.NumYDivisions - 1); ++t)
        Picture1->Line(left, top + t * dy5, left + tw, top + t * dy5, AxisColor, 1);
}

void StudentInfo::PlotScoresMenu_Click() {
    // Either entry switches to the other kind; the menu has toggled only the chosen entry itself.
    m_plotScores = !m_plotScores;
    PlotScoresMenu->setChecked(m_plotScores);
    PlotCumAveMenu->setChecked(!m_plotScores);
    PlotAll();
}

void StudentInfo::PlotCumAveMenu_Click() { PlotScoresMenu_Click(); }

void StudentInfo::GridOnOff_Click() {
    if (GridOnOff->text() == kGridOff) {
        GridOnOff->setText(kGridOn);
        Picture1->Refresh();
    } else {
        GridOnOff->setText(kGridOff);
        DrawGrid();
    }
}

void StudentInfo::Picture1_Paint() {
    if (GridOnOff->text() == kGridOff) DrawGrid();
}

void StudentInfo::printReadout(double x, double y) {
    const QDate date = Scale.FirstDate.addDays(qint64(std::floor(x + 0.5)));
    Picture1->Print(2, 15, runtime::FormatShortDate(date));
    Picture1->Print(2, 10, runtime::FormatPercent(y * 0.01));
}

void StudentInfo::Picture1_MouseDown(Qt::MouseButtons button, double x, double y) {
    if (button != Qt::LeftButton) return;
    Picture1->setPersistent(false);
    printReadout(x, y);
}

void StudentInfo::Picture1_MouseMove(Qt::MouseButtons button, double x, double y) {
    if (button != Qt::LeftButton) return;
    Picture1->setPersistent(false);
    Picture1->Cls();
    printReadout(x, y);
}

void StudentInfo::Picture1_MouseUp(Qt::MouseButtons button, double, double) {
    if (button != Qt::LeftButton) return;
    Picture1->setPersistent(false);
    Picture1->Cls();
    Picture1->setPersistent(true);
    GridOnOff->setText(kGridOn);
}

// ---------------------------------------------------------------------------------------------
// The window's own drawing area

int StudentInfo::textWidth(const QString& text) const { return twips::fromPixels(fontMetrics().horizontalAdvance(text)); }

int StudentInfo::textHeight() const { return twips::fromPixels(fontMetrics().height()); }

void StudentInfo::formLine(int x1, int y1, int x2, int y2, const QColor& color, int width) {
    QPainter p(&m_surface);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(twips::toPixels(x1), twips::toPixels(y1), twips::toPixels(x2), twips::toPixels(y2));
}

void StudentInfo::formPrint(int x, int y, const QString& text) {
    QPainter p(&m_surface);
    p.setPen(Qt::black);
    p.setFont(font());
    p.drawText(QPoint(twips::toPixels(x), twips::toPixels(y) + fontMetrics().ascent()), text);
}

void StudentInfo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_surface);
}
