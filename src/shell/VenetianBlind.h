#pragma once

#include <QList>
#include <QRect>

// The arithmetic of the title reveal: the picture is cut into vertical stripes of equal width and
// every stripe grows from one pixel to its full width, one pixel per step.
namespace venetian {

struct Plan {
    double numStripes;  // inner width / stripe width, with its fraction
    int stepDelay;      // milliseconds per step, rounded to the nearest whole number
    int steps;          // one step per pixel of stripe width
};

Plan MakePlan(int innerWidth, int stripeWidth, int msecdelay);

// The source rectangles copied at step k (1-based: every stripe k pixels wide). Only whole
// stripes are drawn; the columns right of the last whole stripe are left to the picture itself.
QList<QRect> StepRects(const Plan& plan, int innerHeight, int stripeWidth, int k);

}  // namespace venetian
