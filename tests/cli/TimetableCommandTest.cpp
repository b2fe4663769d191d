#include "CliRunner.h"
#include "TestSupport.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/Database.h"
#include "store/ListRewrite.h"
#include "store/Schema.h"
#include "view/TimetableStore.h"
#include "view/TimetableJson.h"
#include "view/TimetableModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

// A saved timetable of two classes in a 2 × 2 week, written through the model
// into a scratch database, with a fixed lesson and a combined group.
TimetableModel writeTimetable()
{
    TimetableModel model;
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("体育")};
    for (int i = 0; i < Plan::kSubjectSlots; ++i) {
        model.subjectNames[i] = i < subjects.size() ? subjects[i] : QStringLiteral("H");
        updateRow(Schema::kSubjectsTable, {QStringLiteral("科目")}, {model.subjectNames[i]}, i + 1, QStringLiteral("test"));
    }
    Database::exec(QStringLiteral("UPDATE \"周工作计划\" SET \"工作天数\" = '2', \"每天节次\" = '2'"), {},
                   QStringLiteral("test"));
    model.resetGrids(2, 2, {QStringLiteral("七(1)"), QStringLiteral("七(2)")});
    model.setLesson(0, 0, 0, QStringLiteral("语文"), QStringLiteral("张老师"));
    model.setLesson(0, 1, 1, QStringLiteral("体育"), QStringLiteral("赵老师"));
    model.setLesson(1, 0, 1, QStringLiteral("数学"), QStringLiteral("李\"引号\""));
    model.setLesson(1, 1, 1, QStringLiteral("体育"), QStringLiteral("赵老师"));
    model.appendFixedLesson({1, 0, 1, 2});
    model.appendCombinedGroup(3, {0, 1});
    TimetableStore::SaveTimetable(model);
    // The constraints as the dialogs write them (the save leaves them alone).
    rewriteList(Schema::kFixedTable, {{"七(2)", "1", "2", "数学"}}, QStringLiteral("test"));
    rewriteList(Schema::kCombinedTable, {{"体育", "七(1)", "七(2)", "H", "H", "H"}}, QStringLiteral("test"));
    return model;
}

} // namespace

class TimetableCommandTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jsonIsTheSavedModel()
    {
        ScratchDatabase db;
        const TimetableModel model = writeTimetable();
        Database::close();

        const CliRun run = runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.path(), QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.endsWith(QLatin1Char('\n')));
        QCOMPARE(run.out.count(QLatin1Char('\n')), 1);
        const QString line = run.out.trimmed();
        QCOMPARE(line, TimetableJson::object(model));
        QVERIFY(line.startsWith(QStringLiteral("{\"dayCount\":2,\"periodCount\":2,\"subjectNames\":[\"语文\",\"数学\",\"体育\",\"H\"")));
        QVERIFY(line.endsWith(QStringLiteral("\"fixedLessons\":[[1,0,1,2]],\"combinedClasses\":[[3,0,1,-1,-1,-1]]}")));

        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        QCOMPARE(object.keys().size(), 6);
        const QJsonArray classes = object.value(QStringLiteral("classes")).toArray();
        QCOMPARE(classes.size(), 2);
        const QJsonObject second = classes.at(1).toObject();
        QCOMPARE(second.value(QStringLiteral("name")).toString(), QStringLiteral("七(2)"));
        QCOMPARE(second.value(QStringLiteral("subjects")).toArray(),
                 (QJsonArray{"H", "数学", "H", "体育"}));
        QCOMPARE(second.value(QStringLiteral("teachers")).toArray(),
                 (QJsonArray{"H", "李\"引号\"", "H", "赵老师"}));
        QCOMPARE(object.value(QStringLiteral("subjectNames")).toArray().size(), 24);
    }

    void masterAndTeacherTables()
    {
        ScratchDatabase db;
        writeTimetable();
        Database::close();

        const CliRun master = runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.path()});
        QCOMPARE(master.exitCode, 0);
        const QStringList lines = master.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // Title, header, then per class and day a subject line and a teacher line.
        QCOMPARE(lines.size(), 2 + 2 * 2 * 2);
        QVERIFY(lines[0].contains(QStringLiteral("2 个班级")));
        QVERIFY(lines[2].startsWith(QStringLiteral("七(1)")));
        QVERIFY(lines[2].contains(QStringLiteral("星期一")) && lines[2].contains(QStringLiteral("语文")));
        QVERIFY(lines[3].contains(QStringLiteral("张老师")));
        QVERIFY(lines[4].contains(QStringLiteral("星期二")) && lines[4].contains(QStringLiteral("体育")));

        const CliRun teachers = runCli({QStringLiteral("timetable"), QStringLiteral("--teachers"), QStringLiteral("--db"), db.path()});
        QCOMPARE(teachers.exitCode, 0);
        QVERIFY(teachers.out.contains(QStringLiteral("3 位教师")));
        // 赵老师 teaches the combined 体育 to both classes: counted twice, the later class shown.
        const QStringList rows = teachers.out.split(QLatin1Char('\n'));
        const auto zhao = std::find_if(rows.begin(), rows.end(),
                                       [](const QString& row) { return row.startsWith(QStringLiteral("赵老师")); });
        QVERIFY(zhao != rows.end());
        QVERIFY(zhao->contains(QStringLiteral(" 2 ")));
        QVERIFY((zhao + 1)->contains(QStringLiteral("七(2) 体育")));
    }

    void scheduledDemoSavedAndReloaded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), path}).exitCode, 0);

        // A run, handed to the timetable model and saved, as after "保存课表".
        Database::open(path);
        PlanningModel plan;
        const ScheduleOutcome outcome = scheduleOpenDatabase(plan, 7u);
        QVERIFY(!outcome.refused());
        TimetableModel model;
        model.PublishToView(plan);
        QVERIFY(model.classCount > 0);
        QVERIFY(model.fixedLessonCount() > 0 && model.combinedGroupCount() > 0);
        TimetableStore::SaveTimetable(model);

        TimetableModel loaded;
        QVERIFY(TimetableStore::LoadSavedTimetable(loaded).ok());
        QCOMPARE(loaded.classCount, model.classCount);
        QCOMPARE(loaded.dayCount, model.dayCount);
        QCOMPARE(loaded.periodCount, model.periodCount);
        QCOMPARE(loaded.subjectNames, model.subjectNames);
        QCOMPARE(loaded.subjectGrid, model.subjectGrid);
        QCOMPARE(loaded.teacherGrid, model.teacherGrid);
        QCOMPARE(loaded.fixedLessons, model.fixedLessons);
        QCOMPARE(loaded.combinedClasses, model.combinedClasses);
        Database::close();

        // The saved timetable prints as the run that made it, without the run's own figures.
        const CliRun run = runCli({QStringLiteral("schedule"), QStringLiteral("--seed"), QStringLiteral("7"),
                                   QStringLiteral("--json"), QStringLiteral("--db"), path});
        const CliRun saved = runCli({QStringLiteral("timetable"), QStringLiteral("--json"), QStringLiteral("--db"), path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(saved.exitCode, 0);
        const QString ran = run.out.trimmed();
        const qsizetype from = ran.indexOf(QLatin1String(",\"dayCount\""));
        const qsizetype to = ran.indexOf(QLatin1String(",\"unplacedLessons\""));
        QVERIFY(from > 0 && to > from);
        QCOMPARE(QLatin1Char('{') + ran.mid(from + 1, to - from - 1) + QLatin1Char('}'), saved.out.trimmed());
    }

    void emptyDatabaseAndErrors()
    {
        ScratchDatabase db;
        Database::close();
        CliRun run = runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.path(), QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("\"classes\":[],\"fixedLessons\":[],\"combinedClasses\":[]}")));
        run = runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.path(), QStringLiteral("--teachers")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("0 位教师")));

        QCOMPARE(runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.dir() + QStringLiteral("/none.db")}).exitCode, 1);
        QCOMPARE(runCli({QStringLiteral("timetable"), QStringLiteral("--db"), db.path(), QStringLiteral("--seed")}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("timetable"), QStringLiteral("extra"), QStringLiteral("--db"), db.path()}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TimetableCommandTest)
#include "TimetableCommandTest.moc"
