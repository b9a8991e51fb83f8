#include "shell/MDITallyroll.h"
#include "shell/TRTitlePage.h"
#include "shell/VenetianBlind.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QLabel>
#include <QTimer>

TEST(VenetianBlind, StripeAndStepArithmetic) {
    struct Case {
        int width, stripe, delay;
        double numStripes;
        int stepDelay, stripesDrawn;
    };
    const Case cases[] = {
        {400, 20, 1500, 20.0, 75, 20},
        {410, 20, 1500, 20.5, 75, 20},  // columns 400-409 are left to the picture
        {400, 1, 1500, 400.0, 1500, 400},
        {400, 16, 1000, 25.0, 62, 25},  // 62.5 rounds to even
        {10, 20, 100, 0.5, 5, 0},
    };
    for (const Case& c : cases) {
        const venetian::Plan p = venetian::MakePlan(c.width, c.stripe, c.delay);
        EXPECT_DOUBLE_EQ(p.numStripes, c.numStripes);
        EXPECT_EQ(p.stepDelay, c.stepDelay);
        EXPECT_EQ(p.steps, c.stripe);
        const QList<QRect> rects = venetian::StepRects(p, 190, c.stripe, 3);
        ASSERT_EQ(rects.size(), c.stripesDrawn);
        if (!rects.isEmpty()) {
            EXPECT_EQ(rects.last(), QRect((c.stripesDrawn - 1) * c.stripe, 0, 3, 190));
        }
    }
}

class TitlePageTest : public AppTest {};

TEST_F(TitlePageTest, RevealCoversWholeStripesOnly) {
    auto& title = ctx->forms.get<TRTitlePage>();
    title.Timer1->stop();
    QPixmap picture(210, 40);
    picture.fill(Qt::red);
    QLabel source(&title);
    source.setPixmap(picture);
    source.setGeometry(0, 0, 210, 40);
    title.VenetianBlindVert(&source, 20, 20);
    const QImage shown = title.surface().toImage();
    EXPECT_EQ(shown.pixelColor(0, 5), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(199, 5), QColor(Qt::red));
    EXPECT_NE(shown.pixelColor(205, 5), QColor(Qt::red)) << "past the last whole stripe";
}

TEST_F(TitlePageTest, LoadsSettingsRevealsThenHandsOver) {
    QFile ini(path("WINKVT.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[TR]\nCW=950\nCID=3\n");
    ini.close();
    auto& title = ctx->forms.get<TRTitlePage>();
    EXPECT_EQ(title.windowTitle(), "Tallyroll");
    EXPECT_EQ(ctx->state.ColumnWidth, 950);
    EXPECT_EQ(ctx->state.CurrentClassID, 3);
    EXPECT_TRUE(title.Timer1->isActive());
    EXPECT_EQ(title.Timer1->interval(), 1000);

    title.show();
    title.Activate();
    EXPECT_TRUE(ui.busy);
    title.Timer1_Timer();  // the reveal
    EXPECT_TRUE(title.KVTTitle->isVisible());
    EXPECT_EQ(title.TitleState, 1);
    const QImage picture = title.KVTTitle->pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(400, 190));
    EXPECT_EQ(title.surface().toImage().pixelColor(200, 60), picture.pixelColor(200, 60));
    for (int tick = 1; tick <= 4; ++tick) {
        title.Timer1_Timer();
        EXPECT_TRUE(title.isVisible()) << tick;
        EXPECT_TRUE(ui.busy);
    }
    title.Timer1_Timer();
    EXPECT_FALSE(title.isVisible());
    EXPECT_FALSE(title.Timer1->isActive());
    EXPECT_FALSE(ui.busy);
    ASSERT_TRUE(ctx->forms.isLoaded<MDITallyroll>());
    EXPECT_TRUE(ctx->forms.find<MDITallyroll>()->isVisible());
    EXPECT_TRUE(ctx->forms.isLoaded<TRTitlePage>()) << "the title window stays loaded";
}
