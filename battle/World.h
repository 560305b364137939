#ifndef BATTLE_WORLD_H
#define BATTLE_WORLD_H

#include <random>
#include <vector>

// A position in world units or a direction of motion.
struct Vec2 {
    double x;
    double y;
    Vec2(double x_, double y_) : x(x_), y(y_) {}
};

// How a unit picks its target among the enemies it can reach. The fixed
// underlying type lets any policy number from the command line be stored
// without undefined behaviour; unknown values simply pick no target.
enum AttackPolicy : int {
    ATTACK_WEAKEST = 0,
    ATTACK_CLOSEST = 1,
    ATTACK_MOST_DANGEROUS = 2,
};

// Static text of a policy, "?" for a value outside the three policies.
const char* apol2str(AttackPolicy pol);

inline double square(double x) {
    return x * x;
}

class Unit;

// The battlefield: a width x height rectangle that owns its units and the
// single random generator of the battle.
class World {
  public:
    double width;
    double height;
    // Both teams mixed; the order is the order of moving and acting.
    std::vector<Unit*> units;
    // Mutable so that the constant queries may draw from it.
    mutable std::mt19937 rng;

    World(double w, double h, int seed);
    virtual ~World();

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Called once after every attack, with the hit points already lowered.
    virtual void attack_hook(const Unit& attacker, const Unit& attacked);

    void move_unit(Unit& u);
    void attack(Unit& attacker, Unit& attacked);

    Vec2 rnd_pos(double radius) const;
    Vec2 rnd_heading() const;
    Vec2 mirror(const Vec2& pos) const;

    static double distance2(const Unit& u, const Unit& v);
    static bool can_attack(const Unit& u, const Unit& v);

    void enemies_within_attack_range(const Unit& u, std::vector<Unit*>& targets) const;
    Unit* random_weakest_target(Unit& u) const;
    Unit* random_closest_target(Unit& u) const;
    Unit* random_most_dangerous_target(Unit& u) const;

    // 2 red wins, 1 draw, 0 blue wins, -1 the battle goes on.
    int red_score() const;
    void step();

    int rnd_int(int n) const;
    double rnd01() const;
};

// Whoever includes the world also reads and writes its units.
#include "Unit.h"

#endif
