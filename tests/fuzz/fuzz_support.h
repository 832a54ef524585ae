// What every fuzz target shares: a headless Qt and SDL, a scratch program
// folder, the scrambler's key tables, and message boxes that answer at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pomlets::fuzz {

// Sets everything up once, before the first input (LLVMFuzzerInitialize).
void setUp();
// The fuzz input as text.
std::string_view textOf(const uint8_t* data, size_t size);
// Writes bytes to a file of the scratch program folder ("init/4242") and
// returns its path.
std::string writeFile(const std::string& relative, std::string_view bytes);
// Writes the input as the plain form of a data file and scrambles it into
// the scratch program folder, as the game's own data files are stored.
void writeScrambled(const std::string& relative, std::string_view plain);
// Runs a loader: the run-time errors that a damaged file raises are its
// expected answers; anything else reaches the fuzzer.
template <typename F>
void expectingRuntimeErrors(F&& load);

} // namespace pomlets::fuzz

#include "platform/runtime.h"

template <typename F>
void pomlets::fuzz::expectingRuntimeErrors(F&& load) {
    try {
        load();
    } catch (const pomlets::RuntimeError&) {
    }
}
