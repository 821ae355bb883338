// password [NNNN] | --reset: the instrument's service password written (register 23), as the window
// writes it. Without the digits on the command line (where other users' process lists show them) it is
// read from the terminal, not shown as it is typed, or from standard input; it is never printed.
#include "config/params/ParamTable.h"
#include "config/rules/PasswordText.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/ReachedInstrument.h"

namespace k54::ctl {
namespace {

std::optional<std::string> askPassword(Console& console) {
    if (console.inIsTerminal) console.err << "service password (1 to 4 digits): " << std::flush;
    const auto read = console.readSecret ? console.readSecret : console.readLine;
    return read ? read() : std::nullopt;
}

}  // namespace

int setPassword(const LineOptions& line, const PasswordOptions& password, Console& console) {
    std::optional<uint16_t> number;
    if (password.reset) {
        number = 0;
    } else {
        const auto text = password.password.empty() ? askPassword(console) : std::optional(password.password);
        if (!text) return complain(console, kExitUsage, "no password given: nothing written");
        number = passwordFromText(*text);
        if (!number) return complain(console, kExitUsage, "that is no password: give one to four digits");
    }
    return withInstrument(line, console, [&](ReachedInstrument& instrument) {
        if (const uint8_t result = instrument.link().writeParameter(row::Psw, *number); result != 0) {
            const int status = instrument.exchangeFailed("writing the password");
            if (result == kNoReply) complain(console, status, "sent, no reply: the password may or may not be applied");
            return status;
        }
        console.out << (password.reset ? "the service password is reset (0000)" : "the service password is set")
                    << std::endl;
        return kExitOk;
    });
}

}  // namespace k54::ctl
