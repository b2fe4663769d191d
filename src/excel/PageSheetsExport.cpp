#include "excel/PageSheetsExport.h"

#include "excel/ColumnName.h"
#include "excel/ExcelProgress.h"
#include "excel/TimetableExport.h"
#include "view/PrintLayout.h"

#include <xlsxwriter.h>

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <deque>

namespace PageSheetsExport {
namespace {

constexpr int kTitleRow = 0;
constexpr int kTermRow = 1;
constexpr int kHeaderRow = 2;
constexpr int kHalfColumn = 0;   // 上午 / 下午
constexpr int kPeriodColumn = 1; // 第1节 …
constexpr int kFirstDayColumn = 2;

// The looks of a page sheet, made once per workbook.
struct Formats
{
    explicit Formats(lxw_workbook* workbook)
    {
        title = workbook_add_format(workbook);
        format_set_bold(title);
        format_set_font_size(title, 16);
        format_set_align(title, LXW_ALIGN_CENTER);
        format_set_align(title, LXW_ALIGN_VERTICAL_CENTER);
        term = workbook_add_format(workbook);
        format_set_align(term, LXW_ALIGN_CENTER);
        format_set_font_color(term, 0x555555);
        header = workbook_add_format(workbook);
        format_set_bold(header);
        format_set_align(header, LXW_ALIGN_CENTER);
        format_set_align(header, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(header, LXW_BORDER_THIN);
        format_set_bg_color(header, 0xE8EEF5);
        half = workbook_add_format(workbook);
        format_set_align(half, LXW_ALIGN_CENTER);
        format_set_align(half, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(half, LXW_BORDER_THIN);
        format_set_rotation(half, 270); // written top to bottom
        band = workbook_add_format(workbook);
        format_set_align(band, LXW_ALIGN_CENTER);
        format_set_align(band, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(band, LXW_BORDER_THIN);
        format_set_bg_color(band, 0xF2F2F2);
        format_set_font_color(band, 0x555555);
        cell = workbook_add_format(workbook);
        format_set_align(cell, LXW_ALIGN_CENTER);
        format_set_align(cell, LXW_ALIGN_VERTICAL_CENTER);
        format_set_text_wrap(cell);
        format_set_border(cell, LXW_BORDER_THIN);
        main = workbook_add_format(workbook);
        format_set_font_size(main, 12);
        detail = workbook_add_format(workbook);
        format_set_font_size(detail, 9);
        format_set_font_color(detail, 0x555555);
        mark = workbook_add_format(workbook);
        format_set_font_size(mark, 8);
        format_set_font_color(mark, 0x8C8C8C);
        footer = workbook_add_format(workbook);
        format_set_align(footer, LXW_ALIGN_LEFT);
        format_set_align(footer, LXW_ALIGN_VERTICAL_TOP);
        format_set_text_wrap(footer);
    }

    lxw_format* title;
    lxw_format* term;
    lxw_format* header;
    lxw_format* half;
    lxw_format* band;
    lxw_format* cell;
    lxw_format* main;
    lxw_format* detail;
    lxw_format* mark;
    lxw_format* footer;
};

// The library takes C strings, which end at the first NUL.
QByteArray utf8(const QString& text)
{
    QString whole = text;
    whole.replace(QChar(0), QChar(0xFFFD));
    return whole.toUtf8();
}

// One sheet in the layout of its page.
class PageSheet
{
public:
    PageSheet(lxw_worksheet* sheet, const Formats& formats, const PrintPage& page)
        : m_sheet(sheet), m_formats(formats), m_page(page), m_lastColumn(kFirstDayColumn + std::max(page.days, 1) - 1)
    {
    }

    QString write()
    {
        worksheet_set_column(m_sheet, kHalfColumn, kHalfColumn, 4, nullptr);
        worksheet_set_column(m_sheet, kPeriodColumn, kPeriodColumn, 8, nullptr);
        worksheet_set_column(m_sheet, kFirstDayColumn, static_cast<lxw_col_t>(m_lastColumn), 14, nullptr);
        worksheet_set_row(m_sheet, kTitleRow, 30, nullptr);
        merged(kTitleRow, 0, kTitleRow, m_lastColumn, m_page.title, m_formats.title);
        merged(kTermRow, 0, kTermRow, m_lastColumn, m_page.term, m_formats.term);
        merged(kHeaderRow, kHalfColumn, kHeaderRow, kPeriodColumn, QStringLiteral("节次"), m_formats.header);
        for (int d = 0; d < m_page.days; ++d)
            text(kHeaderRow, kFirstDayColumn + d, m_page.dayNames[d], m_formats.header);

        int row = kHeaderRow + 1;
        int halfStart = row;
        QString halfText;
        const auto closeHalf = [&](int end) {
            if (!halfText.isEmpty() && end > halfStart)
                merged(halfStart, kHalfColumn, end - 1, kHalfColumn, halfText, m_formats.half);
            halfText.clear();
        };
        for (const PrintPage::Row& r : m_page.rows) {
            if (r.isBreak()) {
                closeHalf(row);
                worksheet_set_row(m_sheet, static_cast<lxw_row_t>(row), 16, nullptr);
                merged(row, 0, row, m_lastColumn, r.label, m_formats.band);
                ++row;
                continue;
            }
            if (r.half != halfText) {
                closeHalf(row);
                halfText = r.half;
                halfStart = row;
            }
            worksheet_set_row(m_sheet, static_cast<lxw_row_t>(row), 36, nullptr);
            text(row, kPeriodColumn, r.label, m_formats.header);
            for (int d = 0; d < m_page.days; ++d)
                cell(row, kFirstDayColumn + d, m_page.cell(r.period, d));
            ++row;
        }
        closeHalf(row);
        ++row; // a blank line before the footer
        for (const QString& line : m_page.footer) {
            worksheet_set_row(m_sheet, static_cast<lxw_row_t>(row), 30, nullptr);
            merged(row, 0, row, m_lastColumn, line, m_formats.footer);
            ++row;
        }

        // One A4 page, upright or across as the page itself.
        worksheet_set_paper(m_sheet, 9);
        if (m_page.landscape)
            worksheet_set_landscape(m_sheet);
        else
            worksheet_set_portrait(m_sheet);
        worksheet_set_margins(m_sheet, 0.4, 0.4, 0.5, 0.5);
        worksheet_center_horizontally(m_sheet);
        worksheet_fit_to_pages(m_sheet, 1, 1);
        worksheet_print_area(m_sheet, 0, 0, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(m_lastColumn));
        return m_error;
    }

private:
    void check(lxw_error error, int row, int column)
    {
        if (error == LXW_NO_ERROR || !m_error.isEmpty())
            return;
        const QString where = QStringLiteral("工作表“%1”的单元格 %2").arg(m_page.name, CellName(column, row + 1));
        m_error = error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED
            ? QStringLiteral("%1 的文字超过工作簿每格 32767 个字符的上限").arg(where)
            : QStringLiteral("%1 无法写入（libxlsxwriter：%2）").arg(where, QString::fromUtf8(lxw_strerror(error)));
    }

    void text(int row, int column, const QString& value, lxw_format* format)
    {
        const auto r = static_cast<lxw_row_t>(row);
        const auto c = static_cast<lxw_col_t>(column);
        if (value.isEmpty()) {
            worksheet_write_blank(m_sheet, r, c, format);
            return;
        }
        const QByteArray bytes = utf8(value);
        check(worksheet_write_string(m_sheet, r, c, bytes.constData(), format), row, column);
    }

    void merged(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString& value, lxw_format* format)
    {
        if (firstRow == lastRow && firstColumn == lastColumn) {
            text(firstRow, firstColumn, value, format);
            return;
        }
        const QByteArray bytes = utf8(value);
        check(worksheet_merge_range(m_sheet, static_cast<lxw_row_t>(firstRow), static_cast<lxw_col_t>(firstColumn),
                                    static_cast<lxw_row_t>(lastRow), static_cast<lxw_col_t>(lastColumn),
                                    bytes.constData(), format),
              firstRow, firstColumn);
    }

    // The subject, the mark small after it, the teacher (or class) smaller on the next line.
    void cell(int row, int column, const PrintPage::Cell& c)
    {
        std::deque<QByteArray> texts;
        std::vector<lxw_rich_string_tuple> parts;
        const auto add = [&](lxw_format* format, const QString& value) {
            if (value.isEmpty())
                return;
            texts.push_back(utf8(value));
            parts.push_back({format, const_cast<char*>(texts.back().constData())});
        };
        add(m_formats.main, c.main);
        if (c.mark != PrintPage::Mark::None)
            add(m_formats.mark, QStringLiteral(" ")
                    + QChar(c.mark == PrintPage::Mark::Fixed ? PrintLayout::kFixedMark : PrintLayout::kCombinedMark));
        if (!c.detail.isEmpty())
            add(m_formats.detail, (c.main.isEmpty() ? QString() : QStringLiteral("\n")) + c.detail);
        if (parts.size() < 2) {
            text(row, column, parts.empty() ? QString() : QString::fromUtf8(texts.front()), m_formats.cell);
            return;
        }
        std::vector<lxw_rich_string_tuple*> list;
        for (lxw_rich_string_tuple& part : parts)
            list.push_back(&part);
        list.push_back(nullptr);
        check(worksheet_write_rich_string(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                          list.data(), m_formats.cell),
              row, column);
    }

    lxw_worksheet* m_sheet;
    const Formats& m_formats;
    const PrintPage& m_page;
    int m_lastColumn;
    QString m_error;
};

} // namespace

QString SheetName(const QString& name, std::vector<QString>& used)
{
    constexpr int kLimit = 31;
    QString base;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        const bool refused = c < 0x20 || c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/'
            || c == u'\\';
        base += refused ? QChar(u'_') : ch;
    }
    base = base.trimmed();
    while (base.startsWith(QLatin1Char('\'')))
        base.remove(0, 1);
    while (base.endsWith(QLatin1Char('\'')))
        base.chop(1);
    if (base.isEmpty() || base.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        base = base.isEmpty() ? QStringLiteral("Sheet") : base + QLatin1Char('_');
    const auto cut = [](QString text, qsizetype limit) {
        if (text.size() > limit) {
            text.truncate(limit);
            if (text.back().isHighSurrogate())
                text.chop(1);
        }
        return text;
    };
    const auto taken = [&](const QString& candidate) {
        return std::any_of(used.begin(), used.end(),
                           [&](const QString& u) { return u.compare(candidate, Qt::CaseInsensitive) == 0; });
    };
    QString candidate = cut(base, kLimit);
    for (int n = 2; taken(candidate); ++n) {
        const QString suffix = QStringLiteral("(%1)").arg(n);
        candidate = cut(base, kLimit - suffix.size()) + suffix;
    }
    used.push_back(candidate);
    return candidate;
}

OutputResult Write(const std::vector<PrintPage>& pages, const QString& path, const OutputProgress& progress)
{
    std::atomic<int> state{ExcelProgress::Running};
    const TimetableExport::Result written = TimetableExport::WriteWorkbook(path, state, [&](lxw_workbook* workbook) {
        const Formats formats(workbook);
        std::vector<QString> used;
        const int total = static_cast<int>(pages.size());
        if (pages.empty()) // a workbook has at least one sheet
            workbook_add_worksheet(workbook, nullptr);
        for (int i = 0; i < total; ++i) {
            if (progress.cancelled())
                return TimetableExport::FillEnd{QString(), true};
            const PrintPage& page = pages[static_cast<size_t>(i)];
            const QByteArray name = utf8(SheetName(page.name, used));
            lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.constData());
            if (!sheet)
                return TimetableExport::FillEnd{QStringLiteral("无法建立工作表“%1”").arg(page.name), false};
            const QString error = PageSheet(sheet, formats, page).write();
            if (!error.isEmpty())
                return TimetableExport::FillEnd{error, false};
            progress.report(i + 1, total);
        }
        return TimetableExport::FillEnd{};
    });
    OutputResult result;
    result.status = written.status;
    result.cancelled = written.cancelled;
    if (result.ok())
        result.written << written.writtenPath;
    return result;
}

} // namespace PageSheetsExport
