#pragma once

#include <QList>
#include <QVariant>

// A student's average in a class, from the scored assignments. Sums are kept in single precision,
// as the average is stored.
namespace averages {

struct Scored {
    QVariant score;          // null: no score
    QVariant maximumPoints;  // may be null or 0
    QVariant weight;         // null counts as 1
};

// Plain: total points over the total maximum points. Weighted: the weighted mean of the fractions
// score / maximum points. Assignments that cannot give a value (no score, no usable maximum) are
// left out; with nothing left the average is 0.
double Compute(const QList<Scored>& scored, bool weighted);

}  // namespace averages
