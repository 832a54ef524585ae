// Store drops and the change of Pomlets into fruit.
#pragma once

#include <string>

namespace pomlets {

// Puts one piece of the named type into play at the top of a random column;
// a dropped Bowling Ball strikes the top cell of its column at once.
void dropPiece(const std::string& typeName);
// Turns every Pomlet (definitions, falling, lying) into fruit worth 100 more.
// A failure is logged, ends the game and tears the display down.
void fruitize();

} // namespace pomlets
