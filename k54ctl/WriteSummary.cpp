#include "k54ctl/WriteSummary.h"

#include "config/files/ParamKeys.h"

namespace k54::ctl {

std::string keyList(const std::vector<int>& rows) {
    std::string text;
    for (const int r : rows) text += (text.empty() ? "" : ", ") + std::string(keyOfRow(r));
    return text.empty() ? "none" : text;
}

std::string writeSummary(const std::vector<int>& written, std::optional<int> sentNoReply,
                         const std::vector<int>& notWritten) {
    std::string text = "written: " + keyList(written);
    if (sentNoReply) text += "; sent, no reply: " + keyList({*sentNoReply}) + " (may or may not be applied)";
    if (!notWritten.empty()) text += "; not written: " + keyList(notWritten);
    return text;
}

}  // namespace k54::ctl
