// The piece table pieceDefs, built anew for every game from the 19
// piece-definition files, plus the picture of a negative Calculator in slot 19.
#pragma once

#include <array>

namespace pomlets {

// The definition file of each slot 0 to 18 (names within "\init\").
inline constexpr std::array<const char*, 19> pieceDefinitionFiles = {
    "1980", "0018", "1281", "9234", "4742", "9338", "0634", "6768", "5156", "0876",
    "8624", "8752", "2137", "5493", "7147", "7045", "9201", "6337", "8269",
};

// Fills slots 0 to 18 from their definition files (imageIndex = slot), sets
// lastPieceType to 18, and gives slot 19 the keyed picture
// "\images\calculator_02.bmp". Needs ddraw and colorKey.
void initPieces();

} // namespace pomlets
