#include "SpatialIndex.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "World.h"

namespace {

constexpr std::uint32_t NOT_FILED = std::numeric_limits<std::uint32_t>::max();

// Red and blue units are filed in separate layers, so that an attacker looks
// only at the other side's layer (a Team holds no value but these two).
constexpr std::size_t LAYERS = 2;
std::size_t layer_of(Team team) {
    return team == RED ? 0 : 1;
}

bool finite_position(const Unit& u) {
    return std::isfinite(u.pos.x) && std::isfinite(u.pos.y);
}

// A unit with a non-finite position is reached by nobody: its distance to
// any finite point is infinite or not a number. So is a body radius that is
// not a number.
bool can_be_reached(const Unit& u) {
    return finite_position(u) && !std::isnan(u.radius);
}

// Reach test on copied values, written exactly as World::can_attack and
// World::distance2 so that it gives the same answer on the same doubles.
bool reaches(const Unit& u, double x, double y, double radius) {
    return square(u.attack_radius + radius) > square(u.pos.x - x) + square(u.pos.y - y);
}

}  // namespace

void SpatialIndex::rebuild(const std::vector<Unit*>& units) {
    assert(units.size() < NOT_FILED);
    n_units_ = units.size();
    usable_ = true;
    max_body_ = 0;
    double max_attack = 0;
    double lo_x = 0, hi_x = 0, lo_y = 0, hi_y = 0;
    std::size_t filed = 0;
    for (const Unit* v : units) {
        if (!can_be_reached(*v)) continue;
        // An infinite body would be reached from anywhere, so no cell bound holds.
        if (!std::isfinite(v->radius)) usable_ = false;
        max_body_ = std::max(max_body_, std::fabs(v->radius));
        if (std::isfinite(v->attack_radius))
            max_attack = std::max(max_attack, std::fabs(v->attack_radius));
        if (filed == 0) {
            lo_x = hi_x = v->pos.x;
            lo_y = hi_y = v->pos.y;
        } else {
            lo_x = std::min(lo_x, v->pos.x);
            hi_x = std::max(hi_x, v->pos.x);
            lo_y = std::min(lo_y, v->pos.y);
            hi_y = std::max(hi_y, v->pos.y);
        }
        ++filed;
    }
    if (!usable_) {
        nx_ = ny_ = 0;
        return;
    }

    // Cells one largest reach wide, so that a query visits about 3 x 3 cells;
    // wider when the units are spread so far that the grid would outgrow the
    // army (memory and rebuild time stay proportional to the unit count), and
    // never so narrow that the inverse width overflows. The width only sets
    // the speed: any positive width gives the same lists.
    const double extent_x = hi_x - lo_x;
    const double extent_y = hi_y - lo_y;
    const double per_axis = std::floor(std::sqrt(2.0 * static_cast<double>(filed) + 16.0));
    double cell = max_attack + max_body_;
    cell = std::max({cell, extent_x / per_axis, extent_y / per_axis, 1e-6});
    // Both extents can overflow for positions near the largest doubles.
    if (!std::isfinite(cell)) cell = std::numeric_limits<double>::max();
    inv_cell_ = 1 / cell;
    x0_ = lo_x;
    y0_ = lo_y;
    nx_ = static_cast<int>(std::min(per_axis, std::floor(extent_x * inv_cell_))) + 1;
    ny_ = static_cast<int>(std::min(per_axis, std::floor(extent_y * inv_cell_))) + 1;

    // Counting sort by layer and cell; walking the list in order keeps each
    // cell in list order.
    n_cells_ = static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_);
    const std::size_t n_keys = LAYERS * n_cells_;
    start_.assign(n_keys + 1, 0);
    cell_of_.resize(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Unit& v = *units[i];
        if (!can_be_reached(v)) {
            cell_of_[i] = NOT_FILED;
            continue;
        }
        const std::size_t k = layer_of(v.team) * n_cells_ +
                              static_cast<std::size_t>(row_of(v.pos.y)) * nx_ +
                              static_cast<std::size_t>(column_of(v.pos.x));
        cell_of_[i] = static_cast<std::uint32_t>(k);
        ++start_[k + 1];
    }
    for (std::size_t k = 0; k < n_keys; ++k) start_[k + 1] += start_[k];

    index_.resize(filed);
    xs_.resize(filed);
    ys_.resize(filed);
    radii_.resize(filed);
    found_.resize(filed);
    std::vector<std::uint32_t>& next = fill_;
    next.assign(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (cell_of_[i] == NOT_FILED) continue;
        const std::uint32_t slot = next[cell_of_[i]]++;
        const Unit& v = *units[i];
        index_[slot] = static_cast<std::uint32_t>(i);
        xs_[slot] = v.pos.x;
        ys_[slot] = v.pos.y;
        radii_[slot] = v.radius;
    }
}

// Rounding, subtraction and truncation are all monotone, so a <= b gives
// column_of(a) <= column_of(b): every unit whose x lies between two query
// bounds is filed between their columns.
int SpatialIndex::column_of(double x) const {
    const double t = (x - x0_) * inv_cell_;
    if (!(t >= 0)) return 0;
    if (t >= nx_) return nx_ - 1;
    return static_cast<int>(t);
}

int SpatialIndex::row_of(double y) const {
    const double t = (y - y0_) * inv_cell_;
    if (!(t >= 0)) return 0;
    if (t >= ny_) return ny_ - 1;
    return static_cast<int>(t);
}

bool SpatialIndex::cells_to_visit(const Unit& u, Cells& c) const {
    if (!usable_ || !std::isfinite(u.attack_radius)) return false;
    if (!finite_position(u)) {
        // Infinitely far from every filed unit, or not a number: reaches nobody.
        c = {1, 0, 1, 0};
        return true;
    }
    // A hit means square(a) > dx*dx + dy*dy >= dx*dx, with a = attack_radius +
    // radius and dx the rounded difference. Rounding is monotone and a is a
    // double, so |dx| < |a| holds for the exact difference too, and |a| <=
    // reach. An enemy's x thus lies above the exact u.x - reach, hence at or
    // above its rounding: the bounds below miss no one, without any margin.
    const double reach = std::fabs(u.attack_radius) + max_body_;
    c.x0 = column_of(u.pos.x - reach);
    c.x1 = column_of(u.pos.x + reach);
    c.y0 = row_of(u.pos.y - reach);
    c.y1 = row_of(u.pos.y + reach);
    return true;
}

template <class Span>
void SpatialIndex::for_each_span(const Unit& u, const Cells& c, Span span) const {
    if (c.x0 > c.x1) return;
    const std::size_t enemy_layer = 1 - layer_of(u.team);
    for (int row = c.y0; row <= c.y1; ++row) {
        // The cells of one row are adjacent in the filing order.
        const std::size_t first = enemy_layer * n_cells_ + static_cast<std::size_t>(row) * nx_;
        if (!span(start_[first + static_cast<std::size_t>(c.x0)],
                  start_[first + static_cast<std::size_t>(c.x1) + 1]))
            return;
    }
}

void SpatialIndex::enemies_within_attack_range(const Unit& u, const std::vector<Unit*>& units,
                                               std::vector<Unit*>& targets) const {
    assert(built_for(units));
    targets.clear();
    Cells c;
    if (!cells_to_visit(u, c)) {
        for (Unit* v : units) {
            if (v->team != u.team && World::can_attack(u, *v)) targets.push_back(v);
        }
        return;
    }
    // Written without a branch on the outcome, which is close to a coin toss
    // for the units near the edge of the reach: every candidate is stored,
    // and only a hit advances the count.
    std::uint32_t* const out = found_.data();
    std::size_t hits = 0;
    for_each_span(u, c, [&](std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t k = begin; k < end; ++k) {
            out[hits] = index_[k];
            hits += reaches(u, xs_[k], ys_[k], radii_[k]);
        }
        return true;
    });
    std::sort(out, out + hits);
    for (std::size_t i = 0; i < hits; ++i) targets.push_back(units[out[i]]);
}

bool SpatialIndex::has_enemy_within_attack_range(const Unit& u,
                                                 const std::vector<Unit*>& units) const {
    assert(built_for(units));
    Cells c;
    if (!cells_to_visit(u, c)) {
        for (const Unit* v : units) {
            if (v->team != u.team && World::can_attack(u, *v)) return true;
        }
        return false;
    }
    bool found = false;
    for_each_span(u, c, [&](std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t k = begin; k < end && !found; ++k)
            found = reaches(u, xs_[k], ys_[k], radii_[k]);
        return !found;
    });
    return found;
}
