#include "dialogs/rules/CTeacherOffDlg.h"

#include "base/Naming.h"
#include "dialogs/plan/WeekGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <functional>

// The week grid of the periods off: the zone dialogs' grid with the chosen
// cells in red, marked "不排".
class TeacherOffGrid : public QWidget
{
public:
    TeacherOffGrid(TeacherOffLogic& logic, QWidget* dialog, std::function<void(QPoint)> onPress)
        : QWidget(dialog), m_logic(logic), m_onPress(std::move(onPress))
    {
        setGeometry(m_logic.grid.geometry().bounds().adjusted(0, 0, 1, 1));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.translate(-pos());
        const WeekGridGeometry& g = m_logic.grid.geometry();
        paintWeekGrid(painter, geometry(), g);
        painter.setPen(Qt::white);
        for (int d = 0; d < g.days; ++d)
            for (int p = 0; p < g.periods; ++p)
                if (m_logic.grid.isChosen(d, p)) {
                    painter.fillRect(g.dataCellInner(d, p), QColor(220, 60, 50));
                    painter.drawText(g.dataCellInner(d, p), Qt::AlignCenter, QStringLiteral("不排"));
                }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_onPress(event->position().toPoint() + pos());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if ((event->buttons() & Qt::LeftButton) && m_logic.grid.move(event->position().toPoint() + pos()))
            update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_logic.grid.release();
    }

private:
    TeacherOffLogic& m_logic;
    std::function<void(QPoint)> m_onPress;
};

CTeacherOffDlg::CTeacherOffDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("教师不排课"), 483, 310),
      m_teachers(new ReportList({QStringLiteral("教师"), ListMarks::selectAllHeader()}, {60, 65}, this)),
      m_day(new QComboBox(this)),
      m_wholeDay(new QPushButton(QStringLiteral("整天"), this)),
      m_morning(new QPushButton(QStringLiteral("上午"), this)),
      m_afternoon(new QPushButton(QStringLiteral("下午"), this)),
      m_clear(new QPushButton(QStringLiteral("清除所有"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_note(new QLabel(this))
{
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(look);
    setAutoFillBackground(true);
    m_save->setDefault(true);

    place(m_teachers, 7, 4, 99, 300);
    m_logic.gridArea = units().scaledPixels(m_logic.gridArea);
    load([this] { return m_logic.load(); });
    m_grid = new TeacherOffGrid(m_logic, this, [this](QPoint point) {
        if (m_logic.press(point) == ZoneGrid::Press::NeedsSelection)
            showMessage(QStringLiteral("请选择教师后再设置不排课的节次"));
        m_grid->update();
    });
    m_grid->lower();

    for (int d = 0; d < m_logic.days; ++d)
        m_day->addItem(DayName(d));
    place(m_day, 112, 273, 48, 14);
    place(m_wholeDay, 164, 273, 36, 14);
    place(m_morning, 203, 273, 36, 14);
    place(m_afternoon, 242, 273, 36, 14);
    place(m_clear, 367, 273, 50, 14);
    place(m_save, 426, 273, 50, 14);
    place(m_note, 112, 291, 364, 16);
    m_note->setWordWrap(true);
    m_note->setText(QStringLiteral("先勾选教师（可多选），再在表中点击或拖动标出不排课的节次；保存时所选教师都按此表设置。"));
    const bool halves = m_logic.morning > 0 && m_logic.morning < m_logic.periods;
    m_morning->setEnabled(halves);
    m_afternoon->setEnabled(halves);
    showMarks();

    connect(m_teachers, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickTeacher(row);
        showMarks();
    });
    connect(m_teachers->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column != 1)
            return;
        m_teachers->setHeaderText(1, m_logic.teacherHeaderClicked());
        showMarks();
    });
    const auto part = [this](TeacherOffLogic::Part which) {
        if (!m_logic.selectionMade()) {
            showMessage(QStringLiteral("请选择教师后再设置不排课的节次"));
            return;
        }
        m_logic.togglePart(m_day->currentIndex(), which);
        m_grid->update();
    };
    connect(m_wholeDay, &QPushButton::clicked, this, [part] { part(TeacherOffLogic::Part::WholeDay); });
    connect(m_morning, &QPushButton::clicked, this, [part] { part(TeacherOffLogic::Part::Morning); });
    connect(m_afternoon, &QPushButton::clicked, this, [part] { part(TeacherOffLogic::Part::Afternoon); });
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_logic.grid.clear();
        m_grid->update();
    });
    connect(m_save, &QPushButton::clicked, this, &CTeacherOffDlg::onSave);
}

QWidget* CTeacherOffDlg::gridWidget() const
{
    return m_grid;
}

QPushButton* CTeacherOffDlg::partButton(TeacherOffLogic::Part part) const
{
    switch (part) {
    case TeacherOffLogic::Part::Morning: return m_morning;
    case TeacherOffLogic::Part::Afternoon: return m_afternoon;
    default: return m_wholeDay;
    }
}

void CTeacherOffDlg::showMarks()
{
    std::vector<QStringList> rows;
    for (int i = 0; i < m_logic.teachers.size(); ++i)
        rows.push_back({m_logic.teachers[i], m_logic.teacherMarks.marks[i]});
    const int scroll = m_teachers->verticalScrollBar()->value();
    m_teachers->setRows(rows);
    m_teachers->verticalScrollBar()->setValue(scroll);
    if (m_grid)
        m_grid->update();
}

void CTeacherOffDlg::onSave()
{
    if (!save([this] { m_logic.save(); }))
        return;
    const QStringList warnings = m_logic.warnings();
    if (!warnings.isEmpty())
        showMessage(QStringLiteral("已保存。以下教师的课可能排不下，排课时会说明：\n") + warnings.join(QLatin1Char('\n')));
    accept();
}
