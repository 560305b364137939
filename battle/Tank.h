#ifndef BATTLE_TANK_H
#define BATTLE_TANK_H

#include "Unit.h"

// Twice a marine's size and reach, faster, four times its damage.
class Tank : public Unit {
  public:
    AttackPolicy policy;
    bool bounce;

    Tank(Team team, const Vec2& pos, AttackPolicy pol, bool bounce_);

    void act(World& w) override;
    void collision_hook(double prev_speed, bool* collisions) override;
};

#endif
