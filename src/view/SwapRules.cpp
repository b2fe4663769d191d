#include "view/SwapRules.h"

#include "base/Naming.h"
#include "store/TextRules.h"
#include "view/TimetableModel.h"

SwapRules::Request SwapRules::Decide(const TimetableModel& model, int x, int y, int scrollX, int scrollY)
{
    if (!model.layout.isAdjusting() || model.selection.swapArmed != 1)
        return {};
    const auto cell = model.MasterCellAt(x, y, scrollX, scrollY);
    if (!cell)
        return {};
    return DecideForCell(model, cell->classIndex, cell->day, cell->period);
}

SwapRules::Request SwapRules::DecideForCell(const TimetableModel& model, int classIndex, int day, int period)
{
    Request request;
    if (!model.layout.isAdjusting() || model.selection.swapArmed != 1)
        return request;
    // Neither the clicked cell nor the selection may point outside the grids
    // (a selection left from a larger timetable, for one).
    if (!model.isCell(classIndex, day, period)
        || !model.isCell(model.selection.selectedClass, model.selection.selectedDay, model.selection.selectedPeriod))
        return request;
    if (classIndex != model.selection.selectedClass) {
        request.decision = Decision::RefuseOtherClass;
        request.text = refusalText();
        return request;
    }

    const int c = classIndex;
    request.classIndex = c;
    request.selectedDay = model.selection.selectedDay;
    request.selectedPeriod = model.selection.selectedPeriod;
    request.clickedDay = day;
    request.clickedPeriod = period;

    const QString& s0 = model.subject(c, request.selectedDay, request.selectedPeriod);
    const QString& t0 = model.teacher(c, request.selectedDay, request.selectedPeriod);
    const QString& s1 = model.subject(c, day, period);
    const QString& t1 = model.teacher(c, day, period);

    const int k1 = model.FindTeacherClash(t1, c, request.selectedDay, request.selectedPeriod);
    const int k0 = model.FindTeacherClash(t0, c, day, period);
    const QString a = LessonText(model, c, request.selectedDay, request.selectedPeriod);
    const QString b = LessonText(model, c, day, period);

    if (k1 == -1 && k0 == -1) {
        if (TextRules::isEmpty(s0) || TextRules::isEmpty(s1)) {
            request.decision = Decision::SwapAtOnce;
        } else {
            request.decision = Decision::AskConfirm;
            request.text = QStringLiteral("您确定\r\n") + a + QStringLiteral("     和\r\n") + b
                + QStringLiteral("     调课吗？");
        }
    } else {
        request.decision = Decision::AskForce;
        request.text = a + QStringLiteral("     和\r\n") + b + QStringLiteral("     课程冲突，\r\n是否强制调课？");
    }
    return request;
}

void SwapRules::Perform(TimetableModel& model, const Request& request)
{
    if (request.decision != Decision::SwapAtOnce && request.decision != Decision::AskConfirm
        && request.decision != Decision::AskForce)
        return;
    const int c = request.classIndex;
    const int d0 = request.selectedDay;
    const int p0 = request.selectedPeriod;
    const int d1 = request.clickedDay;
    const int p1 = request.clickedPeriod;
    if (!model.isCell(c, d0, p0) || !model.isCell(c, d1, p1))
        return;

    const QString s0 = model.subject(c, d0, p0);
    const QString t0 = model.teacher(c, d0, p0);
    const QString s1 = model.subject(c, d1, p1);
    const QString t1 = model.teacher(c, d1, p1);
    const int n0 = model.SubjectNumber(s0);
    const int n1 = model.SubjectNumber(s1);
    // Found before the exchange, with the subjects the slots held.
    const int fixed0 = model.FindFixedLesson(c, d0, p0, n0);
    const int fixed1 = model.FindFixedLesson(c, d1, p1, n1);

    model.setLesson(c, d1, p1, s0, t0);
    model.setLesson(c, d0, p0, s1, t1);

    // The fixed lessons follow their subjects. A move into a free slot is
    // treated like any other exchange: the free slot holds no fixed lesson, so
    // the fixed entry of the moved lesson goes with it.
    if (fixed0 != -1 && fixed1 != -1) {
        TimetableData::FixedLesson first = model.fixedLesson(fixed0);
        TimetableData::FixedLesson second = model.fixedLesson(fixed1);
        first.subject = n1;
        second.subject = n0;
        model.setFixedLesson(fixed0, first);
        model.setFixedLesson(fixed1, second);
    } else if (fixed0 != -1) {
        TimetableData::FixedLesson lesson = model.fixedLesson(fixed0);
        lesson.day = d1;
        lesson.period = p1;
        model.setFixedLesson(fixed0, lesson);
    } else if (fixed1 != -1) {
        TimetableData::FixedLesson lesson = model.fixedLesson(fixed1);
        lesson.day = d0;
        lesson.period = p0;
        model.setFixedLesson(fixed1, lesson);
    }
    model.selection.swapArmed = 0;
}

QString SwapRules::LessonText(const TimetableModel& model, int c, int d, int p)
{
    // Most schools name their classes "七(1)班" already; the question adds 班 only where it is missing.
    const QString& name = model.className(c);
    const QString suffix = name.endsWith(QStringLiteral("班")) ? QString() : QStringLiteral("班");
    return name + suffix + DayName(d) + QStringLiteral("第") + QString::number(p + 1)
        + QStringLiteral("节") + model.subject(c, d, p);
}
