#pragma once

// A realistic junior middle school for trying the program: three grades of six
// classes, a 5-day week of 8 periods, fourteen subjects, teachers who each
// teach one subject in two to four classes, a few fixed lessons, subject and
// teacher zones and one combined group.
#include <QStringList>

namespace DemoSchool {

// The fourteen subjects of the demo school, subject 1 first.
const QStringList& subjects();

// Writes the school into the open (new) database, in one transaction.
void write();

} // namespace DemoSchool
