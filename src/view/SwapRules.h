#pragma once

#include <QString>

class TimetableModel;

// Manual adjustment in the master table: what a right-click asks for, and the
// exchange of two lessons of one class with the fixed lessons kept in step.
// The widget shows the question and reports the answer; nothing here draws.
class SwapRules
{
public:
    enum class Decision {
        Ignore,       // not in adjustment mode, not armed, or outside the cells: nothing at all
        RefuseOtherClass, // another class's row: show refusalText(), change nothing
        SwapAtOnce,   // no clash and one slot free: exchange without a question
        AskConfirm,   // no clash, both occupied: "您确定…调课吗？"
        AskForce,     // a teacher would be booked twice: "…课程冲突，是否强制调课？"
    };

    struct Request
    {
        Decision decision = Decision::Ignore;
        int classIndex = -1;
        int selectedDay = -1; // the selected slot (d0, p0)
        int selectedPeriod = -1;
        int clickedDay = -1; // the clicked slot (d1, p1)
        int clickedPeriod = -1;
        QString text; // the refusal or the question, empty otherwise
    };

    // The right-click at client point (x, y) with the view scrolled to (scrollX, scrollY).
    static Request Decide(const TimetableModel& model, int x, int y, int scrollX, int scrollY);
    // The same for a clicked cell given by class row and slot.
    static Request DecideForCell(const TimetableModel& model, int classIndex, int day, int period);

    // Carries out a request that was SwapAtOnce, or AskConfirm / AskForce
    // answered with OK: exchanges the two lessons, moves the fixed lessons with
    // them and disarms the selection. Other requests change nothing.
    static void Perform(TimetableModel& model, const Request& request);

    // "class班星期一第1节subject" for the lesson at (c, d, p); a free slot shows "H".
    // A class name that already ends in 班 is not given a second one.
    static QString LessonText(const TimetableModel& model, int c, int d, int p);

    static QString refusalText() { return QStringLiteral("不允许跨班调课，请在同班级调课！"); }
    static QString questionCaption() { return QStringLiteral("温馨提示"); }
};
