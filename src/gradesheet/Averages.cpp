#include "Averages.h"

#include <cmath>

namespace averages {

double Compute(const QList<Scored>& scored, bool weighted) {
    float totalPoints = 0.0f;
    float totalMax = 0.0f;
    for (const Scored& s : scored) {
        if (s.score.isNull() || s.maximumPoints.isNull()) continue;
        const float score = s.score.toFloat();
        const float maximum = s.maximumPoints.toFloat();
        if (weighted) {
            // A maximum of 0 gives no fraction: such an assignment cannot count.
            if (maximum == 0.0f) continue;
            const float weight = s.weight.isNull() ? 1.0f : s.weight.toFloat();
            totalPoints += score * weight / maximum;
            totalMax += weight;
        } else {
            totalPoints += score;
            totalMax += maximum;
        }
    }
    if (!(totalMax > 0.0f)) return 0.0;
    const float average = totalPoints / totalMax;
    return std::isfinite(average) ? double(average) : 0.0;
}

}  // namespace averages
