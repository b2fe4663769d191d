#include "dialogs/plan/AssignmentView.h"

#include "store/TextRules.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>

namespace AssignmentView {

std::vector<QStringList> resultRows(const AssignmentImport& import)
{
    std::vector<QStringList> rows;
    QStringList header{QStringLiteral("年级"), QStringLiteral("班级")};
    for (const QString& subject : import.subjectSlots) {
        if (TextRules::isEmpty(subject) || subject.isEmpty())
            break;
        header << subject;
    }
    const qsizetype used = header.size();
    rows.push_back(header);
    for (int k = 0; k < import.classCount(); ++k) {
        QStringList row;
        for (qsizetype c = 0; c < used; ++c) {
            const QString& text = import.assignmentRows[k * Plan::kAssignmentTexts + c];
            row << (TextRules::isEmpty(text) ? QString() : text);
        }
        rows.push_back(row);
    }
    return rows;
}

QStringList skippedLines(const AssignmentImport& import)
{
    QStringList lines;
    for (const AssignmentSheet::SkippedRow& skipped : import.skippedRows)
        lines << QStringLiteral("第 %1 行：%2").arg(skipped.sheetRow).arg(skipped.reason);
    return lines;
}

QString skippedSummary(const AssignmentImport& import)
{
    const QStringList lines = skippedLines(import);
    if (lines.isEmpty())
        return QString();
    return QStringLiteral("未导入 %1 行：").arg(lines.size()) + lines.join(QStringLiteral("；"));
}

QStringList noteLines(const AssignmentImport& import)
{
    return import.Notes() + skippedLines(import);
}

QString noteSummary(const AssignmentImport& import)
{
    QStringList parts = import.Notes();
    const QString skipped = skippedSummary(import);
    if (!skipped.isEmpty())
        parts << skipped;
    return parts.join(QStringLiteral("  "));
}

QString changeNote(bool stored, int changed)
{
    if (changed > 0)
        return QStringLiteral("已修改 %1 处任课教师，按“保存”写入；关闭则不保存。").arg(changed);
    if (stored)
        return QStringLiteral("双击任课教师（或选中后按 F2）可以修改，回车确认；更换科目或班级请重新导入教师分工。");
    return QString();
}

QString saveQuestion(const SubjectRemap& remap)
{
    if (!remap.changesAnything())
        return QString();
    QStringList text{QStringLiteral("导入的任教科目与已保存的不同，已有的设置按科目名称调整：")};
    const QStringList moved = AssignmentImport::MovedLines(remap);
    if (!moved.isEmpty()) {
        text << QString() << QStringLiteral("周课时计划和排课区随科目移动：");
        for (const QString& line : moved)
            text << QStringLiteral("    ") + line;
    }
    const QStringList dropped = AssignmentImport::DroppedLines(remap);
    if (!dropped.isEmpty()) {
        text << QString()
             << (remap.losesData() ? QStringLiteral("以下科目不再是任教科目，它们的设置将被删除：")
                                   : QStringLiteral("以下科目不再是任教科目："));
        for (const QString& line : dropped)
            text << QStringLiteral("    ") + line;
    }
    text << QString() << QStringLiteral("是否保存？");
    return text.join(QLatin1Char('\n'));
}

} // namespace AssignmentView

static QImage paintInstructionPicture()
{
    const int width = 1200;
    const int height = 520;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 245));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QGuiApplication::font();
    font.setPixelSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(40, 60, 110));
    painter.drawText(QRect(30, 14, width - 60, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("教师分工表的格式（点击右下角“导入教师分工”选择工作簿）"));

    // A sample worksheet: column letters, row numbers, the header row and classes.
    const QStringList letters{"", "A", "B", "C", "D", "E", "F", "G"};
    const std::vector<QStringList> sheet{
        {"1", "年级", "班级", "语文", "数学", "英语", "物理", "…"},
        {"2", "七年级", "七(1)班", "王建国", "李丽华", "张志强", "", "…"},
        {"3", "七年级", "七(2)班", "王建国", "刘秀英", "张志强", "", "…"},
        {"4", "八年级", "八(1)班", "陈海燕", "杨伟", "赵敏", "黄静", "…"},
        {"5", "高一", "高一(3)班", "周晓明", "吴红梅", "徐国庆", "孙春兰", "…"},
    };
    const int left = 30;
    const int top = 66;
    const int rowHeight = 40;
    const std::vector<int> widths{44, 120, 150, 150, 150, 150, 150, 60};
    font.setPixelSize(20);
    font.setBold(false);
    painter.setFont(font);
    for (int r = 0; r <= static_cast<int>(sheet.size()); ++r) {
        int x = left;
        for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
            const QRect cell(x, top + r * rowHeight, widths[static_cast<size_t>(c)], rowHeight);
            const bool heading = r == 0 || c == 0;
            const bool headerRow = r == 1 && c > 0;
            painter.fillRect(cell, heading ? QColor(225, 225, 225) : headerRow ? QColor(255, 242, 190) : Qt::white);
            painter.setPen(QColor(170, 170, 170));
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            const QString text = r == 0 ? letters[c] : sheet[static_cast<size_t>(r - 1)][c];
            painter.drawText(cell, Qt::AlignCenter, text);
            x += widths[static_cast<size_t>(c)];
        }
    }

    const QStringList notes{
        QStringLiteral("• 只读取工作簿的第一个工作表；第 1 行为表头：A 列“年级”，B 列“班级”，C 列起为任教科目（最多 24 个，遇空白单元格结束）。"),
        QStringLiteral("• 第 2 行起每行一个班级：年级、班级，以及该班每个科目的任课教师；空白表示该科目没有任课教师。"),
        QStringLiteral("• 可以识别的年级：一年级 二年级 三年级 四年级 五年级 六年级 七年级（初一） 八年级（初二） 九年级（初三）"),
        QStringLiteral("   高一年级（高一） 高二年级（高二） 高三年级（高三）；其他写法的行不会导入，并在列表下方列出。"),
        QStringLiteral("• 支持 .xlsx、.xls、.ods 和 .csv（UTF-8 或 GB18030 编码）文件。"),
    };
    font.setPixelSize(19);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    int y = top + 6 * rowHeight + 18;
    for (const QString& note : notes) {
        painter.drawText(QRect(30, y, width - 60, 30), Qt::AlignLeft | Qt::AlignVCenter, note);
        y += 32;
    }
    return image;
}

QImage assignmentInstructionPicture()
{
    static const QImage picture = paintInstructionPicture();
    return picture;
}
