#include "Setup.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "Marine.h"
#include "Tank.h"

namespace {

// The character between the colon and the value of two echo labels and in the
// timeout line: U+2000 EN QUAD.
constexpr const char* EN_QUAD = "\xE2\x80\x80";

std::uint64_t count_of(int n) {
    return n > 0 ? static_cast<std::uint64_t>(n) : 0;
}

// What the allocator hands out for one object of `size` bytes: its 8-byte
// header, rounded up to 16, never under 32.
std::uint64_t heap_block(std::uint64_t size) {
    return std::max<std::uint64_t>(32, (size + 8 + 15) / 16 * 16);
}

// Per unit: its place in `units`, up to two doubled pointer pairs in the
// attack record, and the two scratch lists of a target selection, which can
// each grow to the whole army with doubling.
constexpr std::uint64_t POINTERS_PER_UNIT = 1 + 4 + 4;

template <class Kind>
void place_kind(World& w, int count, double radius, const Settings& s) {
    for (int i = 0; i < count; ++i) {
        Unit* u = new Kind(RED, w.rnd_pos(radius), s.red_policy, s.bounce);
        u->heading = w.rnd_heading();
        u->current_speed = u->max_speed;
        w.units.push_back(u);

        Unit* v = new Kind(BLUE, w.mirror(u->pos), s.blue_policy, s.bounce);
        v->heading = Vec2(-u->heading.x, -u->heading.y);
        v->current_speed = v->max_speed;
        w.units.push_back(v);
    }
}

}  // namespace

int parse_int(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

Settings parse_settings(const char* const* args) {
    Settings s;
    // Read as integers first, so "700.9" gives a world 700 wide.
    s.width = parse_int(args[0]);
    s.height = parse_int(args[1]);
    s.delay = parse_int(args[2]);
    s.seed = parse_int(args[3]);
    s.n_marines = parse_int(args[4]);
    s.n_tanks = parse_int(args[5]);
    // Any number is kept as the policy: units with an unknown one never fire.
    s.red_policy = static_cast<AttackPolicy>(parse_int(args[6]));
    s.blue_policy = static_cast<AttackPolicy>(parse_int(args[7]));
    s.bounce = parse_int(args[8]) != 0;
    s.gfx = parse_int(args[9]) != 0;
    return s;
}

int clock_seed() {
    const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count();
    return static_cast<int>(static_cast<std::uint32_t>(ms));
}

void echo_settings(std::ostream& out, const Settings& s) {
    out << "width: " << s.width << std::endl;
    out << "height: " << s.height << std::endl;
    out << "delay: " << s.delay << std::endl;
    out << "seed:" << EN_QUAD << s.seed << std::endl;
    out << "marines: " << s.n_marines << std::endl;
    out << "tanks: " << s.n_tanks << std::endl;
    out << "redpol: " << apol2str(s.red_policy) << std::endl;
    out << "bluepol: " << apol2str(s.blue_policy) << std::endl;
    out << "bounce:" << EN_QUAD << s.bounce << std::endl;
    out << "gfx: " << s.gfx << std::endl;
}

const char* result_text(int red_score) {
    if (red_score == 2) return "RED wins";
    if (red_score == 1) return "draw";
    return "BLUE wins";
}

BattleEnd run_to_end(World& w, bool fast_forward, const std::function<void()>& before_step) {
    for (int s = 1; s <= MAX_STEPS; ++s) {
        if (before_step) before_step();
        w.step();
        const int r = w.red_score();
        if (r >= 0) return {r, s};
        if (fast_forward && w.is_frozen()) return {-1, s};
    }
    return {-1, MAX_STEPS};
}

void run_batch(World& w, int seed, std::ostream& out, bool fast_forward,
               const std::function<void()>& before_step) {
    const BattleEnd end = run_to_end(w, fast_forward, [&] {
        out << '.' << std::flush;
        if (before_step) before_step();
    });
    if (end.red_score >= 0) {
        out << "game over (" << end.steps << " steps): " << result_text(end.red_score) << std::endl;
        return;
    }
    out << std::string(MAX_STEPS - end.steps, '.') << timeout_line(seed) << std::endl;
}

std::string timeout_line(int seed) {
    std::ostringstream line;
    line << "game over (timeout" << EN_QUAD << "seed=" << seed << "): draw";
    return line.str();
}

std::string world_size_problem(const Settings& s, double mr, double tr) {
    // Below these sizes a placed unit could not keep a radius clear of every wall.
    const struct {
        const char* name;
        int count;
        double radius;
    } kinds[] = {{"marines", s.n_marines, mr}, {"tanks", s.n_tanks, tr}};
    for (const auto& kind : kinds) {
        const double limit = 3 * kind.radius;
        if (kind.count > 0 && (s.width <= limit || s.height <= limit)) {
            std::ostringstream why;
            why << "world " << s.width << " x " << s.height << " is too small for " << kind.name
                << ": width and height must be above " << limit;
            return why.str();
        }
    }
    return "";
}

std::string window_size_problem(const Settings& s) {
    if (!s.gfx || (s.width <= MAX_WINDOW_SIDE && s.height <= MAX_WINDOW_SIDE)) return "";
    std::ostringstream why;
    why << "world " << s.width << " x " << s.height
        << " is too large for a window: width and height must be at most " << MAX_WINDOW_SIDE;
    return why.str();
}

std::uint64_t battle_unit_count(const Settings& s) {
    return 2 * (count_of(s.n_marines) + count_of(s.n_tanks));
}

std::uint64_t battle_memory_bytes(const Settings& s) {
    const std::uint64_t lists = POINTERS_PER_UNIT * sizeof(Unit*);
    return 2 * count_of(s.n_marines) * (heap_block(sizeof(Marine)) + lists) +
           2 * count_of(s.n_tanks) * (heap_block(sizeof(Tank)) + lists);
}

std::uint64_t usable_memory_bytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGE_SIZE);
    std::uint64_t bytes = UINT64_MAX;
    if (pages > 0 && page_size > 0) {
        bytes = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
    }
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
            bytes = std::min<std::uint64_t>(bytes, limit.rlim_cur);
        }
    }
    return bytes;
}

std::string too_large_problem(const Settings& s) {
    return "battle too large: " + std::to_string(battle_unit_count(s)) +
           " units do not fit in memory";
}

std::string setup_problem(const Settings& s, double mr, double tr) {
    std::string why = world_size_problem(s, mr, tr);
    if (why.empty()) why = window_size_problem(s);
    if (why.empty() && battle_memory_bytes(s) > usable_memory_bytes()) why = too_large_problem(s);
    return why;
}

void place_armies(World& w, const Settings& s, double mr, double tr) {
    // Room for every pointer up front: appending then never throws, so a unit
    // is always owned by the world once it exists.
    w.units.reserve(w.units.size() + battle_unit_count(s));
    place_kind<Marine>(w, s.n_marines, mr, s);
    place_kind<Tank>(w, s.n_tanks, tr, s);
}
