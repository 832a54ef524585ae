// Engine test support: fields built from small pictures of letters, a
// standard set of piece definitions, and a fixture with a frozen clock and
// countable sounds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/brains.h"

namespace pomlets::testing {

// The letters of a field picture:
//   .  empty cell
//   1-4 Pomlet of that variant     S Slammer     B Bomb       R Rock
//   X  Blaster (blasts on removal) M Money       N Music Note T B-Type piece
//   G  Gorgon    U Bauble    K Calculator    H Shifter    D Diamond
//   W  Bowling Ball    Q Quartz (slammable, another type)
// The standard definitions, one slot per letter in this order.
extern const std::string pieceLetters;
// The definition of a letter (its pieceDefs slot is its position in pieceLetters).
PieceDef pieceOf(char letter);
int slotOf(char letter);
// The letter of a piece (its type name and variant), '?' when none fits.
char letterOf(const PieceDef& piece);

// Puts the standard definitions into pieceDefs (slots 0 to 16), every spawn
// range empty, and sets lastPieceType.
void installPieceDefs();

// Lays the field from rows of ten letters, the top row first; fewer than
// seven rows fill the bottom rows. Every other cell is emptied. Each piece
// gets its cell's column and y = 520 - 85 row.
void setField(const std::vector<std::string>& rowsTopFirst);
// The field as seven rows of letters, top row first.
std::vector<std::string> fieldPicture();

// A frozen game clock (GetTickCount) at this value, nothing paused.
void setClock(int32_t ms);

// A generator state from which the next draws of Int(Rnd x n) give exactly
// these values.
uint32_t stateForDraws(int n, const std::vector<int>& draws);

// Every sound of the game as a fresh, countable buffer.
void installSounds();
// How many times a sound was started.
int plays(const SoundRef& sound);

// Resets the shared state, installs the definitions and the sounds, freezes
// the clock at 100000 and the seeding clock at midnight.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
};

} // namespace pomlets::testing
