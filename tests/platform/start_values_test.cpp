// Variables put back to the values they had when the program started: by
// group, a group's own give-back first, and statics inside functions once
// they have been made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/start_values.h"

namespace pomlets {
namespace {

std::vector<std::string> givenBack;
int counter = 5;
std::string word = "start";

StartValues& wordGroup() {
    static StartValues group([] { givenBack.push_back("given back: " + word); });
    return group;
}
POMLETS_RESTORED_IN(wordGroup(), counter, word);

int& madeOnFirstUse() {
    static int made = 3;
    POMLETS_LOCAL_RESTORED(made);
    return made;
}

TEST(StartValuesTest, AGroupGivesBackFirstThenPutsEveryVariableBack) {
    givenBack.clear();
    counter = 9;
    word = "changed";
    madeOnFirstUse() = 7;

    wordGroup().restore();
    EXPECT_EQ(givenBack, std::vector<std::string>{"given back: changed"});
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(word, "start");
    EXPECT_EQ(madeOnFirstUse(), 7) << "another group's variable is left alone";

    restoreStartValues();
    EXPECT_EQ(madeOnFirstUse(), 3);
    EXPECT_EQ(givenBack.size(), 2u);
}

} // namespace
} // namespace pomlets
