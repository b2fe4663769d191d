#include "excel/OrcusSheetReader.h"

#include "excel/SheetCells.h"
#include "excel/SheetReader.h"

#include <orcus/csv_parser.hpp>
#include <orcus/orcus_csv.hpp>
#include <orcus/parser_base.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>

#include <ixion/address.hpp>
#include <ixion/formula_result.hpp>
#include <ixion/model_context.hpp>

#include <QStringDecoder>

#include <iconv.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One cell of the document's model into the table.
void takeCell(const ixion::model_context& context, int row, int column, SheetCells& cells)
{
    const ixion::abs_address_t address(0, row, column);
    switch (context.get_celltype(address)) {
    case ixion::celltype_t::string:
        cells.setString(row, column, fromUtf8(context.get_string_value(address)));
        break;
    case ixion::celltype_t::numeric:
        cells.setNumber(row, column, context.get_numeric_value(address));
        break;
    case ixion::celltype_t::empty:
        break; // stays "H"
    case ixion::celltype_t::formula: {
        // The value the workbook last calculated, as a plain cell would give it.
        try {
            const ixion::formula_result result = context.get_formula_result(address);
            if (result.get_type() == ixion::formula_result::result_type::value)
                cells.setNumber(row, column, result.get_value());
            else if (result.get_type() == ixion::formula_result::result_type::string)
                cells.setString(row, column, fromUtf8(result.get_string()));
            else
                cells.setOther(row, column);
        } catch (...) {
            cells.setOther(row, column);
        }
        break;
    }
    default: // truth values and whatever else
        cells.setOther(row, column);
        break;
    }
}

// The CSV text as the sheet reads it: every line cut to its fields in
// columns A..Z (nothing beyond is read, and the parser's sheet has no room for
// a line of more fields than its columns). Tokenised by the parser the import
// uses, with its settings, so every field keeps the value it would have had.
// A line beyond the last row a sheet has is refused when it holds anything.
class CsvColumnCutter
{
public:
    explicit CsvColumnCutter(std::string& out) : m_out(out) {}

    void begin_parse() {}
    void end_parse() {}
    void begin_row() { m_column = 0; }
    void end_row()
    {
        if (m_row < SheetCells::kMaxRows)
            m_out.push_back('\n');
        ++m_row;
    }
    void cell(const char* p, size_t n, bool /*transient*/)
    {
        const int column = m_column++;
        if (n > 0 && m_row >= SheetCells::kMaxRows)
            throw SheetLimitError(QStringLiteral("第 %1 行有内容，超过工作表 %2 行的上限")
                                      .arg(qint64(m_row) + 1)
                                      .arg(SheetCells::kMaxRows));
        if (column >= SheetCells::kColumns || m_row >= SheetCells::kMaxRows)
            return;
        if (column > 0)
            m_out.push_back(',');
        const std::string_view value(p, n);
        if (value.find_first_of(",\n\"") == std::string_view::npos) {
            m_out.append(value);
            return;
        }
        m_out.push_back('"');
        for (const char c : value) {
            if (c == '"')
                m_out.push_back('"');
            m_out.push_back(c);
        }
        m_out.push_back('"');
    }

private:
    std::string& m_out;
    qint64 m_row = 0;
    int m_column = 0;
};

orcus::csv::parser_config csvSettings()
{
    orcus::csv::parser_config config; // the settings orcus_csv reads with
    config.delimiters.push_back(',');
    config.text_qualifier = '"';
    config.trim_cell_value = false;
    return config;
}

bool convertGb18030(const QByteArray& content, QByteArray& utf8)
{
    iconv_t converter = iconv_open("UTF-8", "GB18030");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    QByteArray out(content.size() * 4 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(content.constData());
    size_t inLeft = static_cast<size_t>(content.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    utf8 = out;
    return true;
}

} // namespace

bool OrcusSheetReader::DecodeCsvText(const QByteArray& content, QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(content);
    if (!decoder.hasError()) {
        utf8 = content.startsWith("\xEF\xBB\xBF") ? content.mid(3) : content;
        return true;
    }
    return convertGb18030(content, utf8);
}

QString OrcusSheetReader::ReadCsv(const QByteArray& content, SheetCells& cells)
{
    if (content.size() > kMaxCsvBytes)
        throw SheetLimitError(QStringLiteral("CSV 文件超过 %1 MB 的上限").arg(kMaxCsvBytes / (1024 * 1024)));
    QByteArray text;
    if (!DecodeCsvText(content, text))
        return QStringLiteral("文本既不是 UTF-8 也不是 GB18030 编码");
    // The CSV parser splits lines at "\n" only and would keep the "\r" of
    // the line ends spreadsheet programs write in the last cell of a row.
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');

    try {
        std::string cut;
        {
            const orcus::csv::parser_config config = csvSettings();
            CsvColumnCutter cutter(cut);
            orcus::csv_parser<CsvColumnCutter> parser(text.constData(), static_cast<size_t>(text.size()), cutter,
                                                      config);
            parser.parse();
        }
        text.clear();
        orcus::spreadsheet::document document({SheetCells::kMaxRows, SheetCells::kColumns});
        orcus::spreadsheet::import_factory factory(document);
        orcus::orcus_csv filter(&factory);
        filter.read_stream(cut);
        cut = std::string();

        if (document.get_sheet_count() == 0) { // an empty text: no rows
            cells.resize(0);
            return QString();
        }
        const orcus::spreadsheet::sheet* sheet = document.get_sheet(0);
        const ixion::abs_range_t range = sheet->get_data_range();
        if (!range.valid() || range.last.row < 0) {
            cells.resize(0);
            return QString();
        }
        cells.resize(range.last.row + 1);
        const int lastColumn = std::min(range.last.column, SheetCells::kColumns - 1);
        const ixion::model_context& context = document.get_model_context();
        for (int row = std::max(range.first.row, 0); row <= range.last.row; ++row)
            for (int column = std::max(range.first.column, 0); column <= lastColumn; ++column)
                takeCell(context, row, column, cells);
        return QString();
    } catch (const SheetLimitError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const orcus::csv::parse_error& error) {
        return SheetReader::DamagedFileReason(error.what());
    } catch (const orcus::parse_error& error) {
        // The parser's own words name the place; they help after ours.
        return SheetReader::DamagedFileReason(error.what());
    } catch (...) {
        return SheetReader::DamagedFileReason();
    }
}
