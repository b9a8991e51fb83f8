#include "GradeForm.h"

GradeForm::GradeForm(Context& ctx) : Form(ctx) { setWindowTitle("Grades"); }
