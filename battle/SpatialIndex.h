#ifndef BATTLE_SPATIAL_INDEX_H
#define BATTLE_SPATIAL_INDEX_H

#include <cstddef>
#include <cstdint>
#include <vector>

class Unit;

// A uniform grid over the units' positions, about one largest reach per cell,
// that answers "which enemies can this unit reach" by looking only at nearby
// cells. The answer is exactly the plain scan's: the same reach test on the
// same doubles, listed in the order of the unit list.
//
// The grid copies positions when it is rebuilt and describes the units as
// they were then: rebuild it whenever a unit moves or the list changes.
class SpatialIndex {
  public:
    // Files every unit of `units` by its current position.
    void rebuild(const std::vector<Unit*>& units);

    // True when the grid was last rebuilt from a list of this length.
    bool built_for(const std::vector<Unit*>& units) const { return units.size() == n_units_; }

    // Empties `targets`, then appends every unit of `units` (the list the grid
    // was built from) whose team differs from u's and that u can reach, in
    // list order.
    void enemies_within_attack_range(const Unit& u, const std::vector<Unit*>& units,
                                     std::vector<Unit*>& targets) const;

    // Whether u can reach at least one unit of `units` of another team.
    bool has_enemy_within_attack_range(const Unit& u, const std::vector<Unit*>& units) const;

    // False when every query falls back to scanning the whole list, because
    // some unit's body radius is not a finite number.
    bool uses_grid() const { return usable_; }
    int columns() const { return nx_; }
    int rows() const { return ny_; }

  private:
    struct Cells {
        int x0, x1, y0, y1;  // inclusive; empty when x0 > x1
    };

    int column_of(double x) const;
    int row_of(double y) const;
    // False when u must be answered by the plain scan.
    bool cells_to_visit(const Unit& u, Cells& c) const;

    // Calls span(begin, end) for each run of filed enemies of u within the
    // cells c, until span returns false.
    template <class Span>
    void for_each_span(const Unit& u, const Cells& c, Span span) const;

    std::size_t n_units_ = 0;
    bool usable_ = false;
    int nx_ = 0;
    int ny_ = 0;
    std::size_t n_cells_ = 0;
    double x0_ = 0;
    double y0_ = 0;
    double inv_cell_ = 1;
    double max_body_ = 0;  // largest |radius| of a filed unit

    // Filed units grouped by team layer, then by cell in row-major order,
    // each cell in list order; key k holds entries start_[k] up to start_[k + 1].
    std::vector<std::uint32_t> start_;
    std::vector<std::uint32_t> index_;  // position in the unit list
    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> radii_;

    // Scratch space reused by every rebuild and query.
    std::vector<std::uint32_t> cell_of_;
    std::vector<std::uint32_t> fill_;
    mutable std::vector<std::uint32_t> found_;
};

#endif
