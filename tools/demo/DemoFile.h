#pragma once

#include <QList>
#include <QString>
#include <cstdint>

// Makes data files full of believable classes, for trying the program out, for screenshots and for
// the benchmarks. The same spec and seed always give the same file.
namespace demo {

struct ClassSpec {
    QString name;
    QString term;
    int students = 25;
    int assignments = 12;
    double scoredFraction = 1.0;  // share of the cells that hold a score
    bool weighted = false;
};

struct Spec {
    QList<ClassSpec> classes;
    std::int64_t fillerScores = 0;  // extra scores in extra classes, to make a file big
    std::uint32_t seed = 2026;
    QString password;
};

struct Result {
    QList<int> classIds;  // in the order the classes were asked for
    std::int64_t scores = 0;
};

// The file a teacher would recognise: four classes of one school year, some students in several.
Spec SchoolYear();

// Creates the data file at path (which must not exist) and fills it. Throws engine::DbError.
Result Generate(const QString& path, const Spec& spec);

}  // namespace demo
