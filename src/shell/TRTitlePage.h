#pragma once

#include "platform/ui/Form.h"

#include <QPixmap>
#include <cstdint>

class QLabel;
class QTimer;

// The title window: reveals the title picture like a venetian blind opening, then hands over to
// the main window. It also reads the settings when it loads.
class TRTitlePage : public Form {
    Q_OBJECT

public:
    explicit TRTitlePage(Context& ctx);

    void VenetianBlindVert(QLabel* Source, int StripeWidth, int msecdelay);
    void Timer1_Timer();

    QLabel* KVTTitle;
    QTimer* Timer1;
    std::int16_t TitleState = 0;
    std::int16_t TitleTicks = 0;

    // What the window shows of itself while the picture box is still hidden.
    const QPixmap& surface() const { return m_surface; }

protected:
    void Form_Load() override;
    void Form_Activate() override;
    bool followsWindowActivation() const override { return true; }
    void paintEvent(QPaintEvent* e) override;

private:
    void StartTimer();
    void WaitUntil(int ms);

    QPixmap m_surface;
};
