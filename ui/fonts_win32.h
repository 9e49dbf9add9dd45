// The window's fonts: one for its text (the tree, the label, the status
// bar) and a fixed-pitch one for the viewer, in which the reports' columns
// line up. Each is made a pixel taller where the size asked for would draw
// its underscore below the character cell, where controls clip it away.
#pragma once

#include <windows.h>

// Made on first use; they live as long as the program.
HFONT windowTextFont();
HFONT viewerFont();
