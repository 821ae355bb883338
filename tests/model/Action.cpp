#include "tests/model/Action.h"

#include <algorithm>
#include <cstdlib>
#include <regex>

namespace k54::model {
namespace {

const char* pageName(int page) {
    static const char* const names[] = {"Режим",         "Уставки",  "Индикация", "Линейный индикатор",
                                        "Токовый выход", "Интерфейс"};
    return page >= 0 && page < 6 ? names[page] : "?";
}

const char* answer(bool yes) {
    return yes ? "Yes" : "No";
}

}  // namespace

namespace {

const char* meddleName(Meddle m) {
    switch (m) {
        case Meddle::None:
            return "";
        case Meddle::ClickFactory:
            return "click Source";
        case Meddle::ClickConnect:
            return "click ConnectCom";
        case Meddle::ChooseInputType:
            return "choose Mod_B item 3";
        case Meddle::ClickPage:
            return "click a page's control";
        case Meddle::TickMeasurement:
            return "click Mgr_En";
    }
    return "";
}

std::ostream& printAction(std::ostream& os, const Action& a);

}  // namespace

std::ostream& operator<<(std::ostream& os, const Action& a) {
    printAction(os, a);
    if (a.meddle != Meddle::None) os << " (while it waits: " << meddleName(a.meddle) << ")";
    return os;
}

namespace {

std::ostream& printAction(std::ostream& os, const Action& a) {
    switch (a.kind) {
        case ActionKind::SwitchPage:
            return os << "page «" << pageName(a.page) << "»";
        case ActionKind::Choose:
            return os << "choose " << a.control << " item " << a.item;
        case ActionKind::Type:
            os << "type '" << a.text << "' into " << a.control << ", then ";
            if (a.commit == Commit::Enter) return os << "Enter";
            if (a.commit == Commit::Tab) return os << "Tab";
            return os << "click " << a.target;
        case ActionKind::PasswordEnter:
            return os << "password '" << a.text << "' + Enter, " << answer(a.yes);
        case ActionKind::PasswordButton:
            return os << "password '" << a.text << "' + «Запись», " << answer(a.yes);
        case ActionKind::PasswordReset:
            return os << "password «Сброс», " << answer(a.yes);
        case ActionKind::FactoryWrite:
            return os << "«Исходная», " << answer(a.yes);
        case ActionKind::ToggleLink:
            return os << "click ConnectCom";
        case ActionKind::ToggleMeasure:
            return os << "click Mgr_En";
    }
    return os;
}

}  // namespace

std::string withSystemSeparator(std::string text, char separator) {
    std::replace(text.begin(), text.end(), separator == ',' ? '.' : ',', separator);
    return text;
}

std::optional<double> typedNumber(const std::string& text, char separator) {
    static const std::regex number(R"(^ *([+-]?)([0-9]*)(\.?)([0-9]*)([eE][+-]?[0-9]+)? *$)");
    std::string plain = text;
    std::replace(plain.begin(), plain.end(), separator, '.');
    if (std::count(text.begin(), text.end(), separator == ',' ? '.' : ',') > 0) return std::nullopt;
    std::smatch parts;
    if (!std::regex_match(plain, parts, number)) return std::nullopt;
    const bool digits = parts[2].length() > 0 || parts[4].length() > 0;
    if (!digits && parts[3].length() == 0) return std::nullopt;  // neither a digit nor the separator
    if (!digits) return parts[1] == "-" ? -0.0 : 0.0;            // a lone separator, whatever exponent follows
    return std::strtod(plain.c_str(), nullptr);
}

}  // namespace k54::model
