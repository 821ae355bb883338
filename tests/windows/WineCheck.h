#pragma once

namespace k54::test {

// True when the program runs under Wine (its ntdll exports wine_get_version), where a pseudo-terminal
// stands in for the serial device: it has no parity bit and no modem lines.
bool runningUnderWine();

}  // namespace k54::test
