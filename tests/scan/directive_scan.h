// The directive tests read source texts through the real reader with a
// recording parser (the shared fixture's scan, openReader and read).
#pragma once

#include <array>

#include "context/source_context.h"
#include "tests/support/analysis_test.h"

namespace directive_test {

// Total, executable, blank, comment, disabled, disabled code, preprocessor.
using Counts = std::array<int, 7>;

using DirectiveScanTest = AnalysisTest;

}  // namespace directive_test
