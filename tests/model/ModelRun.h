#pragma once
// Runs the randomized operator property in rounds: one round in the test suite, as many as it takes to
// reach a number of actions in a soak. Each round is one RapidCheck run (seed, sequences, size); a
// failing round prints its seed and the shrunk action sequence.
#include <cstdint>
#include <string>

#include "tests/model/OperatorWindow.h"

namespace k54::model {

struct Budget {
    int sequences;     // sequences per round
    int maxSize;       // RapidCheck's largest size: a sequence has up to size + 1 actions
    uint64_t seed;     // the first round's seed; each further round takes the next
    long actions = 0;  // run rounds until this many actions have run (0: one round)
};

// The budget given, overridden by K54_MODEL_SEQUENCES, K54_MODEL_SIZE, K54_MODEL_SEED and
// K54_MODEL_ACTIONS where they are set.
Budget budgetFromEnvironment(Budget defaults);

struct Variant {
    std::string name;
    WindowFactory makeWindow;
    bool reactivatesAfterBox;
    bool bothSeparators;  // the system's decimal separator varies between sequences
};

struct RunReport {
    long actions = 0;
    long sequences = 0;
    int violations = 0;
};

RunReport runModel(const Variant& variant, const Budget& budget);

}  // namespace k54::model
