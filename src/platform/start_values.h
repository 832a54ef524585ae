// The values the program's variables have when it starts, kept so that they
// can be put back: every variable that lives as long as the program and may
// change while it runs is named, right after its declaration, to the group
// that puts it back:
//
//     inline int32_t score = 0;
//     POMLETS_RESTORED_IN(sharedState(), score);
//
// restoreStartValues() puts back every group, so a test starts where the
// program starts. A variable that stands for something the program holds (an
// open file, a lock) names the call that gives it back instead, and one that
// must not be put back (a cache, what follows a device) says why. A check of
// the built libraries (scripts/check-start-values, run with the tests) finds
// every writable variable that is named to none of them.
#pragma once

#include <functional>
#include <vector>

namespace pomlets {

// Variables put back together, with the calls that give back what some of
// them hold. Every group lives as long as the program.
class StartValues {
public:
    StartValues();
    // A group whose variables are put back only after this call, which gives
    // back what they hold.
    explicit StartValues(std::function<void()> giveBack);
    StartValues(const StartValues&) = delete;
    StartValues& operator=(const StartValues&) = delete;

    // A copy of the variable's start value is put back.
    void add(std::function<void()> restore) { values_.push_back(std::move(restore)); }
    // A call that gives back what a variable holds.
    void addGiveBack(std::function<void()> giveBack);
    // The group's give-back calls, the last added first, then every variable
    // back as it was when the program started.
    void restore() const;

private:
    friend void restoreStartValues();
    std::vector<std::function<void()>> giveBacks_, values_;
};

// The group of the variables no other group names.
StartValues& programState();
// The whole program back to its start: every give-back call of every group,
// the last added first, as objects are destroyed in the reverse order of
// their making (so the windows made while the program ran go before the log
// opened at its start), then every variable of every group.
void restoreStartValues();

// What every mark below is: made out of line, so that the compiler keeps each
// mark in the built libraries, where the check finds it beside its variable.
class StartMark {
protected:
    StartMark();
};

// Keeps a copy of the variable's value as it is now, the program's start, in
// the group.
template <typename T>
class StartValue : StartMark {
public:
    StartValue(StartValues& group, T& variable) {
        group.add([&variable, start = variable] { variable = start; });
    }
};

// Gives back what a variable holds with a call of its own.
class StartAction : StartMark {
public:
    StartAction(StartValues& group, std::function<void()> giveBack) { group.addGiveBack(std::move(giveBack)); }
};

// A variable that is not put back, and why.
class NotRestored : StartMark {
public:
    explicit NotRestored(const char* /*why*/) {}
};

} // namespace pomlets

// --- naming the variables ---------------------------------------------------
// At namespace scope, one or more variables, each put back to its start value:
#define POMLETS_RESTORED_IN(group, ...) POMLETS_EACH_(POMLETS_RESTORED_ONE_, group, __VA_ARGS__) static_assert(true)
#define POMLETS_RESTORED(...) POMLETS_RESTORED_IN(::pomlets::programState(), __VA_ARGS__)
// At namespace scope, a variable given back by a call of its own.
#define POMLETS_RESTORED_BY(name, ...) \
    inline const ::pomlets::StartAction name##AtStart { ::pomlets::programState(), __VA_ARGS__ }
// At namespace scope, a variable that is not put back.
#define POMLETS_NOT_RESTORED(name, why) inline const ::pomlets::NotRestored name##AtStart { why }
// The same inside a function, for its static variables.
#define POMLETS_LOCAL_RESTORED(name) \
    static const ::pomlets::StartValue<decltype(name)> name##AtStart { ::pomlets::programState(), name }
#define POMLETS_LOCAL_RESTORED_BY(name, ...) \
    static const ::pomlets::StartAction name##AtStart { ::pomlets::programState(), __VA_ARGS__ }
#define POMLETS_LOCAL_NOT_RESTORED(name, why) static const ::pomlets::NotRestored name##AtStart { why }

#define POMLETS_RESTORED_ONE_(group, name) \
    inline const ::pomlets::StartValue<decltype(name)> name##AtStart{group, name};
#define POMLETS_PARENS_ ()
#define POMLETS_EXPAND_(...) POMLETS_EXPAND3_(POMLETS_EXPAND3_(POMLETS_EXPAND3_(POMLETS_EXPAND3_(__VA_ARGS__))))
#define POMLETS_EXPAND3_(...) POMLETS_EXPAND2_(POMLETS_EXPAND2_(POMLETS_EXPAND2_(POMLETS_EXPAND2_(__VA_ARGS__))))
#define POMLETS_EXPAND2_(...) POMLETS_EXPAND1_(POMLETS_EXPAND1_(POMLETS_EXPAND1_(POMLETS_EXPAND1_(__VA_ARGS__))))
#define POMLETS_EXPAND1_(...) __VA_ARGS__
#define POMLETS_EACH_(macro, group, ...) __VA_OPT__(POMLETS_EXPAND_(POMLETS_EACH_STEP_(macro, group, __VA_ARGS__)))
#define POMLETS_EACH_STEP_(macro, group, first, ...) \
    macro(group, first) __VA_OPT__(POMLETS_EACH_AGAIN_ POMLETS_PARENS_(macro, group, __VA_ARGS__))
#define POMLETS_EACH_AGAIN_() POMLETS_EACH_STEP_
