#include "platform/start_values.h"

#include <utility>

namespace pomlets {

namespace {

// Every group, in the order they were made.
std::vector<StartValues*>& groups() {
    static std::vector<StartValues*> made;
    POMLETS_LOCAL_NOT_RESTORED(made, "the list of what is put back");
    return made;
}

// Every give-back call, in the order they were added: its group and place.
std::vector<std::pair<const StartValues*, size_t>>& giveBacks() {
    static std::vector<std::pair<const StartValues*, size_t>> added;
    POMLETS_LOCAL_NOT_RESTORED(added, "the list of what is put back");
    return added;
}

} // namespace

StartValues::StartValues() { groups().push_back(this); }

StartValues::StartValues(std::function<void()> giveBack) : StartValues() { addGiveBack(std::move(giveBack)); }

void StartValues::addGiveBack(std::function<void()> giveBack) {
    giveBacks().emplace_back(this, giveBacks_.size());
    giveBacks_.push_back(std::move(giveBack));
}

// By index: a give-back call may make a variable that adds to the lists.
void StartValues::restore() const {
    for (size_t i = giveBacks_.size(); i-- > 0;) giveBacks_[i]();
    for (size_t i = 0; i < values_.size(); ++i) values_[i]();
}

StartValues& programState() {
    static StartValues group;
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

void restoreStartValues() {
    for (size_t i = giveBacks().size(); i-- > 0;) {
        const auto [group, place] = giveBacks()[i];
        group->giveBacks_[place]();
    }
    for (size_t g = 0; g < groups().size(); ++g)
        for (size_t i = 0; i < groups()[g]->values_.size(); ++i) groups()[g]->values_[i]();
}

StartMark::StartMark() = default;

} // namespace pomlets
