#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The home screen without pixels: which page and picture are shown, what a
// pointer move highlights and what a left click asks for. Areas are designed
// on a 1366 × 768 screen and placed on the view by `fit`: one scale for both
// directions (a round button stays round on a view of any shape), the design
// centred. The pictures are painted through the same fit, so an area is
// exactly where its tile is drawn. A point is inside when left ≤ x < right
// and top ≤ y < bottom.
class HomeScreen
{
public:
    static constexpr int kDesignWidth = 1366;
    static constexpr int kDesignHeight = 768;
    static constexpr int kPictureCount = 12;  // picture n is resource 381 + n
    static constexpr int kFirstPicture = 381;

    enum class Area {
        None = -1,
        TabDataEntry,   // 数据录入
        TabConstraints, // 条件设置
        TabScheduling,  // 开始排课
        TileWorkPlan,   // 工作计划
        TileAssignment, // 教师分工
        TileWeeklyLessons, // 周课时设置
        TileFixedLessons,  // 固定科目
        TileSubjectZones,  // 科目排课区
        TileTeacherZones,  // 教师排课区
        TileCombined,      // 合班设置
        PlayButton,        // 点我排课
        TileRules,         // 排课规则
    };
    static constexpr int kAreaCount = 12;

    // What a click asks the program to do.
    enum class Action {
        Nothing,
        OpenDayNum,        // CDayNumDlg
        OpenFenGong,       // CFenGongDlg
        OpenClassNumPro,   // CClassNumProDlg
        OpenStableSub,     // CStableSubDlg
        OpenSubYaoPai,     // CSubYaoPaiDlg
        OpenTeacherYaoPai, // CTeacherYaoPaiDlg
        OpenCombineSet,    // CCombineSetDlg
        RunScheduling,
        OpenRules,         // CRulesDlg
    };

    struct AreaInfo
    {
        QRect design;        // left, top, right + 1, bottom + 1 as a QRect
        int page;            // -1: a tab, shown on every page
        int hoverPicture;    // picture while hovered; -1 for tabs
        const char* caption; // the text painted in the area
    };
    static const AreaInfo& info(Area area);
    // Design rectangle as (left, top, right, bottom), right and bottom exclusive.
    static QRect designRect(Area area) { return info(area).design; }

    // How the design space lies on a view of size `view`: view point =
    // offset + scale · design point. The scale is the smaller of
    // width / 1366 and height / 768; the design is centred in the other direction.
    struct Fit
    {
        double scale = 1;
        double dx = 0;
        double dy = 0;
    };
    static Fit fit(QSize view);
    // A design rectangle placed on a view of size `view` by `fit`, each
    // coordinate taken to the nearest integer, halves away from zero.
    static QRect scaled(Area area, QSize view);
    static bool contains(const QRect& r, int x, int y)
    {
        return x >= r.left() && x < r.left() + r.width() && y >= r.top() && y < r.top() + r.height();
    }

    int homePage() const { return m_homePage; }
    int homePicture() const { return m_homePicture; }
    // The base picture of a page (0, 4, 10) and the page of a picture.
    static int basePicture(int page);
    static int pageOfPicture(int picture);

    // Pointer at client point (x, y) of a view of size `view`.
    // Returns true when the picture changed.
    bool PointerMoved(int x, int y, QSize view);
    // Left click: tabs switch the page first; then the (page, picture) pair
    // decides. `repaint` is set when the tab switch changed the picture.
    Action LeftClick(int x, int y, QSize view, bool* repaint = nullptr);

    // A tab or a tile of the current page is under the point (the pointer
    // shows a hand there).
    bool IsOverClickable(int x, int y, QSize view) const;

    // The tiles of one page in the order they are tested.
    static QList<Area> tilesOfPage(int page);

private:
    int m_homePage = 0;
    int m_homePicture = 0;
};
