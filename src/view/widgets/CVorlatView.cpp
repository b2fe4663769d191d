#include "view/widgets/CVorlatView.h"

#include "store/StoreError.h"
#include "dialogs/plan/NameSearch.h"
#include "view/SwapRules.h"
#include "view/TimetableStore.h"
#include "view/widgets/PictureBook.h"
#include "view/widgets/SwapCommand.h"
#include "view/widgets/TimetablePainter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <functional>

namespace {

// A new timetable for the whole school (a scheduling run, an optimisation) as
// one step of the undo history: undo brings back the week, the classes, the
// grids, the fixed lessons and the baseline as they were.
//
// The fixed lessons moved by hand that the save still has to write follow the
// timetable shown. An optimisation keeps the same fixed lessons, so a change
// of one is recorded as a move. A run starts from the file's fixed lessons:
// the moves made on the earlier timetable are set aside (the user chose not to
// save them) and come back with it on undo.
class ReplaceCommand : public QUndoCommand
{
public:
    struct State
    {
        int classCount = 0;
        int dayCount = 0;
        int periodCount = 0;
        QStringList subjectNames;
        QStringList subjectGrid;
        QStringList teacherGrid;
        std::vector<int> fixedLessons;
        std::vector<int> combinedClasses;
        QStringList baseline;
    };
    static State capture(const TimetableData& data, const QStringList& baseline)
    {
        return {data.classCount,  data.dayCount,     data.periodCount,  data.subjectNames, data.subjectGrid,
                data.teacherGrid, data.fixedLessons, data.combinedClasses, baseline};
    }

    // run: the new timetable is a run's, with the fixed lessons as the file
    // holds them; the moves not yet saved are those of the timetable replaced.
    ReplaceCommand(TimetableModel& model, QStringList& baseline, State after, bool run, const QString& text,
                   std::function<void()> changed)
        : QUndoCommand(text)
        , m_model(model)
        , m_baseline(baseline)
        , m_before(capture(model, baseline))
        , m_after(std::move(after))
        , m_run(run)
        , m_setAside(model.fixedMoves)
        , m_changed(std::move(changed))
    {
    }
    void undo() override
    {
        apply(m_before);
        if (m_run)
            m_model.fixedMoves.append(m_setAside);
    }
    void redo() override
    {
        apply(m_after);
        if (m_run)
            m_model.fixedMoves.append(m_setAside.reversed());
    }

private:
    void apply(const State& s)
    {
        const bool sameShape = s.classCount == m_model.classCount && s.dayCount == m_model.dayCount
            && s.periodCount == m_model.periodCount;
        m_model.classCount = s.classCount;
        m_model.dayCount = s.dayCount;
        m_model.periodCount = s.periodCount;
        m_model.subjectNames = s.subjectNames;
        m_model.subjectGrid = s.subjectGrid;
        m_model.teacherGrid = s.teacherGrid;
        if (m_run)
            m_model.fixedLessons = s.fixedLessons;
        else
            m_model.setFixedLessons(s.fixedLessons);
        m_model.combinedClasses = s.combinedClasses;
        m_model.teachers.clear();
        if (!sameShape && !m_model.layout.showsTeacherTable()
            && !m_model.isCell(m_model.selection.selectedClass, m_model.selection.selectedDay,
                               m_model.selection.selectedPeriod)) {
            m_model.selection.select(0, 0, 0);
            m_model.selection.swapArmed = 0;
        }
        m_model.touch();
        m_baseline = s.baseline;
        m_changed();
    }

    TimetableModel& m_model;
    QStringList& m_baseline;
    State m_before;
    State m_after;
    bool m_run;
    FixedMoveLog m_setAside; // the moves of the replaced timetable not yet saved
    std::function<void()> m_changed;
};

} // namespace

CVorlatView::CVorlatView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    try {
        const Status loaded = TimetableStore::LoadSavedTimetable(m_model);
        if (!loaded.ok())
            m_loadError = loaded.message();
    } catch (const StoreError& error) {
        m_loadError = error.message();
    }
    m_baseline = m_model.subjectGrid;
    connect(&m_undo, &QUndoStack::cleanChanged, this, [this] { notifyModified(); });
    updateScrollBars();
}

int CVorlatView::screenWidth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1920;
}

void CVorlatView::SetDisplayMode(int showTimetable, int showTeacherTable, int adjustMode)
{
    viewport()->unsetCursor();
    DisplayMode mode = DisplayMode::MasterTable;
    if (showTimetable == 0)
        mode = DisplayMode::Home;
    else if (showTeacherTable != 0)
        mode = DisplayMode::TeacherTable;
    else if (adjustMode == 1)
        mode = DisplayMode::Adjustment;
    const bool otherTable = m_model.layout.showsTeacherTable() != (mode == DisplayMode::TeacherTable);
    m_model.SetDisplayMode(mode, screenWidth());
    updateScrollBars();
    // The teacher table and the master table are different tables: each opens at its start.
    if (otherTable) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    viewport()->update();
}

void CVorlatView::PublishToView(const PlanningModel& plan)
{
    TimetableData result = m_model;
    result.PublishToView(plan);
    m_undo.push(new ReplaceCommand(m_model, m_baseline, ReplaceCommand::capture(result, result.subjectGrid), true,
                                   QStringLiteral("排课"), [this] { timetableChanged(); }));
}

bool CVorlatView::SaveTimetable()
{
    try {
        TimetableStore::SaveTimetable(m_model);
    } catch (const StoreError& error) {
        QMessageBox::critical(this, QStringLiteral("Vorlat"), QStringLiteral("课表没有保存。\n%1").arg(error.message()));
        return false;
    }
    m_undo.setClean();
    notifyModified();
    return true;
}

void CVorlatView::notifyModified()
{
    const bool modified = isModified();
    if (modified != m_lastModified) {
        m_lastModified = modified;
        Q_EMIT modifiedChanged(modified);
    }
}

void CVorlatView::updateScrollBars()
{
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_model.layout.contentWidth - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(std::max(1, m_model.layout.cellWidth));
    verticalScrollBar()->setRange(0, std::max(0, m_model.layout.contentHeight - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(std::max(1, m_model.layout.cellHeight));
}

void CVorlatView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CVorlatView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CVorlatView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    if (!m_model.layout.showsTimetable()) {
        painter.drawPixmap(client, PictureBook::pictureAt(HomeScreen::kFirstPicture + m_home.homePicture(),
                                                          client.size()));
        // The other pictures are painted for this size while the program waits
        // for the user, one per turn of the event loop, so that hovers find them ready.
        if (m_warmedSize != client.size()) {
            m_warmedSize = client.size();
            m_warmNext = 0;
            QTimer::singleShot(0, this, &CVorlatView::warmNextPicture);
        }
        return;
    }
    painter.fillRect(client, TimetablePainter::Colour::Background);
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    // The cells scroll; the header band keeps its place at the top and the
    // name column at the left (each follows the other direction only), and the
    // corner stays put. Each part is painted clipped to its place.
    const int nameWidth = m_model.layout.nameWidth();
    const int headerHeight = m_model.layout.headerHeight();
    const struct
    {
        QRect place;
        QPoint shift;
    } parts[] = {
        {QRect(QPoint(nameWidth, headerHeight), client.bottomRight()), scroll},
        {QRect(QPoint(nameWidth, 0), QPoint(client.right(), headerHeight - 1)), QPoint(scroll.x(), 0)},
        {QRect(QPoint(0, headerHeight), QPoint(nameWidth - 1, client.bottom())), QPoint(0, scroll.y())},
        {QRect(0, 0, nameWidth, headerHeight), QPoint()},
    };
    for (const auto& part : parts) {
        const QRect place = part.place & event->rect();
        if (place.isEmpty())
            continue;
        painter.save();
        painter.setClipRect(place);
        painter.translate(-part.shift);
        TimetablePainter::paint(painter, m_model, place.translated(part.shift), m_marks);
        painter.restore();
    }
}

void CVorlatView::warmNextPicture()
{
    if (m_model.layout.showsTimetable() || m_warmedSize != viewport()->size())
        return;
    for (; m_warmNext < HomeScreen::kPictureCount; ++m_warmNext) {
        if (m_warmNext == 9) // picture 9 is never shown
            continue;
        PictureBook::pictureAt(HomeScreen::kFirstPicture + m_warmNext, m_warmedSize);
        ++m_warmNext;
        QTimer::singleShot(0, this, &CVorlatView::warmNextPicture);
        return;
    }
}

void CVorlatView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_model.layout.showsTimetable())
        return;
    const QPoint pos = event->position().toPoint();
    if (m_home.PointerMoved(pos.x(), pos.y(), homeSize()))
        viewport()->update();
    viewport()->setCursor(m_home.IsOverClickable(pos.x(), pos.y(), homeSize()) ? Qt::PointingHandCursor
                                                                                : Qt::ArrowCursor);
}

void CVorlatView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_model.layout.showsTimetable()) {
        if (event->button() != Qt::LeftButton)
            return;
        bool repaint = false;
        const HomeScreen::Action action = m_home.LeftClick(pos.x(), pos.y(), homeSize(), &repaint);
        if (repaint)
            viewport()->update();
        if (action != HomeScreen::Action::Nothing)
            Q_EMIT homeAction(action);
        return;
    }
    const int scrollX = horizontalScrollBar()->value();
    const int scrollY = verticalScrollBar()->value();
    if (event->button() == Qt::LeftButton) {
        const bool changed = m_model.layout.showsTeacherTable() ? m_model.SelectTeacherRow(pos.y(), scrollY)
                                                           : m_model.SelectMasterCell(pos.x(), pos.y(), scrollX, scrollY);
        if (changed)
            viewport()->repaint();
    } else if (event->button() == Qt::RightButton) {
        // The cells keep the right click for swapping; a name offers its page.
        if (const auto named = PrintChoice::nameAt(m_model, pos.x(), pos.y(), scrollX, scrollY))
            Q_EMIT nameMenuRequested(*named, event->globalPosition().toPoint());
        else
            RightClickSwap(pos, scrollX, scrollY);
    }
}

void CVorlatView::RightClickSwap(QPoint pos, int scrollX, int scrollY)
{
    using Decision = SwapRules::Decision;
    const SwapRules::Request request = SwapRules::Decide(m_model, pos.x(), pos.y(), scrollX, scrollY);
    // The texts carry "\r\n" line breaks.
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    switch (request.decision) {
    case Decision::Ignore:
        return;
    case Decision::RefuseOtherClass: {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vorlat"), text, QMessageBox::Ok, this);
        box.exec();
        return;
    }
    case Decision::AskConfirm:
    case Decision::AskForce: {
        QMessageBox box(QMessageBox::Information, SwapRules::questionCaption(), text,
                        QMessageBox::Ok | QMessageBox::Cancel, this);
        if (box.exec() != QMessageBox::Ok) {
            viewport()->repaint();
            return;
        }
        break;
    }
    case Decision::SwapAtOnce:
        break;
    }
    const int c = request.classIndex;
    SwapCommand::State before = SwapCommand::capture(m_model, c, request.selectedDay, request.selectedPeriod,
                                                     request.clickedDay, request.clickedPeriod);
    SwapRules::Perform(m_model, request);
    SwapCommand::State after = SwapCommand::capture(m_model, c, request.selectedDay, request.selectedPeriod,
                                                    request.clickedDay, request.clickedPeriod);
    m_undo.push(new SwapCommand(m_model, c, std::move(before), std::move(after), [this] { timetableChanged(); }));
    Q_EMIT swapped(c, request.selectedDay, request.selectedPeriod, request.clickedDay, request.clickedPeriod);
    viewport()->repaint();
}

bool CVorlatView::FindRow(const QString& text, bool next)
{
    NameSearch search;
    search.type(text, true);
    const int current = m_model.selection.selectedClass;
    const int row = search.findFrom(m_model.rowNames(), next ? current + 1 : std::max(current, 0));
    if (row < 0)
        return false;
    m_model.SelectRow(row);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(m_model.layout.ScrollToShowRow(row, bar->value(), viewport()->height()));
    viewport()->update();
    return true;
}

void CVorlatView::replaceTimetable(const TimetableData& result, const QString& undoText)
{
    m_undo.push(new ReplaceCommand(m_model, m_baseline, ReplaceCommand::capture(result, result.subjectGrid), false,
                                   undoText, [this] { timetableChanged(); }));
}

void CVorlatView::timetableChanged()
{
    // An undone run may bring back another week or other classes.
    if (m_model.layout.showsTeacherTable())
        m_model.BuildTeacherTable();
    m_model.UpdateGeometry(screenWidth());
    updateScrollBars();
    viewport()->update();
}
