#include "store/DemoSchool.h"

#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QStringList>

#include <array>
#include <vector>

namespace DemoSchool {

const QStringList& subjects()
{
    static const QStringList names{
        QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"), QStringLiteral("物理"),
        QStringLiteral("化学"), QStringLiteral("生物"), QStringLiteral("历史"), QStringLiteral("地理"),
        QStringLiteral("道德与法治"), QStringLiteral("体育"), QStringLiteral("音乐"), QStringLiteral("美术"),
        QStringLiteral("信息技术"), QStringLiteral("心理健康")};
    return names;
}

namespace {

struct Grade
{
    QString name;      // as written in 教师分工
    QString prefix;    // class names: prefix + "(n)班"
    int planRow;       // row of 周课时计划
    std::array<int, 14> lessons; // per subject of subjects(), 40 in all
};

const std::array<Grade, 3> kGrades{{
    {QStringLiteral("七年级"), QStringLiteral("七"), 6, {6, 6, 6, 0, 0, 3, 3, 3, 3, 3, 2, 2, 2, 1}},
    {QStringLiteral("八年级"), QStringLiteral("八"), 7, {6, 6, 5, 3, 0, 2, 3, 2, 3, 3, 2, 2, 2, 1}},
    {QStringLiteral("九年级"), QStringLiteral("九"), 8, {6, 6, 6, 4, 4, 0, 3, 0, 3, 3, 1, 1, 2, 1}},
}};

constexpr int kClassesPerGrade = 6;
constexpr int kDays = 5;
constexpr int kPeriods = 8;

// Names for the teachers, handed out in order.
QString teacherName(int index)
{
    static const QStringList surnames{
        QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"), QStringLiteral("刘"), QStringLiteral("陈"),
        QStringLiteral("杨"), QStringLiteral("赵"), QStringLiteral("黄"), QStringLiteral("周"), QStringLiteral("吴"),
        QStringLiteral("徐"), QStringLiteral("孙"), QStringLiteral("胡"), QStringLiteral("朱"), QStringLiteral("高"),
        QStringLiteral("林"), QStringLiteral("何"), QStringLiteral("郭"), QStringLiteral("马"), QStringLiteral("罗")};
    static const QStringList given{
        QStringLiteral("建国"), QStringLiteral("丽华"), QStringLiteral("志强"), QStringLiteral("秀英"),
        QStringLiteral("海燕"), QStringLiteral("伟"), QStringLiteral("敏"), QStringLiteral("静"),
        QStringLiteral("晓明"), QStringLiteral("红梅"), QStringLiteral("国庆"), QStringLiteral("春兰"),
        QStringLiteral("文博"), QStringLiteral("雪"), QStringLiteral("磊"), QStringLiteral("婷")};
    const qsizetype s = index % surnames.size();
    const qsizetype g = (index / surnames.size() + index * 7) % given.size();
    return surnames[s] + given[g];
}

// How many classes one teacher of a subject takes: the main subjects two, the others three.
int classesPerTeacher(int subject)
{
    return subject < 3 ? 2 : 3;
}

} // namespace

void write()
{
    Transaction tx(QStringLiteral("写入示例学校"));

    PlanStore::saveWeek(kDays, kPeriods);

    QStringList subjectSlots = subjects();
    while (subjectSlots.size() < Plan::kSubjectSlots)
        subjectSlots << TextRules::emptyMarker();
    PlanStore::saveSubjects(subjectSlots);

    for (const Grade& grade : kGrades) {
        std::vector<int> counts(grade.lessons.begin(), grade.lessons.end());
        int total = 0;
        for (int n : counts)
            total += n;
        PlanStore::saveWeeklyPlanRow(grade.planRow, total, counts);
    }

    // Teacher assignment: per grade and subject, consecutive classes share a teacher.
    std::vector<QStringList> assignments;
    QStringList classNames;
    int nextTeacher = 0;
    for (const Grade& grade : kGrades) {
        std::vector<QStringList> rows(kClassesPerGrade);
        for (int k = 0; k < kClassesPerGrade; ++k) {
            const QString name = grade.prefix + QStringLiteral("(%1)班").arg(k + 1);
            rows[static_cast<size_t>(k)] << grade.name << name;
            classNames << name;
        }
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            const bool taught = s < subjects().size() && grade.lessons[static_cast<size_t>(s)] > 0;
            QString teacher;
            for (int k = 0; k < kClassesPerGrade; ++k) {
                if (!taught) {
                    rows[static_cast<size_t>(k)] << TextRules::emptyMarker();
                    continue;
                }
                if (k % classesPerTeacher(s) == 0)
                    teacher = teacherName(nextTeacher++);
                rows[static_cast<size_t>(k)] << teacher;
            }
        }
        for (QStringList& row : rows)
            assignments.push_back(row);
    }
    PlanStore::saveAssignments(assignments);

    // Fixed lessons: class, day "1".., period "1".., subject.
    PlanStore::saveFixedLessons({
        {QStringLiteral("七(1)班"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("语文")},
        {QStringLiteral("七(4)班"), QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("心理健康")},
        {QStringLiteral("八(2)班"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("英语")},
        {QStringLiteral("九(6)班"), QStringLiteral("5"), QStringLiteral("8"), QStringLiteral("心理健康")},
    });

    // Physical education of 九(1)班 and 九(2)班 is taught together.
    PlanStore::saveCombinedClasses({
        {QStringLiteral("体育"), QStringLiteral("九(1)班"), QStringLiteral("九(2)班"), TextRules::emptyMarker(),
         TextRules::emptyMarker(), TextRules::emptyMarker()},
    });

    // Zones: 24 rows per class, one per subject position, days 1..7 ("9" = no zone).
    const int pe = subjects().indexOf(QStringLiteral("体育"));
    const int maths = subjects().indexOf(QStringLiteral("数学"));
    std::vector<QStringList> subjectZones;
    std::vector<QStringList> teacherZones;
    for (int c = 0; c < classNames.size(); ++c) {
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            QStringList subjectRow{classNames[c]};
            QStringList teacherRow{classNames[c]};
            for (int d = 0; d < Plan::kMaxDays; ++d) {
                // No physical education in the first two periods of the morning.
                subjectRow << (s == pe && d < kDays ? QStringLiteral("234567") : QStringLiteral("9"));
                // The mathematics teacher of the first two seventh-grade classes
                // is only at school in the morning on Friday.
                teacherRow << (s == maths && c < 2 && d == 4 ? QStringLiteral("0123") : QStringLiteral("9"));
            }
            subjectZones.push_back(subjectRow);
            teacherZones.push_back(teacherRow);
        }
    }
    PlanStore::saveSubjectZones(subjectZones);
    PlanStore::saveTeacherZones(teacherZones);

    tx.commit();
}

} // namespace DemoSchool
