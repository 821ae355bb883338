#include "tests/fuzz/Violation.h"

#include <cstdio>
#include <cstdlib>

namespace k54::fuzz {

void violated(const char* what) {
    std::fprintf(stderr, "violated: %s\n", what);
    std::abort();
}

}  // namespace k54::fuzz
