#include "dialogs/daily/DailyDialogSupport.h"

#include "store/StoreError.h"
#include "view/daily/DailyStore.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

namespace DailyDialogs {

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("Vorlat"), text);
}

bool load(QWidget* parent, DailyData& data, bool needCalendar)
{
    try {
        const Status loaded = DailyStore::Load(data);
        if (!loaded.ok()) {
            showMessage(parent, loaded.message());
            return false;
        }
    } catch (const StoreError& error) {
        showMessage(parent, error.message());
        return false;
    }
    if (data.timetable.classCount == 0) {
        showMessage(parent, QStringLiteral("没有已保存的课表：先排课并保存。"));
        return false;
    }
    if (needCalendar && !data.calendar.isSet()) {
        showMessage(parent, QStringLiteral("还没有设置校历：先在“代课 › 校历”中设置开学日期和教学周数。"));
        return false;
    }
    return true;
}

bool write(QWidget* parent, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const StoreError& error) {
        showMessage(parent, error.message());
        return false;
    }
}

QDateEdit* dateEdit(const QDate& date, QWidget* parent)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

QDateEdit* dateRow(QHBoxLayout* row, QWidget* parent)
{
    row->addWidget(new QLabel(QStringLiteral("日期："), parent));
    QDateEdit* date = dateEdit(QDate::currentDate(), parent);
    row->addWidget(date);
    auto* previous = new QPushButton(QStringLiteral("前一天"), parent);
    auto* next = new QPushButton(QStringLiteral("后一天"), parent);
    row->addWidget(previous);
    row->addWidget(next);
    QObject::connect(previous, &QPushButton::clicked, date, [date] { date->setDate(date->date().addDays(-1)); });
    QObject::connect(next, &QPushButton::clicked, date, [date] { date->setDate(date->date().addDays(1)); });
    return date;
}

QTableWidget* table(const QStringList& heads, QWidget* parent)
{
    auto* t = new QTableWidget(0, static_cast<int>(heads.size()), parent);
    t->setHorizontalHeaderLabels(heads);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setRows(QTableWidget* t, const std::vector<QStringList>& rows)
{
    t->clearContents();
    t->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < t->columnCount(); ++c)
            t->setItem(r, c, new QTableWidgetItem(rows[static_cast<size_t>(r)].value(c)));
    t->resizeColumnsToContents();
}

QDate startDate(const TermCalendar& calendar)
{
    const QDate today = QDate::currentDate();
    if (!calendar.isSet() || calendar.inTerm(today))
        return today;
    return calendar.firstDay;
}

} // namespace DailyDialogs
