#include "cli/DocumentCommands.h"

#include "excel/AssignmentImport.h"
#include "excel/AssignmentSheet.h"
#include "store/TextRules.h"

#include <QDir>

#include <atomic>
#include <vector>

namespace {

QString shownText(const QString& text)
{
    return TextRules::isEmpty(text) ? QStringLiteral("-") : text;
}

void printFindings(const AssignmentImport& import)
{
    const int subjects = import.subjectCount();
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
            QStringList row{import.gradeName(k), import.className(k)};
            for (int n = 1; n <= subjects; ++n)
                row << shownText(import.teacher(k, n));
            table.addRow(row);
        }
        printOut(table.render());
    }

    const std::vector<AssignmentImport::TeacherLessons> teachers = import.Teachers();
    printOut(QString());
    printOut(QStringLiteral("教师（%1 位）：").arg(teachers.size()));
    if (!teachers.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("教师"), QStringLiteral("任教")});
        for (const AssignmentImport::TeacherLessons& teacher : teachers)
            table.addRow({teacher.name, teacher.taught.join(QStringLiteral("、"))});
        printOut(table.render());
    }

    const QStringList notes = import.Notes();
    if (!notes.isEmpty())
        printOut(QString());
    for (const QString& note : notes)
        printOut(note);

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

// What saving does to the data stored under the present subjects.
void printRemap(const SubjectRemap& remap)
{
    const QStringList moved = AssignmentImport::MovedLines(remap);
    if (!moved.isEmpty()) {
        printOut(QString());
        printOut(QStringLiteral("任教科目的顺序变了，周课时计划和排课区随科目名称移动（%1 个科目）：").arg(moved.size()));
        for (const QString& line : moved)
            printOut(QStringLiteral("  ") + line);
    }
    const QStringList dropped = AssignmentImport::DroppedLines(remap);
    if (!dropped.isEmpty()) {
        printOut(QString());
        printOut(QStringLiteral("不再是任教科目的科目（%1 个）：").arg(dropped.size()));
        for (const QString& line : dropped)
            printOut(QStringLiteral("  ") + line);
    }
}

} // namespace

int runImportAssignment(const QStringList& args)
{
    const QString dropMissing = QStringLiteral("--drop-missing");
    Command command({QStringLiteral("import-assignment"), {}, {dropMissing}, 1,
                     QStringLiteral("用法: vorlat-cli import-assignment FILE [--drop-missing] [--db PATH]")});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    const QString file = line.positional().first();

    AssignmentImport import;
    std::atomic<int> progressState{0};
    const Status read = import.Import(file, progressState);
    if (!read.ok())
        return report(read.failure());
    printOut(QStringLiteral("已读取“%1”的第一个工作表。").arg(QDir::toNativeSeparators(file)));
    printFindings(import);

    if (!command.openDatabase())
        return ExitStoreFailure;
    if (import.classCount() == 0)
        return report(Failure::refused(QStringLiteral("未设置教师分工！")));

    // The counts, zones, fixed lessons and groups follow their subjects; what
    // belongs to a subject that is gone is dropped only when asked for.
    const SubjectRemap remap = import.PrepareSave();
    printRemap(remap);
    if (remap.losesData() && !line.has(dropMissing)) {
        QStringList names;
        for (const SubjectRemap::Loss& loss : remap.dropped())
            if (loss.holdsData())
                names << loss.subject;
        return report(Failure::refused(
            QStringLiteral("没有保存：科目%1不在新的分工表中，保存会删除它们的周课时、排课区、固定科目或合班设置（见上）。"
                           "确认删除请加 %2 重新导入。")
                .arg(names.join(QStringLiteral("、")), dropMissing)));
    }
    const Status saved = import.Save(remap);
    if (!saved.ok())
        return report(saved.failure());
    printOut(QString());
    printOut(QStringLiteral("已保存到 %1：任教科目与 %2 个班级的教师分工。")
                 .arg(QDir::toNativeSeparators(line.databasePath()))
                 .arg(import.classCount()));
    return ExitDone;
}
