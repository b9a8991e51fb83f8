#include "VenetianBlind.h"

#include <cmath>

namespace venetian {

Plan MakePlan(int innerWidth, int stripeWidth, int msecdelay) {
    Plan p{};
    if (stripeWidth <= 0) return p;
    p.numStripes = double(innerWidth) / stripeWidth;
    // Rounded half to even, as the original integer conversion does.
    p.stepDelay = int(std::nearbyint(double(msecdelay) / stripeWidth));
    p.steps = stripeWidth;
    return p;
}

QList<QRect> StepRects(const Plan& plan, int innerHeight, int stripeWidth, int k) {
    QList<QRect> rects;
    for (int j = 0; j <= plan.numStripes - 1; ++j) rects.append(QRect(j * stripeWidth, 0, k, innerHeight));
    return rects;
}

}  // namespace venetian
