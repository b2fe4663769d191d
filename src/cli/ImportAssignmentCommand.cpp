#include "cli/Cli.h"

#include "excel/AssignmentImport.h"
#include "excel/AssignmentSheet.h"
#include "excel/ColumnName.h"
#include "store/TextRules.h"

#include <QDir>

#include <atomic>
#include <map>
#include <vector>

namespace {

QString shownText(const QString& text)
{
    return TextRules::isEmpty(text) ? QStringLiteral("-") : text;
}

const QString& teacherOf(const AssignmentImport& import, int k, int n)
{
    return import.assignmentRows[k * Plan::kAssignmentTexts + 1 + n];
}

void printFindings(const AssignmentImport& import)
{
    int subjects = 0;
    while (subjects < Plan::kSubjectSlots && !TextRules::isEmpty(import.subjectSlots[subjects]))
        ++subjects;
    const int classes = import.classCount();

    printOut(QStringLiteral("任教科目（%1 个）：%2")
                 .arg(subjects)
                 .arg(subjects == 0 ? QStringLiteral("无（第 1 行 C 列起没有科目名称）")
                                    : import.subjectSlots.mid(0, subjects).join(QStringLiteral("、"))));

    printOut(QString());
    printOut(QStringLiteral("班级与任课教师（%1 个班级）：").arg(classes));
    if (classes > 0) {
        TextTable table;
        QStringList header{QStringLiteral("年级"), QStringLiteral("班级")};
        header << import.subjectSlots.mid(0, subjects);
        table.addRow(header);
        for (int k = 0; k < classes; ++k) {
            QStringList row{import.assignmentRows[k * Plan::kAssignmentTexts],
                            import.assignmentRows[k * Plan::kAssignmentTexts + 1]};
            for (int n = 1; n <= subjects; ++n)
                row << shownText(teacherOf(import, k, n));
            table.addRow(row);
        }
        printOut(table.render());
    }

    // Teachers in order of first appearance, with what they teach.
    std::vector<QString> teachers;
    std::map<QString, QStringList> taught;
    for (int k = 0; k < classes; ++k)
        for (int n = 1; n <= subjects; ++n) {
            const QString& name = teacherOf(import, k, n);
            if (TextRules::isEmpty(name) || name.isEmpty())
                continue;
            if (!taught.count(name))
                teachers.push_back(name);
            taught[name] << import.assignmentRows[k * Plan::kAssignmentTexts + 1] + QLatin1Char(' ')
                    + import.subjectSlots[n - 1];
        }
    printOut(QString());
    printOut(QStringLiteral("教师（%1 位）：").arg(teachers.size()));
    if (!teachers.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("教师"), QStringLiteral("任教")});
        for (const QString& name : teachers)
            table.addRow({name, taught[name].join(QStringLiteral("、"))});
        printOut(table.render());
    }

    // Teachers in columns after the last subject are stored but belong to no subject.
    for (int k = 0; k < classes; ++k) {
        QStringList stray;
        for (int n = subjects + 1; n <= Plan::kSubjectSlots; ++n)
            if (!TextRules::isEmpty(teacherOf(import, k, n)))
                stray << QStringLiteral("%1 列“%2”").arg(ColumnName(n + 1), teacherOf(import, k, n));
        if (!stray.isEmpty())
            printOut(QStringLiteral("注意：班级%1在科目之外的列有内容（%2），会一并保存，但不属于任何科目。")
                         .arg(import.assignmentRows[k * Plan::kAssignmentTexts + 1], stray.join(QStringLiteral("，"))));
    }

    if (!import.skippedRows.empty()) {
        printOut(QString());
        printOut(QStringLiteral("跳过的行（%1 行）：").arg(import.skippedRows.size()));
        TextTable table;
        table.addRow({QStringLiteral("行"), QStringLiteral("原因")});
        for (const AssignmentSheet::SkippedRow& row : import.skippedRows)
            table.addRow({QString::number(row.sheetRow), row.reason});
        printOut(table.render());
    }
}

} // namespace

int runImportAssignment(const QStringList& args)
{
    const CommandLine line(args, {}, {});
    if (!line.ok() || line.positional().size() != 1) {
        printErr(line.ok() ? QStringLiteral("用法: vorlat-cli import-assignment FILE [--db PATH]") : line.error());
        return ExitUsage;
    }
    const QString file = line.positional().first();

    AssignmentImport import;
    std::atomic<int> progressState{0};
    const Status read = import.Import(file, progressState);
    if (!read.ok())
        return report(read.failure());
    printOut(QStringLiteral("已读取“%1”的第一个工作表。").arg(QDir::toNativeSeparators(file)));
    printFindings(import);

    if (!openDatabaseForCommand(line.databasePath()))
        return ExitStoreFailure;
    const Status saved = import.Save();
    if (!saved.ok())
        return report(saved.failure());
    printOut(QString());
    printOut(QStringLiteral("已保存到 %1：任教科目与 %2 个班级的教师分工。")
                 .arg(QDir::toNativeSeparators(line.databasePath()))
                 .arg(import.classCount()));
    return ExitDone;
}
