#include "dialogs/daily/DayTimetableDialog.h"

#include "base/Naming.h"
#include "dialogs/daily/DailyDialogSupport.h"
#include "view/daily/DailyEdit.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DayTimetable.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QColor changeColour(DayChange change)
{
    return QColor::fromRgb(static_cast<QRgb>(dayChangeRgb(change)));
}

QWidget* legend(QWidget* parent)
{
    auto* bar = new QWidget(parent);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    for (DayChange change : {DayChange::Uncovered, DayChange::Substitute, DayChange::SwappedIn, DayChange::SelfStudy}) {
        auto* swatch = new QLabel(bar);
        swatch->setFixedSize(18, 18);
        swatch->setStyleSheet(QStringLiteral("background:%1;border:1px solid #888;").arg(changeColour(change).name()));
        layout->addWidget(swatch);
        layout->addWidget(new QLabel(dayChangeName(change), bar));
        layout->addSpacing(12);
    }
    layout->addStretch();
    return bar;
}

} // namespace

DayTimetableDialog::DayTimetableDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("当日课表"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_date = DailyDialogs::dateRow(top, this);
    m_kind = new QComboBox(this);
    m_kind->addItems({QStringLiteral("总课表"), QStringLiteral("教师课表")});
    top->addWidget(m_kind);
    m_note = new QLabel(this);
    top->addWidget(m_note, 1);
    layout->addLayout(top);
    m_grid = new QTableWidget(this);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(true);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_grid, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(legend(this), 1);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_date, &QDateEdit::dateChanged, this, [this] { showDay(); });
    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] { showDay(); });
    resize(1000, 640);
}

DayTimetableDialog::~DayTimetableDialog() = default;

bool DayTimetableDialog::loadData()
{
    m_data = DailyData();
    if (!DailyDialogs::load(this, m_data, true))
        return false;
    m_index = std::make_unique<DailyIndex>(m_data.timetable);
    const QSignalBlocker quiet(m_date);
    m_date->setDate(DailyDialogs::startDate(m_data.calendar));
    showDay();
    return true;
}

void DayTimetableDialog::setDate(const QDate& date)
{
    m_date->setDate(date);
}

void DayTimetableDialog::setViewKind(int kind)
{
    m_kind->setCurrentIndex(kind);
}

void DayTimetableDialog::showDay()
{
    if (!m_index)
        return;
    const QDate date = m_date->date();
    const DayTimetable day(m_data, *m_index, date);
    m_grid->clear();
    if (!day.hasLessons()) {
        m_grid->setRowCount(0);
        m_grid->setColumnCount(0);
        m_note->setText(QStringLiteral("%1：这一天没有课（放假、周末或不在学期内）。").arg(DayName(date.dayOfWeek() - 1)));
        return;
    }
    int changes = 0;
    QStringList periods;
    for (int p = 0; p < day.periodCount(); ++p)
        periods << PeriodName(p);
    m_grid->setColumnCount(day.periodCount());
    m_grid->setHorizontalHeaderLabels(periods);
    if (m_kind->currentIndex() == 0) {
        QStringList classes;
        m_grid->setRowCount(day.classCount());
        for (int c = 0; c < day.classCount(); ++c) {
            classes << m_data.timetable.className(c);
            for (int p = 0; p < day.periodCount(); ++p) {
                const DayCell& cell = day.cell(c, p);
                auto* item = new QTableWidgetItem(dayCellText(cell));
                item->setTextAlignment(Qt::AlignCenter);
                item->setBackground(changeColour(cell.change));
                changes += cell.change != DayChange::None;
                m_grid->setItem(c, p, item);
            }
        }
        m_grid->setVerticalHeaderLabels(classes);
    } else {
        const QStringList& teachers = m_index->teachers();
        m_grid->setRowCount(static_cast<int>(teachers.size()));
        m_grid->setVerticalHeaderLabels(teachers);
        for (int t = 0; t < teachers.size(); ++t) {
            for (const DayTimetable::TeacherLesson& lesson : day.teacherDay(teachers[t])) {
                QString text = lesson.classes.join(QStringLiteral("、")) + QLatin1Char('\n') + lesson.subject;
                if (lesson.away && lesson.change == DayChange::Uncovered)
                    text += QStringLiteral("\n（请假，未安排）");
                else if (lesson.away && lesson.change == DayChange::SelfStudy)
                    text += QStringLiteral("\n（请假，自习）");
                else if (lesson.away)
                    text += QStringLiteral("\n（请假，%1 %2）").arg(lesson.otherTeacher, lesson.otherSubject);
                else if (lesson.change == DayChange::Substitute)
                    text += QStringLiteral("\n代 %1").arg(lesson.otherTeacher);
                else if (lesson.change == DayChange::SwappedIn)
                    text += QStringLiteral("\n调课");
                auto* item = new QTableWidgetItem(text);
                item->setTextAlignment(Qt::AlignCenter);
                item->setBackground(changeColour(lesson.change));
                changes += lesson.change != DayChange::None;
                m_grid->setItem(t, lesson.period, item);
            }
        }
    }
    m_note->setText(QStringLiteral("%1，按%2的课表；标色的是当天的调整（%3 处）。")
                        .arg(DayName(date.dayOfWeek() - 1), DayName(day.day()))
                        .arg(changes));
}
