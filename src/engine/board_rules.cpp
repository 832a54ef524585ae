#include "engine/board_rules.h"

#include <vector>

#include "common/brains.h"
#include "engine/drops.h"
#include "engine/effects.h"
#include "engine/field.h"
#include "engine/messages.h"
#include "engine/piece_timer.h"
#include "engine/removal.h"
#include "engine/slam.h"
#include "engine/sound_effects.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

// calculatorSum is 16 bits wide. Long runs of negative payments would carry
// it below -32768; it stays at the end of its range instead of failing the pass.
int16_t addToCalculatorSum(int32_t points) {
    const int64_t sum = static_cast<int64_t>(calculatorSum) + points;
    if (sum < INT16_MIN) return INT16_MIN;
    if (sum > INT16_MAX) return INT16_MAX;
    return static_cast<int16_t>(sum);
}

} // namespace

void updateBoardRules() {
    std::vector<PieceDef> slammers;
    int16_t lastSlammer = -1;
    std::vector<int16_t> shifterRows;
    std::vector<int16_t> shifterDirections;

    for (int16_t r = 0; r < fieldRows; ++r) {
        for (int16_t c = 0; c < fieldColumns; ++c) {
            FieldCell& cell = fieldCell(r, c);
            if (!cell.occupied) continue;
            PieceDef& p = cell.piece;  // each rule reads the cell as it is at that moment

            if (p.isBomb && timerPassed(p)) explodeBomb(r, c);

            if (p.isDiamond && timerPassed(p) && p.deadline != -1) {
                addPointPopup(effectX(p.column), effectY(p.y), 100);
                p.deadline = -1;
            }

            if (p.isSlammer && cell.occupied) {
                PieceDef& noted = appendTo(slammers, lastSlammer);
                noted.column = c;
                noted.y = r;
            }

            if (p.isGorgon && timerPassed(p)) {
                dropGorgon();
                armTimer(p);
            }

            if (p.isCalculator && timerPassed(p)) {
                addPointPopup(effectX(p.column), effectY(p.y), p.points);
                armTimer(p);
                playSound(p.points > 0 ? sndCalculatePlus : sndCalculateMinus);
                if (!pythagoreanGiven) {
                    calculatorSum = addToCalculatorSum(p.points);
                    if (calculatorSum >= 1500) {
                        pythagoreanGiven = true;
                        showMessage("Pythagorean Bonus!  2500 points");
                        score = add32(score, 2500);
                    }
                }
            }

            if (p.isShifter && timerPassed(p)) {
                shifterRows.push_back(r);
                shifterDirections.push_back(p.shiftDirection);
                armTimer(p);
            }

            if (p.isBauble && timerPassed(p)) {
                cell.occupied = false;
                p.active = false;
                playSound(sndBauble2);
                addPointPopup(effectX(p.column), effectY(p.y), 500);
                dropUnsupported();
            }
        }
    }

    if (lastSlammer >= 0) slamCheck(slammers, lastSlammer);

    if (!shifterRows.empty()) {
        const int16_t remembered = currentRow;
        for (size_t i = 0; i < shifterRows.size(); ++i) {
            currentRow = shifterRows[i];
            shiftRow(shifterDirections[i] == 1);
        }
        currentRow = remembered;
    }
}

void explodeBomb(int16_t row, int16_t column) {
    killPiece(row, column);
    const PieceDef& bomb = fieldCell(row, column).piece;  // the emptied cell keeps column, y and points
    const int16_t x = effectX(bomb.column);
    const int16_t y = effectY(bomb.y);
    addExplosion(x, y, false);
    addPointPopup(x, y, bomb.points);

    bool variants[4] = {false, false, false, false};
    for (int r = row - 1; r <= row + 1; ++r) {
        for (int c = column - 1; c <= column + 1; ++c) {
            if (r < 0 || r >= fieldRows || c < 0 || c >= fieldColumns) continue;
            if (r == row && c == column) continue;
            FieldCell& cell = fieldCell(r, c);
            if (!cell.occupied || !cell.piece.bombable) continue;
            if (cell.piece.typeName == "Pomlet" && cell.piece.variant >= 1 && cell.piece.variant <= 4)
                variants[cell.piece.variant - 1] = true;
            killPiece(static_cast<int16_t>(r), static_cast<int16_t>(c));
        }
    }
    dropUnsupported();

    if (variants[0] && variants[1] && variants[2] && variants[3]) {
        showMessage("Fruit cocktail bonus!  5000 points");
        score = add32(score, 5000);
        fruitize();
    }
}

} // namespace pomlets
