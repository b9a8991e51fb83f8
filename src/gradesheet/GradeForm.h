#pragma once

#include "platform/ui/Form.h"

// The grade sheet: one class at a time, students down, assignments across.
class GradeForm : public Form {
    Q_OBJECT

public:
    explicit GradeForm(Context& ctx);
};
