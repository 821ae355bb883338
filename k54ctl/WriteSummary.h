#pragma once
// What a command that writes parameters did when it stopped early (a failure, a refusal, a signal): the
// rows written, the one whose request went out without an answer (the instrument may have taken it
// before it fell silent) and the rows not sent.
#include <optional>
#include <string>
#include <vector>

namespace k54::ctl {

// "written: CutE, US_1; sent, no reply: ndt (may or may not be applied); not written: US_2"; a part
// without rows is left out, but for "written: none".
std::string writeSummary(const std::vector<int>& written, std::optional<int> sentNoReply,
                         const std::vector<int>& notWritten);

// The rows' keys, "CutE, US_1", or "none".
std::string keyList(const std::vector<int>& rows);

}  // namespace k54::ctl
