// pathgrid: shows a tile map loaded from a bitmap or an octile text map and,
// driven by the mouse, the connectivity and shortest-path answers of the Grid
// for square objects.

#include <GL/freeglut.h>

#include <algorithm>
#include <iostream>
#include <utility>

#include "Grid.h"
#include "MapLoader.h"
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

const float colors[3][3] = {
    {0.0f, 0.5f, 0.0f},    // GROUND
    {0.0f, 0.0f, 0.5f},    // WATER
    {0.25f, 0.25f, 0.25f}  // BLOCKED
};
const float white[3] = {1.0f, 1.0f, 1.0f};
const float yellow[3] = {1.0f, 1.0f, 0.0f};
const float red[3] = {1.0f, 0.0f, 0.0f};

void LoadMap(const char* filename) {
    GridPtr grid = loadMapFile(filename, std::cout);
    if (grid) mymap = std::move(grid);
}

// One square of cell (x, y) into the open quad batch, inset by `border`
// pixels at the left and top and by border + 1 at the right and bottom.
void DrawPixel(int x, int y, int border, const float* color) {
    const float xPixel = 1.0f / windowWidth;
    const float yPixel = 1.0f / windowHeight;
    const float xScale = 1.0f / mymap->getWidth();
    const float yScale = 1.0f / mymap->getHeight();
    const float x0 = x * xScale + border * xPixel;
    const float x1 = (x + 1) * xScale - (border + 1) * xPixel;
    const float y0 = y * yScale + border * yPixel;
    const float y1 = (y + 1) * yScale - (border + 1) * yPixel;
    glColor3fv(color);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

void DrawBlock(int x, int y, int border, int size, const float* color) {
    for (int i = 0; i <= size; ++i) {
        for (int j = 0; j <= size; ++j) DrawPixel(x + j, y + i, border, color);
    }
}

// Top-left cell of an object of the current size under the pointer, kept
// inside the map. 64-bit product: pointer coordinates may be large.
int MouseToCoord(int pointer, int cells, int windowSize) {
    int c = static_cast<int>(static_cast<long long>(pointer) * cells / windowSize);
    c = std::min(c, cells - objectSize - 1);
    return std::max(c, 0);
}

int MouseToCoordX(int x) {
    return MouseToCoord(x, mymap->getWidth(), windowWidth);
}
int MouseToCoordY(int y) {
    return MouseToCoord(y, mymap->getHeight(), windowHeight);
}

void DrawOverlay(const Grid::Path& path) {
    const int w = mymap->getWidth();
    const int h = mymap->getHeight();
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
        for (int y = 0; y + objectSize < h; ++y) {
            for (int x = 0; x + objectSize < w; ++x) {
                if (mymap->isConnected(objectSize, mouseX1, mouseY1, x, y)) {
                    DrawBlock(x, y, 1, objectSize, yellow);
                }
            }
        }
        DrawBlock(mouseX1, mouseY1, 1, objectSize, white);
    } else {
        DrawBlock(mouseX1, mouseY1, 2, objectSize, white);
    }
}

void OnDisplay() {
    Grid::Path path;
    if (mouseLeft && mymap->isConnected(objectSize, mouseX0, mouseY0, mouseX1, mouseY1)) {
        mymap->findShortestPath(objectSize, mouseX0, mouseY0, mouseX1, mouseY1, path);
    }

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glOrtho(0, 1, 1, 0, -1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    for (int y = 0; y < mymap->getHeight(); ++y) {
        for (int x = 0; x < mymap->getWidth(); ++x)
            DrawPixel(x, y, 0, colors[mymap->getTile(x, y)]);
    }
    DrawOverlay(path);
    glEnd();
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
    }
    glViewport(0, 0, width, height);
}

void keyfunc(unsigned char /*key*/, int /*x*/, int /*y*/) {
    std::cout << "key pressed => exit" << std::endl;
    glutLeaveMainLoop();
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
    const char* filename = mapFileArgument(argc, argv, std::cout, std::cerr, status);
    if (!filename) return status;
    LoadMap(filename);
    if (!mymap) return -1;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Quorvane - Assignment Example App");
    glutDisplayFunc(OnDisplay);
    glutReshapeFunc(OnReshape);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutKeyboardFunc(keyfunc);
    glutMouseFunc(OnMouse);
    glutMotionFunc(OnMotion);
    glutPassiveMotionFunc(OnMotion);
    glutMainLoop();

    std::cout << "end program" << std::endl;
    return 0;
}
