#include "excel/CoverCountsExport.h"

#include "excel/ColumnName.h"
#include "view/daily/CoverCounts.h"

#include <xlsxwriter.h>

namespace CoverCountsExport {

TimetableExport::Result Write(const CoverCounts& counts, const QString& chosenPath, std::atomic<int>& progressState)
{
    return TimetableExport::WriteWorkbook(chosenPath, progressState, [&](lxw_workbook* workbook) {
        TimetableExport::FillEnd end;
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, "代课统计");
        lxw_format* head = workbook_add_format(workbook);
        format_set_bold(head);
        format_set_align(head, LXW_ALIGN_CENTER);
        format_set_border(head, LXW_BORDER_THIN);
        format_set_bg_color(head, 0xDDE6F0);
        lxw_format* body = workbook_add_format(workbook);
        format_set_border(body, LXW_BORDER_THIN);
        format_set_align(body, LXW_ALIGN_CENTER);

        auto text = [&](int row, int column, const QString& value, lxw_format* format) {
            QString whole = value;
            whole.replace(QChar(0), QChar(0xFFFD)); // the library takes C strings
            const lxw_error error = worksheet_write_string(sheet, static_cast<lxw_row_t>(row),
                                                           static_cast<lxw_col_t>(column), whole.toUtf8().constData(),
                                                           format);
            if (error != LXW_NO_ERROR && end.writeError.isEmpty())
                end.writeError = QStringLiteral("单元格 %1 无法写入（libxlsxwriter：%2）")
                                     .arg(CellName(column, row + 1), QString::fromUtf8(lxw_strerror(error)));
        };
        const QString title = QStringLiteral("%1年%2月 代课统计").arg(counts.year).arg(counts.month);
        worksheet_merge_range(sheet, 0, 0, 0, 3, title.toUtf8().constData(), head);
        const QStringList heads{QStringLiteral("教师"), QStringLiteral("代课节数"), QStringLiteral("缺课节数"),
                                QStringLiteral("调课节数")};
        for (int k = 0; k < heads.size(); ++k)
            text(1, k, heads[k], head);
        int row = 2;
        for (const CoverCountRow& entry : counts.rows) {
            text(row, 0, entry.teacher, body);
            const int values[] = {entry.covered, entry.missed, entry.swapped};
            for (int k = 0; k < 3; ++k)
                worksheet_write_number(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(k + 1), values[k],
                                       body);
            ++row;
        }
        worksheet_set_column(sheet, 0, 0, 14, nullptr);
        worksheet_set_column(sheet, 1, 3, 10, nullptr);
        worksheet_freeze_panes(sheet, 2, 1);
        worksheet_repeat_rows(sheet, 0, 1);
        worksheet_set_paper(sheet, 9);
        worksheet_fit_to_pages(sheet, 1, 0);
        return end;
    });
}

} // namespace CoverCountsExport
