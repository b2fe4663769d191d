#pragma once

// Reads a written .xlsx workbook back through liborcus, independently of the
// program's own reader: cell texts and merged ranges anywhere on a sheet.

#include "excel/ColumnName.h"

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>

#include <ixion/address.hpp>
#include <ixion/model_context.hpp>

#include <QFile>
#include <QString>

#include <memory>

class WorkbookReadBack
{
public:
    explicit WorkbookReadBack(const QString& path)
        : m_document(std::make_unique<orcus::spreadsheet::document>(orcus::spreadsheet::range_size_t{1048576, 16384}))
    {
        orcus::spreadsheet::import_factory factory(*m_document);
        orcus::orcus_xlsx filter(&factory);
        filter.read_file(QFile::encodeName(path).toStdString());
    }

    int sheetCount() const { return static_cast<int>(m_document->get_sheet_count()); }
    QString sheetName(int index) const
    {
        const std::string_view name = m_document->get_sheet_name(index);
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }

    // Text of a cell of the first sheet (row and column from 0); "<empty>" for a cell without value.
    QString text(int row, int column) const { return text(0, row, column); }
    // The same on another sheet (from 0).
    QString text(int sheet, int row, int column) const
    {
        const ixion::abs_address_t address(sheet, row, column);
        const ixion::model_context& context = m_document->get_model_context();
        switch (context.get_celltype(address)) {
        case ixion::celltype_t::string: {
            const std::string_view value = context.get_string_value(address);
            return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
        }
        case ixion::celltype_t::empty:
            return QStringLiteral("<empty>");
        default:
            return QStringLiteral("<not text>");
        }
    }

    // The merged range anchored at the cell (its top-left corner), as "B1:H1"; the cell's own name otherwise.
    QString mergeAt(int row, int column) const
    {
        const orcus::spreadsheet::range_t range = m_document->get_sheet(0)->get_merge_cell_range(row, column);
        if (range.first.row == range.last.row && range.first.column == range.last.column)
            return CellName(column, row + 1);
        if (range.first.row < 0 || range.last.row < 0)
            return CellName(column, row + 1);
        return CellName(range.first.column, range.first.row + 1) + QLatin1Char(':')
            + CellName(range.last.column, range.last.row + 1);
    }

    // Last used row and column of the first sheet (from 0).
    int lastRow() const { return m_document->get_sheet(0)->get_data_range().last.row; }
    int lastColumn() const { return m_document->get_sheet(0)->get_data_range().last.column; }

private:
    std::unique_ptr<orcus::spreadsheet::document> m_document;
};
