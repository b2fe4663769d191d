#include "view/widgets/HomeScreen.h"

#include <algorithm>
#include <cmath>

namespace {

// left, top, right, bottom with right and bottom exclusive.
QRect design(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Nearest integer, halves away from zero.
int roundAway(double v) { return static_cast<int>(std::round(v)); }

} // namespace

const HomeScreen::AreaInfo& HomeScreen::info(Area area)
{
    static const AreaInfo table[kAreaCount] = {
        {design(120, 186, 240, 240), -1, -1, "数据录入"},
        {design(290, 186, 410, 240), -1, -1, "条件设置"},
        {design(460, 186, 580, 240), -1, -1, "开始排课"},
        {design(107, 332, 400, 587), 0, 1, "工作计划"},
        {design(532, 332, 825, 587), 0, 2, "教师分工"},
        {design(960, 332, 1260, 587), 0, 3, "周课时设置"},
        {design(65, 360, 255, 538), 1, 5, "固定科目"},
        {design(312, 360, 508, 538), 1, 6, "科目排课区"},
        {design(570, 360, 775, 538), 1, 7, "教师排课区"},
        {design(828, 360, 1040, 538), 1, 8, "合班设置"},
        {design(530, 330, 760, 585), 2, 11, "点我排课"},
        {design(1080, 360, 1300, 538), 1, 9, "排课规则"},
    };
    return table[static_cast<int>(area)];
}

HomeScreen::Fit HomeScreen::fit(QSize view)
{
    const double sx = double(view.width()) / kDesignWidth;
    const double sy = double(view.height()) / kDesignHeight;
    Fit f;
    f.scale = std::min(sx, sy);
    f.dx = (view.width() - kDesignWidth * f.scale) / 2;
    f.dy = (view.height() - kDesignHeight * f.scale) / 2;
    return f;
}

QRect HomeScreen::scaled(Area area, QSize view)
{
    const Fit f = fit(view);
    const QRect& r = info(area).design;
    const int left = roundAway(f.dx + r.left() * f.scale);
    const int top = roundAway(f.dy + r.top() * f.scale);
    const int right = roundAway(f.dx + (r.left() + r.width()) * f.scale);
    const int bottom = roundAway(f.dy + (r.top() + r.height()) * f.scale);
    return QRect(left, top, right - left, bottom - top);
}

int HomeScreen::basePicture(int page)
{
    switch (page) {
    case 1: return 4;
    case 2: return 10;
    default: return 0;
    }
}

int HomeScreen::pageOfPicture(int picture)
{
    if (picture >= 10)
        return 2;
    return picture >= 4 ? 1 : 0;
}

QList<HomeScreen::Area> HomeScreen::tilesOfPage(int page)
{
    switch (page) {
    case 0: return {Area::TileWorkPlan, Area::TileAssignment, Area::TileWeeklyLessons};
    case 1: return {Area::TileFixedLessons, Area::TileSubjectZones, Area::TileTeacherZones, Area::TileCombined,
                    Area::TileRules};
    case 2: return {Area::PlayButton};
    default: return {};
    }
}

bool HomeScreen::PointerMoved(int x, int y, QSize view)
{
    int picture = basePicture(m_homePage);
    for (Area tile : tilesOfPage(m_homePage)) {
        if (contains(scaled(tile, view), x, y)) {
            picture = info(tile).hoverPicture;
            break;
        }
    }
    const bool changed = picture != m_homePicture;
    m_homePicture = picture;
    return changed;
}

HomeScreen::Action HomeScreen::LeftClick(int x, int y, QSize view, bool* repaint)
{
    if (repaint)
        *repaint = false;
    const Area tabs[] = {Area::TabDataEntry, Area::TabConstraints, Area::TabScheduling};
    for (int page = 0; page < 3; ++page) {
        if (contains(scaled(tabs[page], view), x, y)) {
            m_homePage = page;
            m_homePicture = basePicture(page);
            if (repaint)
                *repaint = true;
            break;
        }
    }
    switch (m_homePage) {
    case 0:
        switch (m_homePicture) {
        case 1: return Action::OpenDayNum;
        case 2: return Action::OpenFenGong;
        case 3: return Action::OpenClassNumPro;
        default: return Action::Nothing;
        }
    case 1:
        switch (m_homePicture) {
        case 5: return Action::OpenStableSub;
        case 6: return Action::OpenSubYaoPai;
        case 7: return Action::OpenTeacherYaoPai;
        case 8: return Action::OpenCombineSet;
        case 9: return Action::OpenRules;
        default: return Action::Nothing;
        }
    case 2:
        return m_homePicture == 11 ? Action::RunScheduling : Action::Nothing;
    default:
        return Action::Nothing;
    }
}

bool HomeScreen::IsOverClickable(int x, int y, QSize view) const
{
    for (Area tab : {Area::TabDataEntry, Area::TabConstraints, Area::TabScheduling})
        if (contains(scaled(tab, view), x, y))
            return true;
    for (Area tile : tilesOfPage(m_homePage))
        if (contains(scaled(tile, view), x, y))
            return true;
    return false;
}
