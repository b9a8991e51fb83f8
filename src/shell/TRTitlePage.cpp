#include "TRTitlePage.h"

#include "Context.h"
#include "MDITallyroll.h"
#include "VenetianBlind.h"
#include "data/Settings.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QLabel>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

TRTitlePage::TRTitlePage(Context& ctx) : Form(ctx, nullptr, Qt::Window) {
    setWindowTitle("Tallyroll");
    setFixedSize(twips::toPixels(5970), twips::toPixels(2835));
    KVTTitle = new QLabel(this);
    KVTTitle->setObjectName("KVTTitle");
    KVTTitle->setPixmap(QPixmap(":/tallyroll/title.png"));
    KVTTitle->setGeometry(0, 0, twips::toPixels(6000), twips::toPixels(2850));
    KVTTitle->hide();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_surface = QPixmap(size());
    m_surface.fill(palette().color(QPalette::Window));
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TRTitlePage::Timer1_Timer);
}

void TRTitlePage::Form_Load() {
    settings::LoadSettings(m_ctx.state);
    TitleState = 0;
    Timer1->start();
}

void TRTitlePage::Form_Activate() {
    m_ctx.ui.SetBusy(true);
    if (!Timer1->isActive()) Timer1->start();
}

void TRTitlePage::StartTimer() { m_ctx.state.StartTime = runtime::timeGetTime(); }

void TRTitlePage::WaitUntil(int ms) {
    while (runtime::timeGetTime() - m_ctx.state.StartTime < ms) {
    }
}

void TRTitlePage::VenetianBlindVert(QLabel* Source, int StripeWidth, int msecdelay) {
    const QPixmap image = Source->pixmap();
    const int innerWidth = image.width();
    const int innerHeight = image.height();
    const venetian::Plan plan = venetian::MakePlan(innerWidth, StripeWidth, msecdelay);
    int k = 0;
    for (int i = 0; i < plan.steps; ++i) {
        StartTimer();
        ++k;
        {
            QPainter p(&m_surface);
            for (const QRect& r : venetian::StepRects(plan, innerHeight, StripeWidth, k))
                p.drawPixmap(Source->pos() + r.topLeft(), image, r);
        }
        repaint();
        WaitUntil(plan.stepDelay);
    }
}

void TRTitlePage::Timer1_Timer() {
    if (TitleState == 0) {
        QCoreApplication::processEvents();
        VenetianBlindVert(KVTTitle, 20, 1500);
        KVTTitle->show();
        TitleState = 1;
        TitleTicks = 0;
        return;
    }
    ++TitleTicks;
    if (TitleTicks > 4) {
        Timer1->stop();
        m_ctx.ui.SetBusy(false);
        hide();
        m_ctx.forms.get<MDITallyroll>().show();
    }
}

void TRTitlePage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_surface);
}
