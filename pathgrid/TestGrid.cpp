// pathgrid: shows a tile map loaded from a bitmap or an octile text map and,
// driven by the mouse, the connectivity and shortest-path answers of the Grid
// for square objects.

#include <GL/freeglut.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FrameQueries.h"
#include "Grid.h"
#include "InfoLine.h"
#include "MapLoader.h"
#include "MapView.h"
#include "TileRenderer.h"
#include "ViewerArguments.h"

GridPtr mymap;
int windowWidth = 640;  // kept in step with the window by OnReshape
int windowHeight = 640;
bool mouseLeft = false;
bool mouseRight = false;
int mouseX0 = 0;  // start cell: where the last button event happened
int mouseY0 = 0;
int mouseX1 = 0;  // current cell: follows the pointer
int mouseY1 = 0;
int objectSize = 0;  // the object covers (objectSize + 1)^2 cells

// Zoom and pan (the special keys), the tiles' cached drawing, the answers kept
// between redisplays with the route search in use (--search, F3), and the info
// line and search tint (--info, F1, F2).
std::optional<MapView> view;
std::optional<TileRenderer> renderer;
std::optional<FrameQueries> queries;
std::string mapName;
bool showInfo = false;
bool showTint = false;

// The tile colours `colors` are in Palette.h, shared with the tiles' drawing.
const float white[3] = {1.0f, 1.0f, 1.0f};
const float yellow[3] = {1.0f, 1.0f, 0.0f};
const float red[3] = {1.0f, 0.0f, 0.0f};

void LoadMap(const char* filename) {
    GridPtr grid = loadMapFile(filename, std::cout);
    if (grid) mymap = std::move(grid);
}

// One square into the open quad batch.
void DrawRect(const MapView::Rect& r, const float* color) {
    glColor3fv(color);
    glVertex2f(r.x0, r.y0);
    glVertex2f(r.x1, r.y0);
    glVertex2f(r.x1, r.y1);
    glVertex2f(r.x0, r.y1);
}

// Cell (x, y) inset by `border` pixels at the left and top and by border + 1
// at the right and bottom.
void DrawPixel(int x, int y, int border, const float* color) {
    DrawRect(view->cellRect(x, y, border), color);
}

// An object's cells as inset squares; when cells are too small for insets,
// its footprint as one square of at least 3 x 3 pixels, so it stays visible.
void DrawBlock(int x, int y, int border, int size, const float* color) {
    if (!view->showsInsetTiles()) {
        DrawRect(view->objectRect(x, y, size), color);
        return;
    }
    for (int i = 0; i <= size; ++i) {
        for (int j = 0; j <= size; ++j) DrawPixel(x + j, y + i, border, color);
    }
}

// Top-left cell of an object of the current size under the pointer, kept
// inside the map (not just the view), so every query's preconditions hold.
int ClampToMap(int c, int cells) {
    c = std::min(c, cells - objectSize - 1);
    return std::max(c, 0);
}

int MouseToCoordX(int x) {
    return ClampToMap(view->cellAtX(x), mymap->getWidth());
}
int MouseToCoordY(int y) {
    return ClampToMap(view->cellAtY(y), mymap->getHeight());
}

void DrawOverlay(const Grid::Path& path) {
    if (mouseLeft) {
        int px = mouseX0;
        int py = mouseY0;
        for (Grid::Direction d : path) {
            px += Grid::stepDx(d);
            py += Grid::stepDy(d);
            DrawBlock(px, py, 1, objectSize, yellow);
        }
        const float* color = path.empty() ? red : white;
        DrawBlock(mouseX0, mouseY0, 1, objectSize, color);
        DrawBlock(mouseX1, mouseY1, 1, objectSize, color);
    } else if (mouseRight) {
        // Small cells have the reach area in the tiles' picture already; else
        // every position whose object shows at least partly.
        if (view->showsInsetTiles()) {
            const int yEnd = std::min(view->lastVisibleY(), mymap->getHeight() - 1 - objectSize);
            const int xEnd = std::min(view->lastVisibleX(), mymap->getWidth() - 1 - objectSize);
            for (int y = std::max(view->firstVisibleY() - objectSize, 0); y <= yEnd; ++y) {
                for (int x = std::max(view->firstVisibleX() - objectSize, 0); x <= xEnd; ++x) {
                    if (queries->reaches(x, y)) DrawBlock(x, y, 1, objectSize, yellow);
                }
            }
        }
        DrawBlock(mouseX1, mouseY1, 1, objectSize, white);
    } else {
        DrawBlock(mouseX1, mouseY1, 2, objectSize, white);
    }
}

// A black band along the bottom of the window with the info line in it, in
// GLUT's 8 x 13 font; a second line when one is too narrow for the route.
void DrawInfoLine(const FrameQueries::PathAnswer* answer) {
    const std::size_t fits = static_cast<std::size_t>(std::max(windowWidth - 8, 8) / 8);
    const std::vector<std::string> lines = formatInfoLine(
        *mymap, *view,
        {mapName, objectSize, mouseX1, mouseY1, queries->search(), mouseLeft ? answer : nullptr},
        fits);
    const int lineHeight = 15;
    const float top = 1.0f - (2.0f + lineHeight * lines.size()) / windowHeight;
    glColor3f(0.0f, 0.0f, 0.0f);
    glRectf(0.0f, top, 1.0f, 1.0f);
    glColor3fv(white);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float baseline = 4.0f + lineHeight * (lines.size() - 1 - i);
        glRasterPos2f(4.0f / windowWidth, 1.0f - baseline / windowHeight);
        glutBitmapString(GLUT_BITMAP_8_BY_13,
                         reinterpret_cast<const unsigned char*>(lines[i].c_str()));
    }
}

void OnDisplay() {
    // The map never changes, so the same question as last frame is answered
    // from the last answer.
    static const Grid::Path noPath;
    const FrameQueries::PathAnswer* answer = nullptr;
    if (mouseLeft) {
        answer = &queries->path(objectSize, mouseX0, mouseY0, mouseX1, mouseY1, showTint);
    } else if (mouseRight) {
        queries->setReachFrom(objectSize, mouseX1, mouseY1);
    }
    const FrameQueries::PathAnswer* tintOf = showTint ? queries->lastPath(true) : nullptr;
    const std::vector<bool>* tint =
        tintOf && !tintOf->expanded.empty() ? &tintOf->expanded : nullptr;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glOrtho(0, 1, 1, 0, -1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (view->showsInsetTiles()) {
        renderer->drawInsetTiles(*view, tint);
    } else {
        CompactPicture::Layers layers;
        if (tint) {
            layers.expanded = tint;
            layers.expandedVersion = queries->pathVersion();
        }
        if (mouseRight && !mouseLeft) {
            layers.reach = &*queries;
            layers.reachSize = objectSize;
            layers.reachVersion = queries->reachVersion();
        }
        renderer->drawCompact(*view, layers);
    }
    glBegin(GL_QUADS);
    DrawOverlay(answer ? answer->path : noPath);
    glEnd();
    if (showInfo) DrawInfoLine(answer);
    glPopMatrix();
    glPopAttrib();
    glutSwapBuffers();
}

// Without this the pointer mapping and the pixel insets would keep assuming
// the initial window size after the user resizes the window.
void OnReshape(int width, int height) {
    if (width > 0 && height > 0) {
        windowWidth = width;
        windowHeight = height;
        view->resizeWindow(width, height);
    }
    glViewport(0, 0, width, height);
}

void keyfunc(unsigned char /*key*/, int /*x*/, int /*y*/) {
    std::cout << "key pressed => exit" << std::endl;
    glutLeaveMainLoop();
}

// Page Up / Page Down zoom about the pointer, the arrows pan, Home shows the
// whole map; F1 and F2 toggle the info line and the search tint, F3 switches
// between the exact and the jump point search. The object stays under the
// pointer when the view moves beneath it.
void OnSpecialKey(int key, int x, int y) {
    bool changed = true;
    switch (key) {
        case GLUT_KEY_PAGE_UP: changed = view->zoomIn(x, y); break;
        case GLUT_KEY_PAGE_DOWN: changed = view->zoomOut(x, y); break;
        case GLUT_KEY_LEFT: changed = view->pan(-1, 0); break;
        case GLUT_KEY_RIGHT: changed = view->pan(1, 0); break;
        case GLUT_KEY_UP: changed = view->pan(0, -1); break;
        case GLUT_KEY_DOWN: changed = view->pan(0, 1); break;
        case GLUT_KEY_HOME: changed = view->showWholeMap(); break;
        case GLUT_KEY_F1: showInfo = !showInfo; break;
        case GLUT_KEY_F2: showTint = !showTint; break;
        case GLUT_KEY_F3: queries->useSearch(otherSearch(queries->search())); break;
        default: return;
    }
    if (!changed) return;
    mouseX1 = MouseToCoordX(x);
    mouseY1 = MouseToCoordY(y);
    glutPostRedisplay();
}

void OnMouse(int button, int state, int x, int y) {
    const bool pressed = state == GLUT_DOWN;
    if (button == GLUT_LEFT_BUTTON) {
        mouseLeft = pressed;
    } else if (button == GLUT_RIGHT_BUTTON) {
        mouseRight = pressed;
    } else if (button == GLUT_MIDDLE_BUTTON && pressed) {
        objectSize = (objectSize + 1) % 3;
    }
    mouseX0 = mouseX1 = MouseToCoordX(x);
    mouseY0 = mouseY1 = MouseToCoordY(y);
    glutPostRedisplay();
}

void OnMotion(int x, int y) {
    mouseX1 = MouseToCoordX(x);
    mouseY1 = MouseToCoordY(y);
    glutPostRedisplay();
}

int main(int argc, char** argv) {
    int status = 0;
    const std::optional<ViewerArguments> arguments =
        parseViewerArguments(argc, argv, std::cout, std::cerr, status);
    if (!arguments) return status;
    const char* filename = arguments->mapFile;
    showInfo = arguments->info;
    LoadMap(filename);
    if (!mymap) return -1;
    mapName = baseName(filename);
    view.emplace(mymap->getWidth(), mymap->getHeight(), windowWidth, windowHeight);
    renderer.emplace(*mymap);
    queries.emplace(*mymap, arguments->search);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Quorvane - Assignment Example App");
    glutDisplayFunc(OnDisplay);
    glutReshapeFunc(OnReshape);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutKeyboardFunc(keyfunc);
    glutSpecialFunc(OnSpecialKey);
    glutMouseFunc(OnMouse);
    glutMotionFunc(OnMotion);
    glutPassiveMotionFunc(OnMotion);
    glutMainLoop();

    std::cout << "end program" << std::endl;
    return 0;
}
