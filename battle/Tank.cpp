#include "Tank.h"

Tank::Tank(Team team, const Vec2& pos, AttackPolicy pol, bool bounce_)
    : Unit(team, pos, 20.0, 80.0, 15.0, 4.0, 100), policy(pol), bounce(bounce_) {}

void Tank::act(World& w) {
    act_by_policy(w, *this, policy);
}

void Tank::collision_hook(double prev_speed, bool* collisions) {
    bounce_off_walls(*this, bounce, prev_speed, collisions);
}
