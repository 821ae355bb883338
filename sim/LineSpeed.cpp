#include "sim/LineSpeed.h"

#include <termios.h>

#include <algorithm>
#include <array>
#include <utility>

#include "serial/K54com.h"
#include "sim/IntegerText.h"

namespace k54::sim {

namespace {

constexpr std::array<std::pair<speed_t, int>, 30> kTerminalSpeeds{{
    {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},         {B150, 150},
    {B200, 200},         {B300, 300},         {B600, 600},         {B1200, 1200},       {B1800, 1800},
    {B2400, 2400},       {B4800, 4800},       {B9600, 9600},       {B19200, 19200},     {B38400, 38400},
    {B57600, 57600},     {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
    {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000}, {B1500000, 1500000},
    {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000}, {B3500000, 3500000}, {B4000000, 4000000},
}};

}  // namespace

std::optional<int> parseInstrumentBaud(std::string_view text) {
    const auto baud = parseIntegerIn(text, 1, kBaudRates.back());
    if (!baud || std::ranges::find(kBaudRates, static_cast<uint32_t>(*baud)) == kBaudRates.end()) return std::nullopt;
    return baud;
}

std::string instrumentBauds() {
    std::string text;
    for (const uint32_t baud : kBaudRates) text += (text.empty() ? "" : " ") + std::to_string(baud);
    return text;
}

std::optional<int> terminalBaud(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return std::nullopt;
    const speed_t speed = ::cfgetospeed(&settings);
    const auto known = std::ranges::find(kTerminalSpeeds, speed, &std::pair<speed_t, int>::first);
    if (known == kTerminalSpeeds.end()) return std::nullopt;
    return known->second;
}

}  // namespace k54::sim
