#include "tests/model/Invariants.h"

#include <algorithm>
#include <sstream>

namespace k54::model {
namespace {

constexpr std::string_view kKnownBoxes[] = {"Неверный формат числа", "Записать пароль?", "Сбросить пароль?",
                                            "Запись заводской кофигурации"};
constexpr std::string_view kErrorLines[] = {"Ошибка записи параметра", "Ошибка чтения конфигурации",
                                            "Ошибка записи пароля",    "Ошибка записи конфигурации",
                                            "Прибор не отвечает",      "Прибор не подключен"};

std::string hex(const std::vector<uint8_t>& bytes) {
    std::ostringstream out;
    out << std::hex << std::uppercase;
    for (const uint8_t b : bytes) out << (b < 16 ? "0" : "") << int{b} << ' ';
    return out.str();
}

// The documented wait for one reply: 100 ms per expected byte plus 5000 ms.
std::chrono::milliseconds replyTimeOut(const std::vector<uint8_t>& request) {
    int replyBytes = 8;
    if (request.size() >= 6 && request[1] == 3) replyBytes = 5 + 2 * ((request[4] << 8) | request[5]);
    return std::chrono::milliseconds(100 * replyBytes + 5000);
}

}  // namespace

void checkWrites(const Expectation& expected, const Observed& seen, std::vector<std::string>& problems) {
    for (const Exchange& x : seen.exchanges)
        for (const int reg : x.writtenRegisters())
            if (!expected.allowedRegisters.contains(reg))
                problems.push_back("(a) register " + std::to_string(reg) +
                                   " written by a request no part of this action: " + hex(x.request));
}

void checkImage(const Model& model, const Observed& seen, std::vector<std::string>& problems) {
    for (int reg = 0; reg < kRegisters; ++reg) {
        const auto i = static_cast<std::size_t>(reg);
        if (seen.trace.image().at(i) != model.image.at(i))
            problems.push_back("(b) register " + std::to_string(reg) + " holds " +
                               std::to_string(seen.trace.image().at(i)) + ", the model has " +
                               std::to_string(model.image.at(i)));
    }
}

void checkControls(const Model& model, const Observed& seen, std::vector<std::string>& problems) {
    for (int row = 0; row < kRows; ++row) {
        const ModelRow& r = modelRow(row);
        const std::string shown = r.items > 0 ? std::to_string(seen.form.itemIndex(r.name)) : seen.form.text(r.name);
        if (shown != model.shown(row))
            problems.push_back("(c) " + std::string(r.name) + " shows '" + shown + "', the model '" + model.shown(row) +
                               "' (value " + std::to_string(model.value(row)) + ")");
    }
}

void checkHealth(const Model& before, const Model& after, const Expectation& expected, const Observed& seen,
                 bool countBoxes, std::vector<std::string>& problems) {
    for (const std::string& box : seen.boxes)
        if (std::ranges::find(kKnownBoxes, box) == std::end(kKnownBoxes))
            problems.push_back("(d) unexpected box: " + box);
    if (countBoxes && static_cast<int>(seen.boxes.size()) != expected.boxes)
        problems.push_back("(d) " + std::to_string(seen.boxes.size()) + " boxes shown, the model expects " +
                           std::to_string(expected.boxes));

    std::chrono::milliseconds allowed{1000};
    for (const Exchange& x : seen.exchanges) {
        allowed += replyTimeOut(x.request);
        if (!x.answered())
            problems.push_back("(d) request without its normal reply: " + hex(x.request) + "/ " + x.reply);
    }
    if (seen.trace.awaitingReply()) problems.push_back("(d) a request is still waiting for its reply");
    if (seen.elapsed > allowed)
        problems.push_back("(d) the action took " + std::to_string(seen.elapsed.count()) + " ms, more than the " +
                           std::to_string(allowed.count()) + " ms its exchanges may wait");

    if (before.connected && after.connected)
        for (const std::string& line : seen.newLogLines)
            if (std::ranges::any_of(kErrorLines, [&line](std::string_view e) { return line.starts_with(e); }))
                problems.push_back("(d) while connected the log says: " + line);
    if (expected.writesWithoutLink &&
        std::ranges::none_of(seen.newLogLines, [](const std::string& l) { return l.rfind("Ошибка записи", 0) == 0; }))
        problems.push_back("(d) a write without a link is not reported");

    const std::string connectText = after.connected ? "Отключить" : "Подключить";
    if (seen.form.text("ConnectCom") != connectText || seen.form.isVisible("Config") != after.connected)
        problems.push_back("(d) the window does not look " +
                           std::string(after.connected ? "connected" : "disconnected"));
    if (seen.form.isChecked("Mgr_En") != after.measuring)
        problems.push_back("(d) live measurement is " + std::string(after.measuring ? "off" : "on") +
                           ", the model's is not");
    if (!after.measuring && seen.form.text("sMgr") != " ")
        problems.push_back("(d) a value shows without live measurement");
}

}  // namespace k54::model
