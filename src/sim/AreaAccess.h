#pragma once
// Reading and writing the elements of an area as the texts of the controller's replies
// and puts.

#include <string>
#include <string_view>

#include "sim/Command.h"
#include "sim/MemoryLayout.h"

namespace qavix::sim {

std::string readElements(const SetMemory& memory, const AreaRow& area, ElementRange range);

// Writes the text over the range; kBadData when the text is not exactly the range's
// elements in the area's form (then nothing is written).
int writeElements(SetMemory& memory, const AreaRow& area, ElementRange range,
                  std::string_view text);

// Text areas (Addressing::String): the text of one element, and its replacement, padded
// with blanks; kBadData when the text is longer than the element.
std::string readText(const SetMemory& memory, const AreaRow& area, int element);
int writeText(SetMemory& memory, const AreaRow& area, int element, std::string_view text);

// The byte value of element `element` of a one-byte area (the bit for Bit areas).
int elementValue(const SetMemory& memory, const AreaRow& area, int element);
void setElementValue(SetMemory& memory, const AreaRow& area, int element, int value);

// Convenience for code-addressed access; the area must exist.
int valueOf(const SetMemory& memory, int code, int element);
void setValue(SetMemory& memory, int code, int element, int value);
void setHex(SetMemory& memory, int code, int element, std::string_view hex);
void setText(SetMemory& memory, int code, int element, std::string_view text);

}  // namespace qavix::sim
