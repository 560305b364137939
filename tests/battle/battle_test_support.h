#ifndef BATTLE_TEST_SUPPORT_H
#define BATTLE_TEST_SUPPORT_H

// Helpers shared by the battle world tests: a configurable unit that records
// what the world does to it, a world that records attacks, and an engine
// whose next outputs are chosen by the test.

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "World.h"

// A unit with free statistics whose hooks only record their calls.
class ProbeUnit : public Unit {
  public:
    struct Log {
        std::vector<const Unit*> acted;
        std::vector<std::pair<const Unit*, double>> collisions;  // unit, prev_speed
        std::vector<bool> last_flags = std::vector<bool>(4, false);
        int destroyed = 0;
    };

    ProbeUnit(Log& log, Team team, Vec2 pos, double radius = 10, double damage = 1, int hp = 10,
              double attack_radius = 40)
        : Unit(team, pos, radius, attack_radius, 10, damage, hp), log_(log) {}
    ~ProbeUnit() override { ++log_.destroyed; }

    void act(World&) override { log_.acted.push_back(this); }
    void collision_hook(double prev_speed, bool* collisions) override {
        log_.collisions.emplace_back(this, prev_speed);
        log_.last_flags.assign(collisions, collisions + 4);
    }

  private:
    Log& log_;
};

// Records every attack as the front end's graphical world does, together
// with the attacked unit's hit points as the hook saw them.
class RecordingWorld : public World {
  public:
    using World::World;
    struct Hit {
        const Unit* attacker;
        const Unit* attacked;
        int hp_seen;
    };
    std::vector<Hit> hits;
    void attack_hook(const Unit& attacker, const Unit& attacked) override {
        hits.push_back({&attacker, &attacked, attacked.hp});
    }
    int hits_on(const Unit* u) const {
        int n = 0;
        for (const Hit& h : hits) n += h.attacked == u;
        return n;
    }
};

// Inverse of the engine's output tempering.
inline std::uint32_t untemper(std::uint32_t y) {
    auto undo_right = [](std::uint32_t v, int s) {
        std::uint32_t r = v;
        for (int i = 0; i < 32 / s + 1; ++i) r = v ^ (r >> s);
        return r;
    };
    auto undo_left = [](std::uint32_t v, int s, std::uint32_t mask) {
        std::uint32_t r = v;
        for (int i = 0; i < 32 / s + 1; ++i) r = v ^ ((r << s) & mask);
        return r;
    };
    y = undo_right(y, 18);
    y = undo_left(y, 15, 0xefc60000u);
    y = undo_left(y, 7, 0x9d2c5680u);
    return undo_right(y, 11);
}

// An engine whose next outputs are exactly `outputs` (at most 200 of them).
// A freshly seeded engine regenerates its whole state on the first draw; with
// words 0..396 zero, regenerated word k is word 397 + k unchanged, so setting
// those words to the untempered outputs makes the engine emit them in order.
inline std::mt19937 engine_with_outputs(const std::vector<std::uint32_t>& outputs) {
    std::mt19937 fresh;
    std::stringstream out;
    out << fresh;
    std::vector<std::string> tokens;
    for (std::string t; out >> t;) tokens.push_back(t);
    for (std::size_t k = 0; k < 624; ++k) tokens[k] = "0";
    for (std::size_t k = 0; k < outputs.size(); ++k)
        tokens[397 + k] = std::to_string(untemper(outputs[k]));
    std::stringstream in;
    for (const std::string& t : tokens) in << t << ' ';
    std::mt19937 e;
    in >> e;
    return e;
}

// Number of outputs that took `before` to `after` (up to `limit`), or -1.
inline int draws_between(std::mt19937 before, const std::mt19937& after, int limit = 64) {
    for (int n = 0; n <= limit; ++n) {
        if (before == after) return n;
        before();
    }
    return -1;
}

#endif
