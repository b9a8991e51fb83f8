#include "HelpItems.h"

#include "AboutForm.h"
#include "Context.h"
#include "platform/ui/Ui.h"

#include <QAction>
#include <QMenu>

namespace {
constexpr const char* kHelpFile = "Tlyroll.hlp";
}

HelpItems::HelpItems(Context& ctx, QWidget* owner, Kind kind) : QObject(owner), m_ctx(ctx) {
    const bool main = kind == Kind::Main;
    menu = new QMenu("&Help", owner);
    GettingStartedMenu = menu->addAction(main ? "Getting Started" : "Getting Started           ");
    IndexMenu = menu->addAction(main ? "Help Index" : "Index");
    menu->addSeparator();
    FreeCusRepMenu = main ? menu->addAction("Free Custom Reports") : nullptr;
    if (main) menu->addSeparator();
    TechSupportMenu = menu->addAction("Technical Support");
    menu->addSeparator();
    AboutMenu = menu->addAction("About Tallyroll");
    connect(GettingStartedMenu, &QAction::triggered, this, &HelpItems::GettingStartedMenu_Click);
    connect(IndexMenu, &QAction::triggered, this, &HelpItems::IndexMenu_Click);
    if (FreeCusRepMenu) connect(FreeCusRepMenu, &QAction::triggered, this, &HelpItems::FreeCusRepMenu_Click);
    connect(TechSupportMenu, &QAction::triggered, this, &HelpItems::TechSupportMenu_Click);
    connect(AboutMenu, &QAction::triggered, this, &HelpItems::AboutMenu_Click);
}

void HelpItems::GettingStartedMenu_Click() { m_ctx.ui.ShowHelp(kHelpFile, Ui::HelpCommand::Context, 26); }
void HelpItems::IndexMenu_Click() { m_ctx.ui.ShowHelp("TLYROLL.HLP", Ui::HelpCommand::PartialKey, 0); }
void HelpItems::FreeCusRepMenu_Click() { m_ctx.ui.ShowHelp(kHelpFile, Ui::HelpCommand::Context, 28); }
void HelpItems::TechSupportMenu_Click() { m_ctx.ui.ShowHelp(kHelpFile, Ui::HelpCommand::Context, 22); }

void HelpItems::AboutMenu_Click() {
    auto& about = m_ctx.forms.get<AboutForm>();
    about.show();
    about.raise();
    about.activateWindow();
}
