// password NNNN | --reset: the instrument's service password written (register 23), as the window writes it.
#include "config/ParamTable.h"
#include "config/PasswordText.h"
#include "config/TextFormat.h"
#include "k54ctl/Commands.h"
#include "k54ctl/ExitStatus.h"
#include "k54ctl/Instrument.h"

namespace k54::ctl {

int setPassword(const LineOptions& line, const PasswordOptions& password, Console& console) {
    if (password.reset == !password.password.empty())
        return complain(console, kExitUsage, "give a password of one to four digits, or --reset");
    const auto number = password.reset ? std::optional<uint16_t>(0) : passwordFromText(password.password);
    if (!number)
        return complain(console, kExitUsage, "'" + password.password + "' is no password: give one to four digits");
    return withInstrument(line, console, [&](Instrument& instrument) {
        if (instrument.link().writeParameter(row::Psw, *number) != 0)
            return instrument.exchangeFailed("writing the password");
        if (password.reset)
            console.out << "the service password is reset (0000)" << std::endl;
        else
            console.out << "the service password is set: " << formatText("%04d", *number) << std::endl;
        return kExitOk;
    });
}

}  // namespace k54::ctl
