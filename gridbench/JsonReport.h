#pragma once

#include <iosfwd>
#include <vector>

#include "Inputs.h"
#include "Options.h"
#include "SearchOutcome.h"

// The run as one JSON document: what was run, then per search the summary of
// every bucket and of the total, the figures of the text report and one row
// per query (the README's gridbench section gives the schema). Numbers are
// written as the shortest text that reads back as the same double, so only
// the times differ between runs and thread counts; without them, null.
void writeJson(std::ostream& out, const Options& options, const Inputs& inputs,
               const std::vector<SearchOutcome>& searches);
