#include "dialogs/daily/CalendarDialog.h"

#include "base/Naming.h"
#include "dialogs/daily/DailyDialogSupport.h"
#include "store/StoreError.h"
#include "view/daily/DailyStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

CalendarDialog::CalendarDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("校历"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_first = DailyDialogs::dateEdit(QDate::currentDate(), this);
    form->addRow(QStringLiteral("开学日期："), m_first);
    m_weeks = new QSpinBox(this);
    m_weeks->setRange(1, 30);
    m_weeks->setValue(20);
    m_weeks->setSuffix(QStringLiteral(" 周"));
    form->addRow(QStringLiteral("教学周数："), m_weeks);
    layout->addLayout(form);

    layout->addWidget(new QLabel(QStringLiteral("放假和调休："), this));
    auto* add = new QHBoxLayout;
    m_day = DailyDialogs::dateEdit(QDate::currentDate(), this);
    m_kind = new QComboBox(this);
    m_kind->addItems({QStringLiteral("放假"), QStringLiteral("调休")});
    m_weekday = new QComboBox(this);
    for (int d = 0; d < 7; ++d)
        m_weekday->addItem(QStringLiteral("按%1上课").arg(DayName(d)));
    m_weekday->setEnabled(false);
    auto* addButton = new QPushButton(QStringLiteral("添加"), this);
    auto* removeButton = new QPushButton(QStringLiteral("删除所选"), this);
    add->addWidget(m_day);
    add->addWidget(m_kind);
    add->addWidget(m_weekday);
    add->addWidget(addButton);
    add->addWidget(removeButton);
    add->addStretch();
    layout->addLayout(add);
    m_days = DailyDialogs::table({QStringLiteral("日期"), QStringLiteral("星期"), QStringLiteral("类型"),
                                  QStringLiteral("按星期")},
                                 this);
    layout->addWidget(m_days, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    m_save = buttons->button(QDialogButtonBox::Save);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalendarDialog::saveCalendar);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this](int kind) { m_weekday->setEnabled(kind == 1); });
    connect(addButton, &QPushButton::clicked, this, &CalendarDialog::addSpecialDay);
    connect(removeButton, &QPushButton::clicked, this, &CalendarDialog::removeSpecialDay);
    resize(560, 520);
}

bool CalendarDialog::loadData()
{
    try {
        m_calendar = DailyStore::ReadCalendar();
    } catch (const StoreError& error) {
        DailyDialogs::showMessage(this, error.message());
        return false;
    }
    if (m_calendar.isSet()) {
        m_first->setDate(m_calendar.firstDay);
        m_weeks->setValue(m_calendar.weeks);
        m_day->setDate(m_calendar.firstDay);
    }
    showSpecialDays();
    return true;
}

void CalendarDialog::showSpecialDays()
{
    std::vector<QStringList> rows;
    for (const auto& [date, special] : m_calendar.specialDays) {
        const bool makeUp = special.kind == TermCalendar::SpecialDay::Kind::MakeUp;
        rows.push_back({TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1),
                        makeUp ? QStringLiteral("调休") : QStringLiteral("放假"),
                        makeUp ? DayName(special.weekday) : QString()});
    }
    DailyDialogs::setRows(m_days, rows);
}

void CalendarDialog::addSpecialDay()
{
    TermCalendar::SpecialDay special;
    if (m_kind->currentIndex() == 1) {
        special.kind = TermCalendar::SpecialDay::Kind::MakeUp;
        special.weekday = m_weekday->currentIndex();
    }
    m_calendar.specialDays[m_day->date()] = special;
    showSpecialDays();
}

void CalendarDialog::removeSpecialDay()
{
    const int row = m_days->currentRow();
    if (row < 0 || !m_days->item(row, 0))
        return;
    m_calendar.specialDays.erase(TermCalendar::parseDate(m_days->item(row, 0)->text()));
    showSpecialDays();
}

void CalendarDialog::saveCalendar()
{
    m_calendar.firstDay = m_first->date();
    m_calendar.weeks = m_weeks->value();
    if (DailyDialogs::write(this, [this] { DailyStore::SaveCalendar(m_calendar); }))
        accept();
}
