#include "dialogs/daily/CountsDialog.h"

#include "dialogs/daily/DailyDialogSupport.h"
#include "excel/CoverCountsExport.h"
#include "view/daily/DailyIndex.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <atomic>

CountsDialog::CountsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("代课统计"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("月份："), this));
    m_month = new QDateEdit(QDate::currentDate(), this);
    m_month->setDisplayFormat(QStringLiteral("yyyy-MM"));
    m_month->setCalendarPopup(true);
    top->addWidget(m_month);
    top->addStretch();
    auto* exportButton = new QPushButton(QStringLiteral("导出 Excel…"), this);
    top->addWidget(exportButton);
    layout->addLayout(top);
    m_table = DailyDialogs::table({QStringLiteral("教师"), QStringLiteral("代课节数"), QStringLiteral("缺课节数"),
                                   QStringLiteral("调课节数")},
                                  this);
    layout->addWidget(m_table, 1);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);

    m_chooser = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("导出代课统计"),
                                            QStringLiteral("代课统计-%1-%2.xlsx")
                                                .arg(m_counts.year)
                                                .arg(m_counts.month, 2, 10, QLatin1Char('0')),
                                            QStringLiteral("Excel 工作簿 (*.xlsx)"));
    };
    connect(m_month, &QDateEdit::dateChanged, this, [this] { showMonth(); });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        const QString path = m_chooser();
        if (!path.isEmpty())
            exportTo(path);
    });
    resize(560, 600);
}

bool CountsDialog::loadData()
{
    m_data = DailyData();
    if (!DailyDialogs::load(this, m_data, false))
        return false;
    m_loaded = true;
    const QDate start = DailyDialogs::startDate(m_data.calendar);
    if (start.month() != m_month->date().month() || start.year() != m_month->date().year())
        m_month->setDate(QDate(start.year(), start.month(), 1)); // shows the month
    else
        showMonth();
    return true;
}

void CountsDialog::setMonth(int year, int month)
{
    m_month->setDate(QDate(year, month, 1));
}

void CountsDialog::showMonth()
{
    if (!m_loaded)
        return;
    const QDate month = m_month->date();
    const DailyIndex index(m_data.timetable);
    m_counts = CoverCounts::count(m_data, index, month.year(), month.month());
    std::vector<QStringList> rows;
    for (const CoverCountRow& row : m_counts.rows)
        rows.push_back({row.teacher, QString::number(row.covered), QString::number(row.missed),
                        QString::number(row.swapped)});
    DailyDialogs::setRows(m_table, rows);
}

bool CountsDialog::exportTo(const QString& path)
{
    std::atomic<int> state{0};
    const TimetableExport::Result result = CoverCountsExport::Write(m_counts, path, state);
    if (!result.ok()) {
        DailyDialogs::showMessage(this, result.error());
        return false;
    }
    return true;
}
