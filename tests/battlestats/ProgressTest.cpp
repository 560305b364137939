// The progress line of battlestats, with the times given: nothing in the
// first second, then redrawn in place at most ten times a second, a shorter
// line wiping what is left of a longer one, and cleared at the end.

#include <gtest/gtest.h>

#include <sstream>

#include "Progress.h"

namespace {

TEST(ProgressLine, ShowsDoneTotalRateAndTimeLeft) {
    EXPECT_EQ(ProgressLine::text(120, 900, 2.0), "120/900 battles, 60 per second, 13 s left");
    EXPECT_EQ(ProgressLine::text(100, 1000, 20.0),
              "100/1000 battles, 5.0 per second, 3 min 00 s left");
    EXPECT_EQ(ProgressLine::text(1, 10000, 1.0),
              "1/10000 battles, 1.0 per second, 2 h 46 min left");
    EXPECT_EQ(ProgressLine::text(0, 10, 1.5), "0/10 battles");
}

TEST(ProgressLine, DrawsAfterASecondInPlaceAndClears) {
    std::ostringstream out;
    ProgressLine line(out, 900);
    line.update(50, 0.9);
    EXPECT_EQ(out.str(), "");
    line.update(120, 2.0);
    line.update(130, 2.05);
    line.update(600, 100.0);
    line.update(899, 200.0);
    const std::string a = ProgressLine::text(120, 900, 2.0);
    const std::string b = ProgressLine::text(600, 900, 100.0);
    const std::string c = ProgressLine::text(899, 900, 200.0);
    ASSERT_GT(b.size(), c.size());
    line.clear();
    line.clear();
    EXPECT_EQ(out.str(), "\r" + a + "\r" + b + "\r" + c + std::string(b.size() - c.size(), ' ') +
                             "\r" + std::string(c.size(), ' ') + "\r");
}

}  // namespace
