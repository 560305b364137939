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
int windowWidth = 640;   // kept in step with the window by OnReshape; the map's
int windowHeight = 640;  // area is the window less the info band's rows
bool mouseLeft = false;
bool mouseRight = false;
int mouseX0 = 0;  // start cell: where the last button event happened
int mouseY0 = 0;
int mouseX1 = 0;  // current cell: follows the pointer
int mouseY1 = 0;
int objectSize = 0;  // the object covers (objectSize + 1)^2 cells

// Zoom and pan (the special keys, the wheel and Shift + left drag), the
// tiles' cached drawing, the answers kept between redisplays with the route
// search in use (--search, F3), and the info band and search tint (--info,
// F1, F2).
std::optional<MapView> view;
std::optional<TileRenderer> renderer;
std::optional<FrameQueries> queries;
std::string mapName;
bool showInfo = false;
bool showTint = false;
bool panning = false;    // a Shift + left drag is moving the map
int panX = 0, panY = 0;  // the pointer at its last step
// The window was asked to grow or shrink by the band and has not yet; a
// window manager that refuses is answered after a while (SettleBand).
bool bandPending = false;
int bandRequests = 0;

// GLUT's numbers of the wheel's "buttons" when no wheel callback is set: up,
// down, left, right.
constexpr int kWheelUp = 3, kWheelDown = 4, kWheelLeft = 5, kWheelRight = 6;

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
// at the right and bottom, less below 8 pixels a cell (MapView::overlayInset).
void DrawPixel(int x, int y, int border, const float* color) {
    DrawRect(view->cellRect(x, y, view->overlayInset(border)), color);
}

// An object's cells as inset squares; when cells are too small for insets,
// its footprint as one square of at least 3 x 3 pixels. Either way it stays
// visible.
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

// The info band: black rows below the map's area with the info lines in
// GLUT's 8 x 13 font, drawn in window pixels.
void DrawInfoBand(const FrameQueries::PathAnswer* answer) {
    const int top = view->windowHeight();
    if (windowHeight <= top) return;  // the window has not grown yet
    glViewport(0, 0, windowWidth, windowHeight);
    glLoadIdentity();
    glOrtho(0, windowWidth, windowHeight, 0, -1, 1);
    const std::size_t fits = static_cast<std::size_t>(std::max(windowWidth - 8, 8) / 8);
    const std::vector<std::string> lines = formatInfoLine(
        *mymap, *view,
        {mapName, objectSize, mouseX1, mouseY1, queries->search(), mouseLeft ? answer : nullptr},
        fits);
    glColor3f(0.0f, 0.0f, 0.0f);
    glRectf(0.0f, static_cast<float>(top), static_cast<float>(windowWidth),
            static_cast<float>(windowHeight));
    glColor3fv(white);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int baseline = 4 + kInfoLinePixels * static_cast<int>(lines.size() - 1 - i);
        glRasterPos2f(4.0f, static_cast<float>(windowHeight - baseline));
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

    // The map's area is the window's top part; the unit square spans it.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glClear(GL_COLOR_BUFFER_BIT);
    const int mapBottom = windowHeight - view->windowHeight();  // GL counts from below
    glViewport(0, mapBottom, view->windowWidth(), view->windowHeight());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);
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
        renderer->drawCompact(*view, layers, mapBottom);
    }
    glBegin(GL_QUADS);
    DrawOverlay(answer ? answer->path : noPath);
    glEnd();
    if (showInfo) DrawInfoBand(answer);
    glPopMatrix();
    glPopAttrib();  // the viewport too
    glutSwapBuffers();
}

// The map's area: the window less the band's rows while the band is shown.
void FitViewToWindow() {
    const int band = showInfo ? kInfoBandPixels : 0;
    view->resizeWindow(windowWidth, std::max(windowHeight - band, 1));
}

// Without this the pointer mapping and the pixel insets would keep assuming
// the initial window size after the user resizes the window.
void OnReshape(int width, int height) {
    if (width > 0 && height > 0) {
        windowWidth = width;
        windowHeight = height;
        bandPending = false;
        FitViewToWindow();
    }
    glViewport(0, 0, width, height);
}

// A window that did not change its size when asked to (a window manager may
// refuse) gets the band inside: the map's area shrinks instead.
void SettleBand(int request) {
    if (!bandPending || request != bandRequests) return;
    bandPending = false;
    FitViewToWindow();
    glutPostRedisplay();
}

// F1: the band takes rows of its own below the map, so the window grows by
// them and the map's area stays as it is; hiding the band gives them back.
void ToggleInfoBand() {
    showInfo = !showInfo;
    glutReshapeWindow(view->windowWidth(), view->windowHeight() + (showInfo ? kInfoBandPixels : 0));
    bandPending = true;
    glutTimerFunc(500, SettleBand, ++bandRequests);
}

void keyfunc(unsigned char /*key*/, int /*x*/, int /*y*/) {
    std::cout << "key pressed => exit" << std::endl;
    glutLeaveMainLoop();
}

// Page Up / Page Down zoom about the pointer, the arrows pan, Home shows the
// whole map; F1 and F2 toggle the info band and the search tint, F3 switches
// between the exact and the jump point search. The object stays under the
// pointer when the view moves beneath it; the route's start stays where it
// was pressed.
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
        case GLUT_KEY_F1: ToggleInfoBand(); break;
        case GLUT_KEY_F2: showTint = !showTint; break;
        case GLUT_KEY_F3: queries->useSearch(otherSearch(queries->search())); break;
        default: return;
    }
    if (!changed) return;
    mouseX1 = MouseToCoordX(x);
    mouseY1 = MouseToCoordY(y);
    glutPostRedisplay();
}

// The current cell follows the pointer; during a Shift + left drag the map
// moves with it too.
void OnMotion(int x, int y) {
    if (panning) {
        view->drag(x - panX, y - panY);
        panX = x;
        panY = y;
    }
    mouseX1 = MouseToCoordX(x);
    mouseY1 = MouseToCoordY(y);
    glutPostRedisplay();
}

// The wheel zooms about the pointer like Page Up / Page Down; it is never a
// button press, so a route's start stays where it was pressed. Shift + left
// drag pans. Every other button event moves the start to the pointer.
void OnMouse(int button, int state, int x, int y) {
    const bool pressed = state == GLUT_DOWN;
    if (button == kWheelUp || button == kWheelDown) {
        if (pressed) OnSpecialKey(button == kWheelUp ? GLUT_KEY_PAGE_UP : GLUT_KEY_PAGE_DOWN, x, y);
        return;
    }
    if (button == kWheelLeft || button == kWheelRight) return;
    const bool shift = (glutGetModifiers() & GLUT_ACTIVE_SHIFT) != 0;
    if (button == GLUT_LEFT_BUTTON && (panning || (pressed && shift))) {
        panning = pressed;
        panX = x;
        panY = y;
        OnMotion(x, y);
        return;
    }
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
    if (showInfo) windowHeight += kInfoBandPixels;  // the band's rows below the map
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
