#include "app/run_tables.h"

#include "app/options.h"

RunTables::RunTables(Options& options) : options_(options) {}

RunTables::~RunTables() { destroy(); }

// Tables join this list as they are built; the order of the members is the
// order of creation and of destruction.
void RunTables::create() {}

void RunTables::destroy() {}
