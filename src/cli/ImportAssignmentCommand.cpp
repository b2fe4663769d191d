#include "cli/Cli.h"

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

    for (const AssignmentImport::StrayCells& cells : import.CellsOutsideSubjects()) {
        QStringList stray;
        for (qsizetype i = 0; i < cells.texts.size(); ++i)
            stray << QStringLiteral("%1 列“%2”").arg(cells.columns[i], cells.texts[i]);
        printOut(QStringLiteral("注意：班级%1在科目之外的列有内容（%2），会一并保存，但不属于任何科目。")
                     .arg(import.className(cells.classRow), stray.join(QStringLiteral("，"))));
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
    Command command({QStringLiteral("import-assignment"), {}, {}, 1,
                     QStringLiteral("用法: vorlat-cli import-assignment FILE [--db PATH]")});
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
    const Status saved = import.Save();
    if (!saved.ok())
        return report(saved.failure());
    printOut(QString());
    printOut(QStringLiteral("已保存到 %1：任教科目与 %2 个班级的教师分工。")
                 .arg(QDir::toNativeSeparators(line.databasePath()))
                 .arg(import.classCount()));
    return ExitDone;
}
