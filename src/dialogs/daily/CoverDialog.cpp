#include "dialogs/daily/CoverDialog.h"

#include "base/Naming.h"
#include "dialogs/daily/DailyDialogSupport.h"
#include "view/daily/DailyEdit.h"
#include "view/daily/DailyStore.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CoverDialog::CoverDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("代课安排"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_date = DailyDialogs::dateRow(top, this);
    m_dayNote = new QLabel(this);
    top->addWidget(m_dayNote, 1);
    layout->addLayout(top);

    m_lessons = DailyDialogs::table({QStringLiteral("节次"), QStringLiteral("班级"), QStringLiteral("科目"),
                                     QStringLiteral("请假教师"), QStringLiteral("事由"), QStringLiteral("安排"),
                                     QStringLiteral("提示")},
                                    this);
    layout->addWidget(m_lessons, 3);
    layout->addWidget(new QLabel(QStringLiteral("可选的安排（靠前的更合适）："), this));
    m_suggestions = new QListWidget(this);
    layout->addWidget(m_suggestions, 2);
    auto* buttons = new QHBoxLayout;
    m_choose = new QPushButton(QStringLiteral("选定"), this);
    m_clear = new QPushButton(QStringLiteral("取消安排"), this);
    buttons->addWidget(m_choose);
    buttons->addWidget(m_clear);
    buttons->addStretch();
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_date, &QDateEdit::dateChanged, this, [this] { showDay(); });
    connect(m_lessons, &QTableWidget::currentCellChanged, this, [this](int row) { showSuggestions(row); });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this] { choose(); });
    connect(m_choose, &QPushButton::clicked, this, &CoverDialog::choose);
    connect(m_clear, &QPushButton::clicked, this, &CoverDialog::clearChoice);
    resize(900, 640);
}

CoverDialog::~CoverDialog() = default;

bool CoverDialog::reload()
{
    m_finder.reset();
    m_data = DailyData();
    if (!DailyDialogs::load(this, m_data, true))
        return false;
    m_finder = std::make_unique<SubstituteFinder>(m_data);
    return true;
}

bool CoverDialog::loadData()
{
    if (!reload())
        return false;
    const QSignalBlocker quiet(m_date);
    m_date->setDate(DailyDialogs::startDate(m_data.calendar));
    showDay();
    return true;
}

void CoverDialog::setDate(const QDate& date)
{
    m_date->setDate(date);
}

void CoverDialog::showDay()
{
    if (!m_finder)
        return;
    const QDate date = m_date->date();
    m_day = m_finder->forDate(date);
    m_list = m_finder->dayList(date);
    m_rows.clear();
    std::vector<QStringList> rows;
    std::vector<bool> warned;
    for (int i = 0; i < static_cast<int>(m_list.lessons.size()); ++i) {
        const AffectedLesson& lesson = m_list.lessons[static_cast<size_t>(i)];
        const LessonState state = lessonState(m_data, lesson);
        rows.push_back({PeriodName(lesson.period), lesson.classes.join(QStringLiteral("、")), lesson.subject,
                        lesson.teacher, lesson.reason, state.choice, state.warning});
        warned.push_back(!state.warning.isEmpty());
        m_rows.push_back({i, lesson.cover});
    }
    for (const UnmatchedCover& unmatched : m_list.unmatched) {
        const Cover& cover = m_data.covers[static_cast<size_t>(unmatched.cover)];
        rows.push_back({PeriodName(cover.period), cover.className, cover.subject, cover.absentTeacher, QString(),
                        coverChoiceText(cover), QStringLiteral("⚠ ") + unmatched.problem});
        warned.push_back(true);
        m_rows.push_back({-1, unmatched.cover});
    }
    const QSignalBlocker quiet(m_lessons);
    DailyDialogs::setRows(m_lessons, rows);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const bool arranged = m_rows[static_cast<size_t>(r)].cover >= 0;
        for (int c = 0; c < m_lessons->columnCount(); ++c) {
            QTableWidgetItem* item = m_lessons->item(r, c);
            if (warned[static_cast<size_t>(r)])
                item->setForeground(QColor(200, 0, 0));
            else if (!arranged)
                item->setForeground(QColor(110, 110, 110));
        }
    }
    QString note;
    if (m_list.day < 0)
        note = QStringLiteral("%1：这一天没有课。").arg(DayName(date.dayOfWeek() - 1));
    else
        note = QStringLiteral("%1，按%2的课表；受请假影响的课 %3 节。")
                   .arg(DayName(date.dayOfWeek() - 1), DayName(m_list.day))
                   .arg(m_list.lessons.size());
    if (!m_list.absenceNotes.isEmpty())
        note += QLatin1Char(' ') + m_list.absenceNotes.join(QStringLiteral("；"));
    m_dayNote->setText(note);
    m_lessons->setCurrentCell(rows.empty() ? -1 : 0, 0);
    showSuggestions(rows.empty() ? -1 : 0);
}

void CoverDialog::showSuggestions(int row)
{
    m_suggestions->clear();
    const bool valid = row >= 0 && row < static_cast<int>(m_rows.size());
    m_clear->setEnabled(valid && m_rows[static_cast<size_t>(row)].cover >= 0);
    m_choose->setEnabled(false);
    if (!valid || m_rows[static_cast<size_t>(row)].lesson < 0)
        return;
    const LessonSuggestions& offered = m_day[static_cast<size_t>(m_rows[static_cast<size_t>(row)].lesson)];
    for (const Suggestion& suggestion : offered.suggestions)
        m_suggestions->addItem(suggestionLine(suggestion));
    if (m_suggestions->count() > 0) {
        m_suggestions->setCurrentRow(0);
        m_choose->setEnabled(true);
    }
}

void CoverDialog::choose()
{
    const int row = m_lessons->currentRow();
    const int pick = m_suggestions->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[static_cast<size_t>(row)].lesson < 0 || pick < 0)
        return;
    const LessonSuggestions& offered = m_day[static_cast<size_t>(m_rows[static_cast<size_t>(row)].lesson)];
    if (pick >= static_cast<int>(offered.suggestions.size()))
        return;
    const Cover cover = coverFor(m_data, offered.lesson, offered.suggestions[static_cast<size_t>(pick)]);
    if (!DailyDialogs::write(this, [&] { DailyStore::SetCover(cover); }))
        return;
    if (!reload())
        return;
    showDay();
    m_lessons->setCurrentCell(std::min(row, m_lessons->rowCount() - 1), 0);
}

void CoverDialog::clearChoice()
{
    const int row = m_lessons->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[static_cast<size_t>(row)].cover < 0)
        return;
    const int id = m_data.covers[static_cast<size_t>(m_rows[static_cast<size_t>(row)].cover)].id;
    if (!DailyDialogs::write(this, [&] { DailyStore::RemoveCover(id); }))
        return;
    if (!reload())
        return;
    showDay();
    m_lessons->setCurrentCell(std::min(row, m_lessons->rowCount() - 1), 0);
}
