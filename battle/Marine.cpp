#include "Marine.h"

Marine::Marine(Team team, const Vec2& pos, AttackPolicy pol, bool bounce_)
    : Unit(team, pos, 10.0, 40.0, 10.0, 1.0, 45), policy(pol), bounce(bounce_) {}

void Marine::act(World& w) {
    act_by_policy(w, *this, policy);
}

void Marine::collision_hook(double prev_speed, bool* collisions) {
    bounce_off_walls(*this, bounce, prev_speed, collisions);
}
