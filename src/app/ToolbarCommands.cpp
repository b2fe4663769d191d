#include "app/ToolbarCommands.h"

namespace ToolbarCommands {

Outcome decide(const DisplayFlags& flags, int command)
{
    Outcome out;
    out.flags = flags;
    const bool masterShown = flags.showTimetable != 0 && flags.showTeacherTable != 1;
    switch (command) {
    case Home:
        out.flags = {0, 0, 0};
        out.applyFlags = true;
        break;
    case Adjust:
        if (flags.showTimetable == 0)
            break;
        if (flags.showTeacherTable == 1) {
            out.refusal = QStringLiteral("请打开总课表再调课！");
            break;
        }
        out.flags.adjustMode = flags.adjustMode == 0 ? 1 : 0;
        out.applyFlags = true;
        break;
    case Save:
        if (masterShown)
            out.work = Work::Save;
        break;
    case MasterTable:
        out.flags = {1, 0, 0};
        out.applyFlags = true;
        break;
    case TeacherTable:
        out.flags = {1, 1, 0};
        out.applyFlags = true;
        break;
    case Export:
        if (flags.showTimetable != 0)
            out.work = flags.showTeacherTable == 1 ? Work::ExportTeachers : Work::ExportMaster;
        break;
    case Optimize:
        if (masterShown)
            out.work = Work::Optimize;
        break;
    default:
        break;
    }
    return out;
}

} // namespace ToolbarCommands
