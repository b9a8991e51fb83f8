#include "PlotData.h"

#include "platform/runtime/Runtime.h"

#include <cmath>

namespace plot {

using engine::DbError;

double DayNumber(QDate date) { return runtime::DateSerial(date.startOfDay()); }

QDate DateOfDay(double dayNumber) { return QDate(1899, 12, 30).addDays(qint64(std::floor(dayNumber))); }

DataSets FillDataSets(ProgramState& st, int studentId, QStringList* errors) {
    DataSets out;
    auto report = [&](const DbError& e) {
        if (e.number() != engine::ErrNoCurrentRecord && errors) errors->append("StudentInfo " + e.description());
    };
    QList<QVariantList> roster;
    try {
        engine::Recordset r =
            st.CurrentDB.OpenDynaset("SELECT * FROM StudentClass", QString("StudentClass.StudentID = %1").arg(studentId));
        if (r.RecordCount() > 0) r.MoveFirst();
        while (!r.AtEOF()) {
            roster.append({r.field("ClassID")});
            r.MoveNext();
        }
    } catch (const DbError& e) {
        report(e);
    }
    for (int c = 0; c < roster.size(); ++c) {
        const int classId = roster[c][0].toInt();
        QString name;
        bool weighted = false;
        try {
            st.ClassesRS.setIndex("ClassID");
            st.ClassesRS.Seek("=", classId);
            name = (st.ClassesRS.field("ClassName").toString() + "  " + st.ClassesRS.field("Term").toString()).left(40);
            weighted = st.ClassesRS.field("UseWeight").toInt() == 1;
        } catch (const DbError& e) {
            report(e);
        }
        QList<Point> points;
        try {
            engine::Recordset a = st.CurrentDB.OpenDynaset("SELECT *  FROM Assignments ORDER BY Assignments.Date, Assignments.AssignmentID ",
                                                           QString("Assignments.ClassID = %1").arg(classId));
            if (a.RecordCount() > 0) a.MoveFirst();
            double earned = 0, possible = 0;
            st.ScoresRS.setIndex("ScoreIndex");
            for (; !a.AtEOF(); a.MoveNext()) {
                st.ScoresRS.Seek("=", studentId, a.field("AssignmentID"));
                if (st.ScoresRS.NoMatch()) continue;
                const QVariant score = st.ScoresRS.field("Score");
                const QVariant maximum = a.field("MaximumPoints");
                // No usable maximum: the score gives no percentage and cannot count.
                if (score.isNull() || maximum.isNull() || maximum.toDouble() == 0.0) continue;
                double weight = a.field("Weight").isNull() ? 1.0 : a.field("Weight").toDouble();
                if (weighted) {
                    if (a.field("Weight").isNull()) {
                        st.AssignmentsRS.setIndex("AssignmentID");
                        st.AssignmentsRS.Seek("=", a.field("AssignmentID"));
                        st.AssignmentsRS.Edit();
                        st.AssignmentsRS.setField("Weight", 1);
                        st.AssignmentsRS.Update();
                    }
                    earned += score.toDouble() * weight / maximum.toDouble();
                    possible += weight;
                } else {
                    earned += score.toDouble();
                    possible += maximum.toDouble();
                }
                const QDate date = a.field("Date").typeId() == QMetaType::QDateTime ? a.field("Date").toDateTime().date()
                                                                                   : a.field("Date").toDate();
                points.append({DayNumber(date), 100.0 * score.toDouble() / maximum.toDouble(),
                               possible > 0 ? 100.0 * earned / possible : 0.0});
            }
        } catch (const DbError& e) {
            report(e);
        }
        out.names.append(name);
        out.points.append(points);
        // The last six classes are the ones plotted.
        out.selected.append(true);
        if (c >= 6) out.selected[c - 6] = false;
    }
    return out;
}

Scale ComputeScale(const DataSets& data, QDate today) {
    Scale s;
    for (int c = 0; c < data.points.size() && c < data.selected.size(); ++c) {
        if (!data.selected[c] || data.points[c].isEmpty()) continue;
        const QDate last = DateOfDay(data.points[c].last().date);
        if (!s.LastDate.isValid() || last > s.LastDate) s.LastDate = last;
        const QDate first = DateOfDay(data.points[c].first().date);
        if (!s.FirstDate.isValid() || first < s.FirstDate) s.FirstDate = first;
    }
    if (!s.FirstDate.isValid()) s.FirstDate = today;
    if (!s.LastDate.isValid()) s.LastDate = today;
    s.NumXDivisions = 15;
    int span = int(s.FirstDate.daysTo(s.LastDate));
    if (span < 1) span = 1;
    s.DaysPerDivision = span / (s.NumXDivisions - 1) + 1;
    s.totalDays = s.DaysPerDivision * (s.NumXDivisions - 1);
    s.NumYDivisions = 12;
    // Half the spare days go before the first point, so that the data sits in the middle.
    s.FirstDate = s.FirstDate.addDays((span - s.totalDays) / 2);
    return s;
}

}  // namespace plot
