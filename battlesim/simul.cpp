// battlesim: a battle between a red and a blue army of marines and tanks,
// run to its end on the console or drawn step by step in a GLUT window.

#include <GL/glut.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <new>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "Marine.h"
#include "Setup.h"
#include "Tank.h"
#include "World.h"

// The world the front end always creates: it keeps the attacks of the current
// step so that the window can draw them.
class GfxWorld : public World {
  public:
    // Attacker, then attacked, for every attack since the last clear.
    std::vector<const Unit*> attacks;

    GfxWorld(double w, double h, int seed) : World(w, h, seed) {}
    ~GfxWorld() override = default;

    void attack_hook(const Unit& attacker, const Unit& attacked) override {
        attacks.push_back(&attacker);
        attacks.push_back(&attacked);
    }
};

// The process's one battle, reached by the GLUT callbacks.
GfxWorld* world = nullptr;
// Milliseconds between two steps of the graphical run.
int delay = 100;

namespace {

void OnDisplay() {
    glClear(GL_COLOR_BUFFER_BIT);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // y grows downwards, one world unit per pixel.
    glOrtho(0, world->width, world->height, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glutPostRedisplay();

    for (std::size_t i = 0; i < world->units.size(); ++i) {
        const Unit* u = world->units[i];
        const double x = u->pos.x;
        const double y = u->pos.y;
        if (u->team == RED) {
            glColor3f(1.0f, 0.4f, 0.0f);
        } else {
            glColor3f(0.0f, 1.0f, 1.0f);
        }

        glBegin(GL_LINE_STRIP);
        for (int j = 0; j <= 16; ++j) {
            const double angle = (j % 16) * 2 * std::numbers::pi / 16;
            glVertex2f(static_cast<float>(x + u->radius * std::cos(angle)),
                       static_cast<float>(y + u->radius * std::sin(angle)));
        }
        glEnd();

        glRasterPos2f(static_cast<float>(x - 8), static_cast<float>(y + 4));
        std::ostringstream hpsStream;
        hpsStream << u->hp;
        for (const char c : hpsStream.str()) glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
    }

    assert((world->attacks.size() & 1) == 0);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (std::size_t j = 0; j < world->attacks.size(); j += 2) {
        const Unit* attacker = world->attacks[j];
        const Unit* attacked = world->attacks[j + 1];
        glBegin(GL_LINE_STRIP);
        glVertex2f(static_cast<float>(attacker->pos.x), static_cast<float>(attacker->pos.y));
        glVertex2f(static_cast<float>(attacked->pos.x), static_cast<float>(attacked->pos.y));
        glEnd();
    }

    glPopAttrib();
    glutSwapBuffers();
}

void timer_function(int) {
    std::cout << '.' << std::flush;
    world->attacks.clear();
    world->step();
    const int red_score = world->red_score();
    if (red_score < 0) {
        // The timer takes an unsigned delay: a negative one would wrap into a
        // pause of weeks, so it means no pause.
        glutTimerFunc(static_cast<unsigned int>(std::max(delay, 0)), timer_function, 0);
        return;
    }
    // The battle is over: report it and end the process from inside the tick.
    std::cout << "game over: " << result_text(red_score) << std::endl;
    delete world;
    world = nullptr;
    std::exit(0);
}

// Ends set-up with a one-line reason; the battle never starts.
int refuse(const char* program, const std::string& why) {
    std::cerr << program << ": " << why << std::endl;
    delete world;
    world = nullptr;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "battlesim";
    if (argc != 11 && argc != 1) {
        std::cerr << "usage: " << program
                  << " width height delay seed marines tanks redpol bluepol bounce gfx"
                  << std::endl;
        std::cerr << "       delay in ms, seed=0: use time, policies: 0 weakest/1 closest/2 most "
                     "dangerous"
                  << std::endl;
        return 1;
    }

    Settings settings;
    if (argc == 11) settings = parse_settings(argv + 1);
    delay = settings.delay;
    if (settings.seed == 0) settings.seed = clock_seed();
    echo_settings(std::cout, settings);

    world = new GfxWorld(settings.width, settings.height, settings.seed);

    // The radii come from the unit kinds themselves, measured on probes that
    // never enter the world.
    double mr = 0;
    double tr = 0;
    {
        const Marine probe(RED, Vec2(0, 0), ATTACK_WEAKEST, false);
        mr = probe.radius;
    }
    {
        const Tank probe(RED, Vec2(0, 0), ATTACK_WEAKEST, false);
        tr = probe.radius;
    }

    const std::string problem = setup_problem(settings, mr, tr);
    if (!problem.empty()) return refuse(program, problem);
    try {
        place_armies(*world, settings, mr, tr);
    } catch (const std::bad_alloc&) {
        return refuse(program, too_large_problem(settings));
    } catch (const std::length_error&) {
        return refuse(program, too_large_problem(settings));
    }

    if (settings.gfx) {
        glutInit(&argc, argv);
        glutInitWindowSize(static_cast<int>(settings.width), static_cast<int>(settings.height));
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
        glutCreateWindow("Quorvane - Assignment Example App");
        glutDisplayFunc(OnDisplay);
        glutTimerFunc(1, timer_function, 0);
        glutMainLoop();
        return 0;
    }

    run_batch(*world, settings.seed, std::cout, true, [] { world->attacks.clear(); });
    delete world;
    world = nullptr;
    return 0;
}
