#include "World.h"

#include <algorithm>
#include <cassert>
#include <cmath>

const char* apol2str(AttackPolicy pol) {
    switch (pol) {
        case ATTACK_WEAKEST:
            return "attack-weakest";
        case ATTACK_CLOSEST:
            return "attack-closest";
        case ATTACK_MOST_DANGEROUS:
            return "attack-most-dangerous";
    }
    return "?";
}

Unit::Unit(Team team_, const Vec2& pos_, double radius_, double attack_radius_, double max_speed_,
           double damage_, int hp_)
    : team(team_),
      pos(pos_),
      radius(radius_),
      attack_radius(attack_radius_),
      max_speed(max_speed_),
      damage(damage_),
      hp(hp_),
      current_speed(0),
      heading(0, 0),
      hp_old(0) {}

World::World(double w, double h, int seed) : width(w), height(h) {
    // Only the low 32 bits of the seed matter, so negative seeds are fine.
    rng.seed(static_cast<std::mt19937::result_type>(static_cast<unsigned int>(seed)));
}

World::~World() {
    for (Unit* u : units) delete u;
}

void World::attack_hook(const Unit&, const Unit&) {}

void World::attack(Unit& attacker, Unit& attacked) {
    attacked.hp = static_cast<int>(attacked.hp - attacker.damage);
    attack_hook(attacker, attacked);
}

void World::move_unit(Unit& u) {
    constexpr double big_t = 2.0;
    const double r = u.radius;
    const double W = width;
    const double H = height;

    const double dx = u.current_speed * u.heading.x;
    const double dy = u.current_speed * u.heading.y;
    const double new_x = u.pos.x + dx;
    const double new_y = u.pos.y + dy;

    bool collision[4] = {false, false, false, false};
    double t = big_t;

    // Each fraction is where the body's rim reaches that wall; the smallest wins.
    if (dx < 0 && new_x - r < 0) {
        collision[LEFT] = true;
        t = std::min(t, 1 - (new_x - r) / dx);
    }
    if (dx > 0 && new_x + r > W) {
        collision[RIGHT] = true;
        t = std::min(t, 1 - (new_x + r - W) / dx);
    }
    if (dy < 0 && new_y - r < 0) {
        collision[TOP] = true;
        t = std::min(t, 1 - (new_y - r) / dy);
    }
    if (dy > 0 && new_y + r > H) {
        collision[BOTTOM] = true;
        t = std::min(t, 1 - (new_y + r - H) / dy);
    }
    if (t >= big_t) t = 1;

    u.pos.x = u.pos.x + dx * t;
    u.pos.y = u.pos.y + dy * t;

    // Keeps the body inside against rounding; right after left, bottom after top.
    if (u.pos.x - r < 0) u.pos.x = r;
    if (u.pos.x + r > W) u.pos.x = W - r;
    if (u.pos.y - r < 0) u.pos.y = r;
    if (u.pos.y + r > H) u.pos.y = H - r;

    if (t < 1) {
        const double s = u.current_speed;
        u.current_speed = 0;
        u.collision_hook(s, collision);
    }
}

Vec2 World::rnd_pos(double radius) const {
    const double slack = 2 * radius;
    // y is drawn before x.
    const double y = rnd01() * (height - 2 * slack) + slack;
    const double x = rnd01() * (width - 2 * slack) + slack;
    assert(radius < x && x < width - radius);
    assert(radius < y && y < height - radius);
    return Vec2(x, y);
}

Vec2 World::rnd_heading() const {
    const double phi = rnd01() * 6.283185307179586;
    return Vec2(std::cos(phi), std::sin(phi));
}

Vec2 World::mirror(const Vec2& pos) const {
    return Vec2(width - pos.x, height - pos.y);
}

double World::distance2(const Unit& u, const Unit& v) {
    return square(u.pos.x - v.pos.x) + square(u.pos.y - v.pos.y);
}

bool World::can_attack(const Unit& u, const Unit& v) {
    return square(u.attack_radius + v.radius) > distance2(u, v);
}

void World::enemies_within_attack_range(const Unit& u, std::vector<Unit*>& targets) const {
    if (index_live_ && spatial_index_.built_for(units)) {
        spatial_index_.enemies_within_attack_range(u, units, targets);
        return;
    }
    targets.clear();
    for (Unit* v : units) {
        if (v->team != u.team && can_attack(u, *v)) targets.push_back(v);
    }
}

bool World::anyone_can_attack() const {
    if (index_enabled()) {
        spatial_index_.rebuild(units);
        for (const Unit* u : units) {
            if (spatial_index_.has_enemy_within_attack_range(*u, units)) return true;
        }
        return false;
    }
    for (const Unit* u : units) {
        for (const Unit* v : units) {
            if (v->team != u->team && can_attack(*u, *v)) return true;
        }
    }
    return false;
}

bool World::is_frozen() const {
    for (const Unit* u : units) {
        // A mover changes position, a dead unit would be removed, a stale
        // snapshot would be refreshed: each is a change the next step makes.
        if (u->current_speed > 0 || u->hp <= 0 || u->hp_old != u->hp) return false;
    }
    return !anyone_can_attack();
}

int World::red_score() const {
    if (units.empty()) return 1;
    std::size_t reds = 0;
    for (const Unit* u : units) {
        if (u->team == RED) ++reds;
    }
    if (reds == units.size()) return 2;
    if (reds == 0) return 0;
    return -1;
}

namespace {

// The range check under the name the consistency assertions read best with.
bool can_attack(const Unit& u, const Unit& v) {
    return World::can_attack(u, v);
}

// The procedure common to all policies: collect every reachable enemy that is
// best by `measure`, then break the tie with exactly one draw. `better(a, b)`
// tells whether measure a is strictly better than b; equality is exact.
template <class Measure, class Better>
Unit* random_best_target(const World& w, Unit& u, Measure measure, Better better) {
    std::vector<Unit*> targets;
    w.enemies_within_attack_range(u, targets);
    const std::size_t n = targets.size();
    if (n == 0) return nullptr;

    auto best = measure(*targets[0]);
    std::vector<Unit*> optimal{targets[0]};
    assert(can_attack(u, *targets[0]));
    for (std::size_t i = 1; i < n; ++i) {
        assert(can_attack(u, *targets[i]));
        const auto value = measure(*targets[i]);
        if (better(best, value)) continue;
        if (better(value, best)) {
            best = value;
            optimal.clear();
        }
        optimal.push_back(targets[i]);
    }
    assert(optimal.size());
    return optimal[static_cast<std::size_t>(w.rnd_int(static_cast<int>(optimal.size())))];
}

}  // namespace

Unit* World::random_weakest_target(Unit& u) const {
    return random_best_target(
        *this, u, [](const Unit& v) { return v.hp_old; }, [](int a, int b) { return a < b; });
}

Unit* World::random_closest_target(Unit& u) const {
    return random_best_target(
        *this, u, [&u](const Unit& v) { return distance2(u, v); },
        [](double a, double b) { return a < b; });
}

Unit* World::random_most_dangerous_target(Unit& u) const {
    return random_best_target(
        *this, u, [](const Unit& v) { return v.damage / static_cast<double>(v.hp_old); },
        [](double a, double b) { return a > b; });
}

void act_by_policy(World& w, Unit& u, AttackPolicy policy) {
    Unit* target = nullptr;
    switch (policy) {
        case ATTACK_WEAKEST:
            target = w.random_weakest_target(u);
            break;
        case ATTACK_CLOSEST:
            target = w.random_closest_target(u);
            break;
        case ATTACK_MOST_DANGEROUS:
            target = w.random_most_dangerous_target(u);
            break;
    }
    if (target != nullptr) w.attack(u, *target);
}

void bounce_off_walls(Unit& u, bool bounce, double prev_speed, const bool* collisions) {
    if (!bounce) return;
    if (collisions[RIGHT] || collisions[LEFT]) {
        u.current_speed = prev_speed;
        u.heading.x = -u.heading.x;
    }
    if (collisions[TOP] || collisions[BOTTOM]) {
        u.current_speed = prev_speed;
        u.heading.y = -u.heading.y;
    }
}
