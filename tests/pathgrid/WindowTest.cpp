// The viewer for real: its own X server, the pointer and keys driven by
// xdotool, the window read back from screenshots at cell centres, overlay
// edges and grid lines.

#include <gtest/gtest.h>

#include "Grid.h"
#include "ViewerSession.h"

namespace {

// 16 x 16 cells of 40 pixels in the 640 x 640 window. Column 8 is a wall with
// two gaps two cells high (a 3 x 3 object cannot cross it); row 6 has a gap
// one cell wide at column 5; (3, 11) and (12..13, 13) are sealed pockets.
const MapRows kMap = {
    // 0123456789012345
    "................",  // 0
    ".~~~~...........",  // 1
    ".~~~~...#.......",  // 2
    ".~~~~...#.......",  // 3
    "........#.......",  // 4
    "........#...~~~.",  // 5
    "#####.###...~~~.",  // 6
    "........#...~~~.",  // 7
    "........#.......",  // 8
    "................",  // 9
    "..###...........",  // 10
    "..#.#...#.......",  // 11
    "..###...#..####.",  // 12
    "........#..#..#.",  // 13
    "........#..####.",  // 14
    "........#.......",  // 15
};

class PathgridWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(viewer.start(kMap)) << "no pathgrid window appeared"; }

    // The view after the left button went down at `from` and the pointer
    // moved to `to`: yellow along the library's path, white ends, or red
    // ends when there is no path.
    ExpectedView pathView(int size, int fx, int fy, int tx, int ty) {
        ExpectedView view(kMap);
        Grid::Path path;
        if (grid->isConnected(size, fx, fy, tx, ty)) {
            grid->findShortestPath(size, fx, fy, tx, ty, path);
        }
        int px = fx, py = fy;
        for (Grid::Direction d : path) {
            px += Grid::stepDx(d);
            py += Grid::stepDy(d);
            view.paintBlock(px, py, size, 1, kYellow);
        }
        const Rgb ends = path.empty() ? kRed : kWhite;
        view.paintBlock(fx, fy, size, 1, ends);
        view.paintBlock(tx, ty, size, 1, ends);
        return view;
    }

    ExpectedView reachView(int size, int cx, int cy) {
        ExpectedView view(kMap);
        for (int y = 0; y + size < grid->getHeight(); ++y) {
            for (int x = 0; x + size < grid->getWidth(); ++x) {
                if (grid->isConnected(size, cx, cy, x, y)) view.paintBlock(x, y, size, 1, kYellow);
            }
        }
        view.paintBlock(cx, cy, size, 1, kWhite);
        return view;
    }

    ExpectedView idleView(int size, int cx, int cy) {
        ExpectedView view(kMap);
        view.paintBlock(cx, cy, size, 2, kWhite);
        return view;
    }

    void drag(int fx, int fy, int tx, int ty) {
        ASSERT_TRUE(viewer.pointTo(fx, fy));
        ASSERT_TRUE(viewer.xdotool({"mousedown", "1"}));
        ASSERT_TRUE(viewer.pointTo(tx, ty));
    }

    void middleClick() { ASSERT_TRUE(viewer.xdotool({"click", "2"})); }

    ViewerSession viewer;
    GridPtr grid = gridFromRows(kMap);
};

TEST_F(PathgridWindow, TilesShowTheirColoursWithBlackGridLines) {
    ASSERT_TRUE(viewer.pointTo(15, 0));
    EXPECT_EQ(viewer.awaitView(idleView(0, 15, 0)), "");
}

TEST_F(PathgridWindow, IdleObjectFollowsThePointer) {
    ASSERT_TRUE(viewer.pointTo(6, 9));
    EXPECT_EQ(viewer.awaitView(idleView(0, 6, 9)), "");
    ASSERT_TRUE(viewer.pointTo(10, 3));
    EXPECT_EQ(viewer.awaitView(idleView(0, 10, 3)), "");
}

TEST_F(PathgridWindow, MiddleClicksCycleTheObjectSize) {
    ASSERT_TRUE(viewer.pointTo(5, 4));
    EXPECT_EQ(viewer.awaitView(idleView(0, 5, 4)), "");
    middleClick();
    EXPECT_EQ(viewer.awaitView(idleView(1, 5, 4)), "");
    middleClick();
    EXPECT_EQ(viewer.awaitView(idleView(2, 5, 4)), "");
    middleClick();
    EXPECT_EQ(viewer.awaitView(idleView(0, 5, 4)), "");
}

TEST_F(PathgridWindow, ObjectIsClampedAtTheRightAndBottomEdges) {
    ASSERT_TRUE(viewer.pointTo(15, 15));
    EXPECT_EQ(viewer.awaitView(idleView(0, 15, 15)), "");
    middleClick();
    EXPECT_EQ(viewer.awaitView(idleView(1, 14, 14)), "");
    middleClick();
    EXPECT_EQ(viewer.awaitView(idleView(2, 13, 13)), "");
    // Only the column is clamped at the right edge, not the row.
    ASSERT_TRUE(viewer.pointTo(15, 4));
    EXPECT_EQ(viewer.awaitView(idleView(2, 13, 4)), "");
}

TEST_F(PathgridWindow, PathModeDrawsTheLibraryPathInYellow) {
    drag(1, 8, 14, 10);
    const ExpectedView view = pathView(0, 1, 8, 14, 10);
    EXPECT_EQ(viewer.awaitView(view), "");
    ASSERT_TRUE(viewer.xdotool({"mouseup", "1"}));
    EXPECT_EQ(viewer.awaitView(idleView(0, 14, 10)), "");
}

TEST_F(PathgridWindow, PathOfATwoByTwoObjectAvoidsTheNarrowGap) {
    ASSERT_TRUE(viewer.pointTo(3, 9));
    middleClick();
    // From below the row-6 wall to above it: the one-cell gap is too narrow.
    drag(3, 9, 2, 4);
    EXPECT_EQ(viewer.awaitView(pathView(1, 3, 9, 2, 4)), "");
}

TEST_F(PathgridWindow, DragPastTheWindowEdgeClampsTheGoal) {
    ASSERT_TRUE(viewer.pointTo(10, 1));
    ASSERT_TRUE(viewer.xdotool({"mousedown", "1"}));
    ASSERT_TRUE(viewer.xdotool({"mousemove", "690", "690"}));  // off the window
    EXPECT_EQ(viewer.awaitView(pathView(0, 10, 1, 15, 15)), "");
}

TEST_F(PathgridWindow, UnconnectedGoalShowsRedObjectsAndNoPath) {
    drag(6, 14, 3, 11);  // a sealed pocket
    EXPECT_EQ(viewer.awaitView(pathView(0, 6, 14, 3, 11)), "");
    ASSERT_TRUE(viewer.pointTo(2, 2));  // water, the object stands on ground
    EXPECT_EQ(viewer.awaitView(pathView(0, 6, 14, 2, 2)), "");
}

TEST_F(PathgridWindow, PressWithoutMovementShowsOneRedObject) {
    ASSERT_TRUE(viewer.pointTo(6, 14));
    ASSERT_TRUE(viewer.xdotool({"mousedown", "1"}));
    ExpectedView view(kMap);
    view.paintBlock(6, 14, 0, 1, kRed);
    EXPECT_EQ(viewer.awaitView(view), "");
}

TEST_F(PathgridWindow, AnyOtherButtonMovesTheStartToThePointer) {
    drag(1, 8, 14, 10);
    EXPECT_EQ(viewer.awaitView(pathView(0, 1, 8, 14, 10)), "");
    ASSERT_TRUE(viewer.xdotool({"click", "4"}));  // a wheel step
    EXPECT_EQ(viewer.awaitView(pathView(0, 14, 10, 14, 10)), "");
}

TEST_F(PathgridWindow, ReachModeShowsEveryConnectedPosition) {
    ASSERT_TRUE(viewer.pointTo(6, 14));
    ASSERT_TRUE(viewer.xdotool({"mousedown", "3"}));
    EXPECT_EQ(viewer.awaitView(reachView(0, 6, 14)), "");
    ASSERT_TRUE(viewer.pointTo(13, 6));  // onto the eastern lake
    EXPECT_EQ(viewer.awaitView(reachView(0, 13, 6)), "");
}

TEST_F(PathgridWindow, ReachModeOfAThreeByThreeObjectStaysOnItsSideOfTheWall) {
    ASSERT_TRUE(viewer.pointTo(1, 13));
    middleClick();
    middleClick();
    ASSERT_TRUE(viewer.xdotool({"mousedown", "3"}));
    EXPECT_EQ(viewer.awaitView(reachView(2, 1, 13)), "");
}

TEST_F(PathgridWindow, LeftButtonWinsOverRight) {
    ASSERT_TRUE(viewer.pointTo(10, 1));
    ASSERT_TRUE(viewer.xdotool({"mousedown", "3"}));
    EXPECT_EQ(viewer.awaitView(reachView(0, 10, 1)), "");
    ASSERT_TRUE(viewer.xdotool({"mousedown", "1"}));
    ASSERT_TRUE(viewer.pointTo(15, 8));
    EXPECT_EQ(viewer.awaitView(pathView(0, 10, 1, 15, 8)), "");
}

TEST_F(PathgridWindow, ResizedWindowStillMapsThePointerToTheCellUnderIt) {
    ASSERT_TRUE(
        viewer.xdotool({"windowsize", "--sync", std::to_string(viewer.window()), "320", "320"}));
    viewer.setLayout(320, 16);  // cells of 20 pixels
    ASSERT_TRUE(viewer.pointTo(11, 5));
    EXPECT_EQ(viewer.awaitView(idleView(0, 11, 5)), "");
    drag(9, 1, 15, 8);
    EXPECT_EQ(viewer.awaitView(pathView(0, 9, 1, 15, 8)), "");
}

TEST_F(PathgridWindow, KeyPrintsExitLinesAndEndsWithStatusZero) {
    ASSERT_TRUE(viewer.pointTo(4, 4));  // keys go to the window under the pointer
    ASSERT_TRUE(viewer.xdotool({"key", "q"}));
    const ProcessResult r = viewer.waitForExit();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=16 height=16\nkey pressed => exit\nend program\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(PathgridWindow, ClosingTheWindowPrintsOnlyEndProgram) {
    ASSERT_TRUE(viewer.x().requestClose(viewer.window()));
    const ProcessResult r = viewer.waitForExit();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=16 height=16\nend program\n");
    EXPECT_EQ(r.err, "");
}

// A map named on the command line, opened from another directory.
TEST(PathgridWindowArgument, NamedMapIsShown) {
    const MapRows rows = {
        "....", "~~~~", "####", "#..~",  // 4 x 4: cells of 160 pixels
    };
    ViewerSession viewer;
    TempDir mapDir;
    const std::string mapPath = mapDir.file("other name.bmp");
    ASSERT_TRUE(writeBytes(mapPath, encodeBitmap(imageFromRows(rows))));
    viewer.setLayout(640, 4);
    ASSERT_TRUE(viewer.startIn(viewer.dir().path(), {mapPath}));
    ASSERT_TRUE(viewer.pointTo(1, 0));
    ExpectedView view(rows);
    view.paintBlock(1, 0, 0, 2, kWhite);
    EXPECT_EQ(viewer.awaitView(view), "");
    ASSERT_TRUE(viewer.xdotool({"key", "Escape"}));
    const ProcessResult r = viewer.waitForExit();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=4 height=4\nkey pressed => exit\nend program\n");
}

}  // namespace
