#ifndef BATTLE_WORLD_H
#define BATTLE_WORLD_H

#include <cstddef>
#include <random>
#include <vector>

#include "SpatialIndex.h"

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

    // True when no later step can change anything: no unit moves (every
    // current_speed is 0 or below), none is dead and awaiting removal, every
    // snapshot hp_old equals hp, and no unit can reach an enemy, so nobody
    // attacks and the generator is never drawn again. This holds for unit
    // kinds whose turn does nothing but attack a reachable enemy.
    bool is_frozen() const;

    // Battles of at least this many units find targets through a grid of
    // nearby cells instead of scanning every unit; the result is identical.
    // Below it the plain scan is faster.
    static constexpr std::size_t DEFAULT_SPATIAL_INDEX_MIN_UNITS = 100;
    std::size_t spatial_index_min_units = DEFAULT_SPATIAL_INDEX_MIN_UNITS;
    // The grid as last rebuilt (by a step or by is_frozen), for inspection.
    const SpatialIndex& spatial_index() const { return spatial_index_; }

  private:
    bool index_enabled() const { return units.size() >= spatial_index_min_units; }
    // Whether a unit can reach any enemy, through the index or the plain scan.
    bool anyone_can_attack() const;

    // Built after the movement phase and used only in the action phase that
    // follows, where no unit moves and the list does not change.
    mutable SpatialIndex spatial_index_;
    bool index_live_ = false;
};

// Whoever includes the world also reads and writes its units.
#include "Unit.h"

#endif
