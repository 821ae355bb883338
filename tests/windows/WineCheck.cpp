#include "tests/windows/WineCheck.h"

#include <windows.h>

namespace k54::test {

bool runningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace k54::test
