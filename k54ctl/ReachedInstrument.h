#pragma once
// The instrument a command works with: reached on the line at the options' address and speed, and
// accepted as the window accepts it (a firmware version with V1 not 0, v.1.90.0013 or later).
#include <functional>
#include <string>

#include "config/instrument/InstrumentLink.h"
#include "k54ctl/Console.h"
#include "k54ctl/Diagnosis.h"
#include "k54ctl/Line.h"
#include "k54ctl/Options.h"

namespace k54::ctl {

class ReachedInstrument {
public:
    ReachedInstrument(Line& line, const LineOptions& options, Console& console);

    // Opens the line and checks the firmware; kExitOk when the instrument is there and accepted, else
    // the failure said on standard error and its exit status.
    int reach();

    InstrumentLink& link() { return link_; }
    Line& line() { return line_; }
    Console& console() { return console_; }
    const FirmwareVersion& firmware() const { return firmware_; }
    LinePlace place() const;
    // Says on standard error how the last exchange failed, after `what`; kExitLineFailure.
    int exchangeFailed(const std::string& what);
    // Says on standard error that the port did not open, and why; kExitLineFailure.
    int openFailed();

private:
    Line& line_;
    const LineOptions& options_;
    Console& console_;
    InstrumentLink link_;
    FirmwareVersion firmware_;
};

// Chooses the port, makes the line (with its traffic log) and gives it to `work`; usage and file
// errors of the line's options end it first (kExitUsage).
int withLine(const LineOptions& options, Console& console, const std::function<int(Line&)>& work);
// The same, with the instrument reached and accepted before `work` runs.
int withInstrument(const LineOptions& options, Console& console, const std::function<int(ReachedInstrument&)>& work);

// "k54ctl: " and the text on standard error; the status given back.
int complain(Console& console, int status, const std::string& text);

}  // namespace k54::ctl
