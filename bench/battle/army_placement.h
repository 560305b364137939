#ifndef BATTLE_ARMY_PLACEMENT_H
#define BATTLE_ARMY_PLACEMENT_H

// Places two armies the way the battle front end does: every red unit at a
// random position with a random heading, each followed by its blue twin at
// the point mirror with the opposite heading; all marines first, then all
// tanks. Only the red units draw from the world's generator.

#include "Marine.h"
#include "Tank.h"
#include "World.h"

template <class Kind>
void place_pairs(World& w, int count, AttackPolicy red_policy, AttackPolicy blue_policy,
                 bool bounce) {
    // The radius comes from a probe unit, never written here as a number.
    const double radius = Kind(RED, Vec2(0, 0), ATTACK_WEAKEST, false).radius;
    for (int i = 0; i < count; ++i) {
        Unit* u = new Kind(RED, w.rnd_pos(radius), red_policy, bounce);
        u->heading = w.rnd_heading();
        u->current_speed = u->max_speed;
        w.units.push_back(u);
        Unit* v = new Kind(BLUE, w.mirror(u->pos), blue_policy, bounce);
        v->heading = Vec2(-u->heading.x, -u->heading.y);
        v->current_speed = v->max_speed;
        w.units.push_back(v);
    }
}

inline void place_armies(World& w, int n_marines, int n_tanks, AttackPolicy red_policy,
                         AttackPolicy blue_policy, bool bounce) {
    place_pairs<Marine>(w, n_marines, red_policy, blue_policy, bounce);
    place_pairs<Tank>(w, n_tanks, red_policy, blue_policy, bounce);
}

#endif
