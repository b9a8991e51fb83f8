#pragma once

#include "Ui.h"
#include "platform/engine/DbError.h"

#include <QString>
#include <initializer_list>

// The error rules of a procedure, written where the step is: each helper runs one step and either
// swallows its engine error or shows it behind the procedure's prefix, then lets the procedure go
// on. They return whether the step succeeded.
namespace steps {

template <typename Step>
bool Ignore(Step&& step) {
    try {
        step();
        return true;
    } catch (const engine::DbError&) {
        return false;
    }
}

// Shows "prefix + description" unless the error's number is one the procedure ignores.
template <typename Step>
bool Report(Ui& ui, const QString& prefix, Step&& step, std::initializer_list<int> ignored = {}) {
    try {
        step();
        return true;
    } catch (const engine::DbError& e) {
        for (int n : ignored)
            if (n == e.number()) return false;
        ui.MsgBox(prefix + e.description());
        return false;
    }
}

}  // namespace steps
