#include "engine/PlanningModel.h"

#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"

int PlanningModel::SubjectNumber(const QString& name) const
{
    for (int i = 0; i < kSubjects && i < subjectNames.size(); ++i)
        if (subjectNames[i] == name)
            return i + 1;
    return -1;
}

int PlanningModel::ClassIndex(const QString& name) const
{
    for (int c = 0; c < classCount; ++c)
        if (className(c) == name)
            return c;
    return -1;
}

QString PlanningModel::LoadPlan()
{
    QString refusal;

    // 周工作计划: every row is read, the last one counts.
    {
        TableReader reader(Schema::kWeek);
        while (reader.next()) {
            dayCount = TextRules::toInt(reader.text(QStringLiteral("工作天数")));
            periodCount = TextRules::toInt(reader.text(QStringLiteral("每天节次")));
        }
    }
    if (dayCount < 0 || dayCount > Schema::kMaxDays)
        refusal = QStringLiteral("周工作计划的工作天数为%1，应在1到7天之间，不能排课！").arg(dayCount);
    else if (periodCount < 0 || periodCount > Schema::kMaxPeriods)
        refusal = QStringLiteral("周工作计划的每天节次为%1，应在1到9节之间，不能排课！").arg(periodCount);

    // 任教科目: row k fills slot k, "H" included.
    {
        TableReader reader(Schema::kSubjects);
        int k = 0;
        while (reader.next()) {
            const QString name = reader.text(QStringLiteral("科目"));
            if (k < kSubjects)
                subjectNames[k] = name;
            else if (!TextRules::isEmpty(name) && refusal.isEmpty())
                refusal = QStringLiteral("任教科目第%1行的科目“%2”超出了24个科目的上限，不能排课！").arg(k + 1).arg(name);
            ++k;
        }
    }

    // 教师分工: up to the first row whose grade or class is "H".
    teacherAssignments.clear();
    {
        TableReader reader(Schema::kAssignments);
        while (reader.next()) {
            const QString grade = reader.text(QStringLiteral("年级"));
            const QString klass = reader.text(QStringLiteral("班级"));
            if (TextRules::isEmpty(grade) || TextRules::isEmpty(klass))
                break;
            teacherAssignments << grade << klass;
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                teacherAssignments << reader.text(ordinal);
        }
    }

    // 周课时计划: every row; the weekly total, then subjects 1..24.
    weeklyPlan.clear();
    {
        TableReader reader(Schema::kWeeklyPlan);
        while (reader.next()) {
            weeklyPlan.push_back(TextRules::toInt(reader.text(1)));
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                weeklyPlan.push_back(TextRules::toInt(reader.text(ordinal)));
        }
    }
    return refusal;
}
