#pragma once
// Which bank images the emulator starts from: those the program's import takes into a
// stored set. A controller is only ever given a bank that passed that import, so an image
// outside it describes no controller the emulator should pretend to be.

#include <string>

#include "sim/MemoryLayout.h"

namespace qavix::sim {

// The first field outside what the import takes, named as a bank file names it
// ("JOINT_NUM", "PIO_07", "AXIS_TH2_2", "ON_OFF_TH1"), in the import's order; "" when the
// image passes. Beyond the import's ranges: every sensor has at most 128 beams and every
// connected one at least one ("TYPE_1 of CHn"), and the P-I/O inversion flags are two
// decimal digits ("PIO_INV").
std::string firstRefusedField(const SetMemory& image);

}  // namespace qavix::sim
