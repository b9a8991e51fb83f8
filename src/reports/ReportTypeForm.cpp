#include "ReportTypeForm.h"

#include "ReportInfo.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace {
constexpr int kRows = 12;
constexpr int kRowHeight = 375;
}

ReportTypeForm::ReportTypeForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Report Type");
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kRows; ++i) {
        auto* o = new QRadioButton(this);
        o->setGeometry(twips::toPixels(300), twips::toPixels(180 + 540 * i), twips::toPixels(6000), twips::toPixels(kRowHeight));
        o->hide();
        group->addButton(o, i);
        Opt << o;
        connect(o, &QRadioButton::clicked, this, [this, i] { Opt_Click(i); });
    }
    OKCommand = new QPushButton("OK", this);
    OKCommand->setGeometry(twips::toPixels(6840), twips::toPixels(240), twips::toPixels(1095), twips::toPixels(375));
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel", this);
    CancelCommand->setGeometry(twips::toPixels(6840), twips::toPixels(780), twips::toPixels(1095), twips::toPixels(375));
    setFixedWidth(twips::toPixels(8220));
    connect(OKCommand, &QPushButton::clicked, this, &ReportTypeForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &ReportTypeForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &ReportTypeForm::CancelCommand_Click);
}

void ReportTypeForm::Form_Activate() {
    auto& st = m_ctx.state;
    for (QRadioButton* o : Opt) o->hide();
    reports::Settings settings;
    QList<int> counts{0, 0, 0};
    if (settings.exists()) {
        st.ReportPath = settings.reportPath();
    } else {
        // Nothing set up yet: the reports that come with the program.
        st.ReportPath = reports::InstalledReportFolder();
        settings.setReportPath(st.ReportPath);
    }
    RepFile.clear();
    RepQuery.clear();
    auto add = [&](const reports::Entry& e) {
        const int k = int(RepFile.size());
        RepFile << e.file;
        RepQuery << e.query;
        if (k < kRows) {
            Opt[k]->setText(e.description);
            Opt[k]->show();
        }
    };
    if (reports::BuiltIn(Tag).size() > 0) {
        const int custom = settings.exists() ? settings.count(Tag) : 0;
        for (int n = 1; n <= custom; ++n) add(settings.custom(Tag, n));
        for (const reports::Entry& e : reports::BuiltIn(Tag)) add(e);
    }
    EntryCount = int(RepFile.size());
    if (!Opt.isEmpty() && EntryCount > 0) {
        Opt[0]->setChecked(true);
        Opt_Click(0);
    }
    setFixedHeight(twips::toPixels(EntryCount * (kRowHeight + 200) + 1000));
}

bool ReportTypeForm::CheckExist(const QString& FN) {
    auto& st = m_ctx.state;
    if (QFileInfo(FN).isFile()) return true;
    m_ctx.ui.MsgBox("Can't find " + FN + ". Please locate the report file.");
    const auto choice = m_ctx.ui.OpenFile("Report Files|*.RPT", "RPT");
    if (choice) {
        // Only the folder of the chosen file is used; the entry keeps its own file name.
        st.ReportPath = QFileInfo(choice->path).absolutePath() + "/";
    }
    reports::Settings().setReportPath(st.ReportPath);
    return false;
}

void ReportTypeForm::Opt_Click(int Index) {
    if (Index < 0 || Index >= RepFile.size()) return;
    auto& st = m_ctx.state;
    QString path = st.ReportPath + RepFile[Index];
    if (!CheckExist(path)) path = st.ReportPath + RepFile[Index];
    auto& info = m_ctx.forms.get<ReportInfo>();
    info.ReportFileName = path;
    info.Tag = RepQuery[Index];
}

void ReportTypeForm::OKCommand_Click() {
    m_ctx.ui.ShowModal(m_ctx.forms.get<ReportInfo>());
    hide();
}

void ReportTypeForm::CancelCommand_Click() { hide(); }
