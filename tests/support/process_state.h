// The program-wide state of the engine, put back as it is when a program
// starts. Every test binary that links the test support runs this before
// and after each test (a GoogleTest listener), so no test sees what another
// left behind, in any order.
#pragma once

// The live options and the program folder, the registered source files,
// the lexical rules (C's), the report folder, the error log (detached), the
// reports kept open between sections, the progress display and the toolbar
// switch.
void resetProcessState();
