#pragma once
// How a fuzz target reports a broken promise of the code under test.

namespace k54::fuzz {

// Stops the fuzzer with a message; libFuzzer keeps the input that did it.
[[noreturn]] void violated(const char* what);

}  // namespace k54::fuzz
