#ifndef BATTLE_UNIT_H
#define BATTLE_UNIT_H

#include "World.h"

enum Team { RED = 0, BLUE = 1 };

// The four walls, also the index into a move's collision flags.
enum CollDir { RIGHT = 0, LEFT = 1, TOP = 2, BOTTOM = 3 };

// Base of every unit kind; the world and the front end use the fields directly.
class Unit {
  public:
    Team team;
    Vec2 pos;
    const double radius;
    const double attack_radius;
    const double max_speed;
    const double damage;
    int hp;
    double current_speed;
    Vec2 heading;
    // Hit points as they were just before this step's action phase.
    int hp_old;

    Unit(Team team_, const Vec2& pos_, double radius_, double attack_radius_, double max_speed_,
         double damage_, int hp_);

    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    virtual void act(World& w) = 0;
    // collisions: four flags indexed by CollDir.
    virtual void collision_hook(double prev_speed, bool* collisions) = 0;
    virtual ~Unit() = default;
};

// Behaviour shared by the unit kinds, which differ only in their statistics.

// Picks a target by policy and attacks it; an unknown policy does nothing.
void act_by_policy(World& w, Unit& u, AttackPolicy policy);

// Reflects the heading at the walls that were hit and restores the speed.
void bounce_off_walls(Unit& u, bool bounce, double prev_speed, const bool* collisions);

#endif
