#pragma once

#include <QString>

// The main frame's display flags and what each toolbar command does to them.
struct DisplayFlags
{
    int showTimetable = 0;
    int showTeacherTable = 0;
    int adjustMode = 0;
    bool operator==(const DisplayFlags&) const = default;
};

namespace ToolbarCommands {

enum Id : int {
    Home = 1101,       // 返回主页
    Adjust = 1102,     // 手工调课 / 结束调课
    Save = 1103,       // 保存课表
    MasterTable = 1104, // 查询总表
    TeacherTable = 1105, // 查教师表
    Export = 1106,     // 导出课表
    Optimize = 1107,   // 优化课表
};

enum class Work { None, Save, ExportMaster, ExportTeachers, Optimize };

struct Outcome
{
    DisplayFlags flags;     // the flags afterwards
    bool applyFlags = false; // SetDisplayMode with them
    QString refusal;        // a message to show instead, flags unchanged
    Work work = Work::None; // what else the command starts
};

// The adjustment button's text for the flags.
inline QString adjustButtonText(const DisplayFlags& flags)
{
    return flags.adjustMode == 1 ? QStringLiteral("结束调课") : QStringLiteral("手工调课");
}

Outcome decide(const DisplayFlags& flags, int command);

} // namespace ToolbarCommands
