#pragma once

#include "view/TimetableModel.h"

#include <QStringList>

// Small hand-built timetables for the view tests.
//
// A row is written as one text per slot, day by day: "语文/张" is subject and
// teacher, "-" a free slot.
inline void fillRow(TimetableModel& model, int c, const QStringList& lessons)
{
    for (int j = 0; j < lessons.size() && j < model.slotCount(); ++j) {
        const int d = j / model.periodCount;
        const int p = j % model.periodCount;
        if (lessons[j] == QLatin1String("-")) {
            model.setLesson(c, d, p, QStringLiteral("H"), QStringLiteral("H"));
            continue;
        }
        const QStringList parts = lessons[j].split(QLatin1Char('/'));
        model.setLesson(c, d, p, parts.value(0), parts.value(1, QStringLiteral("H")));
    }
}

// Subjects 语文, 数学, 英语, 体育, 音乐 as 1..5, the other 19 places "H".
inline void setSubjects(TimetableModel& model)
{
    const QStringList names{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                            QStringLiteral("体育"), QStringLiteral("音乐")};
    for (int i = 0; i < Plan::kSubjectSlots; ++i)
        model.subjectNames[i] = i < names.size() ? names[i] : QStringLiteral("H");
}

// Classes of `days` × `periods`, every slot free.
inline TimetableModel emptyModel(int days, int periods, const QStringList& classNames)
{
    TimetableModel model;
    setSubjects(model);
    model.resetGrids(days, periods, classNames);
    return model;
}
