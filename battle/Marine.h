#ifndef BATTLE_MARINE_H
#define BATTLE_MARINE_H

#include "Unit.h"

// Small, short-ranged, slow and weak.
class Marine : public Unit {
  public:
    AttackPolicy policy;
    bool bounce;

    Marine(Team team, const Vec2& pos, AttackPolicy pol, bool bounce_);

    void act(World& w) override;
    void collision_hook(double prev_speed, bool* collisions) override;
};

#endif
