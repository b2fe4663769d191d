#include "dialogs/daily/AbsenceDialog.h"

#include "base/Naming.h"
#include "dialogs/daily/DailyDialogSupport.h"
#include "view/daily/DailyEdit.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DailyStore.h"
#include "view/daily/DayList.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

AbsenceDialog::AbsenceDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("请假登记"));
    auto* layout = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    m_teacher = new QComboBox(this);
    m_teacher->setEditable(true);
    m_teacher->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QStringLiteral("教师："), m_teacher);
    auto* range = new QHBoxLayout;
    m_from = DailyDialogs::dateEdit(QDate::currentDate(), this);
    m_to = DailyDialogs::dateEdit(QDate::currentDate(), this);
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("至"), this));
    range->addWidget(m_to);
    range->addStretch();
    form->addRow(QStringLiteral("日期："), range);
    m_periods = new QLineEdit(this);
    m_periods->setPlaceholderText(QStringLiteral("空为全天；只请某几节时写节次，如 1,2"));
    form->addRow(QStringLiteral("节次："), m_periods);
    m_reason = new QLineEdit(this);
    m_reason->setPlaceholderText(QStringLiteral("病假、培训、外出…"));
    form->addRow(QStringLiteral("事由："), m_reason);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("登记"), this);
    m_remove = new QPushButton(QStringLiteral("删除所选请假"), this);
    buttons->addWidget(m_save);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    layout->addLayout(buttons);

    layout->addWidget(new QLabel(QStringLiteral("已登记的请假："), this));
    m_absences = DailyDialogs::table({QStringLiteral("编号"), QStringLiteral("教师"), QStringLiteral("从"),
                                      QStringLiteral("到"), QStringLiteral("节次"), QStringLiteral("事由")},
                                     this);
    layout->addWidget(m_absences, 1);
    m_lessonsTitle = new QLabel(QStringLiteral("受影响的课："), this);
    layout->addWidget(m_lessonsTitle);
    m_lessons = DailyDialogs::table({QStringLiteral("日期"), QStringLiteral("星期"), QStringLiteral("节次"),
                                     QStringLiteral("班级"), QStringLiteral("科目")},
                                    this);
    layout->addWidget(m_lessons, 1);

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(close);

    connect(m_save, &QPushButton::clicked, this, &AbsenceDialog::saveAbsence);
    connect(m_remove, &QPushButton::clicked, this, &AbsenceDialog::removeAbsence);
    connect(m_absences, &QTableWidget::currentCellChanged, this, [this](int row) { showLessons(row); });
    connect(m_from, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (m_to->date() < date)
            m_to->setDate(date);
    });
    resize(720, 640);
}

AbsenceDialog::~AbsenceDialog() = default;

bool AbsenceDialog::loadData()
{
    m_data = DailyData();
    if (!DailyDialogs::load(this, m_data, true))
        return false;
    m_index = std::make_unique<DailyIndex>(m_data.timetable);
    const QString current = m_teacher->currentText();
    m_teacher->clear();
    m_teacher->addItems(m_index->teachers());
    m_teacher->setCurrentIndex(current.isEmpty() ? -1 : m_teacher->findText(current));
    const QDate start = DailyDialogs::startDate(m_data.calendar);
    m_from->setDate(start);
    m_to->setDate(start);
    showAbsences(-1);
    return true;
}

void AbsenceDialog::saveAbsence()
{
    if (!m_index)
        return;
    Absence absence;
    absence.teacher = m_teacher->currentText().trimmed();
    absence.from = m_from->date();
    absence.to = m_to->date();
    absence.reason = m_reason->text().trimmed();
    QString error;
    if (!parseAbsencePeriods(m_periods->text(), m_data.timetable.periodCount, absence.periods, error)) {
        DailyDialogs::showMessage(this, error);
        return;
    }
    const QString refusal = absenceRefusal(absence, m_data, *m_index);
    if (!refusal.isEmpty()) {
        DailyDialogs::showMessage(this, refusal);
        return;
    }
    int id = 0;
    if (!DailyDialogs::write(this, [&] { id = DailyStore::AddAbsence(absence); }))
        return;
    absence.id = id;
    m_data.absences.push_back(absence);
    m_periods->clear();
    m_reason->clear();
    showAbsences(id);
}

void AbsenceDialog::removeAbsence()
{
    const int row = m_absences->currentRow();
    if (row < 0 || row >= static_cast<int>(m_data.absences.size()))
        return;
    const int id = m_data.absences[static_cast<size_t>(row)].id;
    if (!DailyDialogs::write(this, [&] { DailyStore::RemoveAbsence(id); }))
        return;
    m_data.absences.erase(m_data.absences.begin() + row);
    showAbsences(-1);
}

void AbsenceDialog::showAbsences(int selectId)
{
    std::vector<QStringList> rows;
    int select = -1;
    for (const Absence& a : m_data.absences) {
        if (a.id == selectId)
            select = static_cast<int>(rows.size());
        rows.push_back({QString::number(a.id), a.teacher, TermCalendar::dateText(a.from), TermCalendar::dateText(a.to),
                        absencePeriodsText(a), a.reason});
    }
    if (select < 0 && !rows.empty())
        select = static_cast<int>(rows.size()) - 1; // the latest, its lessons listed
    {
        const QSignalBlocker quiet(m_absences);
        DailyDialogs::setRows(m_absences, rows);
        m_absences->setCurrentCell(select, 0);
    }
    showLessons(select);
}

void AbsenceDialog::showLessons(int row)
{
    std::vector<QStringList> rows;
    if (row >= 0 && row < static_cast<int>(m_data.absences.size()) && m_index) {
        const Absence& absence = m_data.absences[static_cast<size_t>(row)];
        for (const AffectedLesson& lesson : absenceLessons(m_data, *m_index, absence))
            rows.push_back({TermCalendar::dateText(lesson.date), DayName(lesson.date.dayOfWeek() - 1),
                            PeriodName(lesson.period), lesson.classes.join(QStringLiteral("、")), lesson.subject});
        m_lessonsTitle->setText(QStringLiteral("%1 请假受影响的课：%2 节").arg(absence.teacher).arg(rows.size()));
    } else {
        m_lessonsTitle->setText(QStringLiteral("受影响的课：（选择一条请假）"));
    }
    DailyDialogs::setRows(m_lessons, rows);
}
