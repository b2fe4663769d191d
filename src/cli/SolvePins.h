#pragma once

#include "base/Failure.h"
#include "engine/solver/TimetableSolver.h"

#include <QString>
#include <QStringList>

#include <vector>

class SchoolPlan;

// The cells `solve --repair` must keep as the saved timetable has them, as
// given on the command line ("--pin CLASS,DAY,PERIOD") or in a file of such
// lines: the lesson in that cell stays, like a hand move kept by 优化课表.
namespace SolvePins {

// One pin as written, before the plan is known.
struct Written
{
    QString className;
    int day = 0;    // 1-based as written
    int period = 0; // 1-based as written
    QString source; // where it came from, for messages: "--pin …" or "FILE 第3行"
};

// Parses "CLASS,DAY,PERIOD": the class name may itself hold commas (the last
// two fields are the day and the period); a day is 1..7 or its name (星期一,
// 周一), a period 1..9 or 第N节. Returns false with the reason in error.
bool parse(const QString& text, const QString& source, Written& pin, QString& error);

// The pins of a file, one a line; blank lines and lines starting with '#'
// are skipped. A file that cannot be read is a File failure, a line that
// cannot be parsed a Refused one naming the line.
Status readFile(const QString& path, std::vector<Written>& pins);

// The written pins as cells of the plan: an unknown class or a day or period
// outside the week is refused, naming the pin. A cell given twice counts once.
Status resolve(const SchoolPlan& plan, const std::vector<Written>& written, std::vector<SolverPin>& pins);

} // namespace SolvePins
