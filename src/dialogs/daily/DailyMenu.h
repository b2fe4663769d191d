#pragma once

class QMainWindow;

// The menu 代课(D) of the main window: 校历, 请假登记, 代课安排, 当日课表,
// 代课单 and 代课统计, each a dialog over the saved timetable.
void addDailyMenu(QMainWindow& window);
