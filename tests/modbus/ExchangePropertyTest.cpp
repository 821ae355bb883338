// Properties of the master over any line: whatever the operations, the instrument's answers, the
// pieces the line hands its bytes over in and whether it echoes each request, every operation gives
// the described result, finds the reply at the front of rx and takes no byte past it.

#include "modbus/K54mdb.h"
#include "serial/K54com.h"
#include "tests/support/FakeSlave.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <deque>

namespace {

using k54::kNoReply;
using k54::test::withCrc;
using Bytes = std::vector<uint8_t>;

enum class Answer { normal, exception, silence };

struct Plan {
    Answer answer = Answer::normal;
    uint8_t code = 1;  // of an exception
    Bytes after;       // bytes that follow the reply on the line
};

// An instrument on a line: it answers each request as planned (the normal reply built from the
// request), after the request's echo when the line echoes, and hands the bytes over in pieces of the
// given sizes, in turn. A line with nothing more to give fails at once instead of waiting.
class ScriptedLine final : public k54::SerialBackend {
public:
    ScriptedLine(bool echoes, std::vector<std::size_t> pieces) : echoes_(echoes), pieces_(std::move(pieces)) {}

    void plan(Plan next) { plan_ = std::move(next); }
    std::size_t queued() const { return queue_.size(); }

    bool openDevice(uint8_t, uint32_t) override { return open_ = true; }
    void purgeInput() override { queue_.clear(); }
    void purgeOutput() override {}
    void clearDtr() override {}
    void setRts() override {}
    int32_t write(std::span<const uint8_t> bytes) override {
        const Bytes request(bytes.begin(), bytes.end());
        if (echoes_) queue_.insert(queue_.end(), request.begin(), request.end());
        const Bytes reply = replyTo(request);
        queue_.insert(queue_.end(), reply.begin(), reply.end());
        queue_.insert(queue_.end(), plan_.after.begin(), plan_.after.end());
        return static_cast<int32_t>(bytes.size());
    }
    int32_t read(std::span<uint8_t> into) override { return readAvailable(into, {}); }
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds) override {
        if (queue_.empty()) return -1;
        const std::size_t piece = pieces_.at(nextPiece_++ % pieces_.size());
        const std::size_t n = std::min({into.size(), queue_.size(), piece});
        std::copy_n(queue_.begin(), n, into.begin());
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int32_t>(n);
    }
    void setReadTimeouts(const k54::ReadTimeouts&) override {}
    k54::ReadTimeouts readTimeouts() const override { return {}; }
    void closeDevice() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::vector<std::string> deviceNames() const override { return {}; }
    std::string describe(uint8_t) const override { return {}; }

    // The instrument's reply to a request as planned.
    Bytes replyTo(const Bytes& request) const {
        switch (plan_.answer) {
            case Answer::silence:
                return {};
            case Answer::exception:
                return withCrc({request[0], static_cast<uint8_t>(request[1] | 0x80), plan_.code});
            case Answer::normal:
                break;
        }
        if (request[1] == 0x06) return request;
        if (request[1] == 0x10) return withCrc(Bytes(request.begin(), request.begin() + 6));
        const std::size_t count = request[5];
        Bytes reply{request[0], 0x03, static_cast<uint8_t>(2 * count)};
        for (std::size_t k = 0; k < 2 * count; ++k) reply.push_back(static_cast<uint8_t>(0xA0 + k));
        return withCrc(reply);
    }

private:
    bool echoes_;
    std::vector<std::size_t> pieces_;
    std::size_t nextPiece_ = 0;
    bool open_ = false;
    Plan plan_;
    std::deque<uint8_t> queue_;
};

struct Operation {
    int kind = 0;  // 0: read, 1: write one register, 2: write several
    uint8_t slave = 1;
    uint16_t start = 0;
    uint16_t count = 1;  // registers read, or values written by function 16
    int16_t value = 0;
};

rc::Gen<Operation> operation(int kind) {
    return rc::gen::build<Operation>(rc::gen::set(&Operation::kind, rc::gen::just(kind)),
                                     rc::gen::set(&Operation::slave, rc::gen::inRange<uint8_t>(1, 248)),
                                     rc::gen::set(&Operation::start, rc::gen::arbitrary<uint16_t>()),
                                     rc::gen::set(&Operation::count, rc::gen::inRange<uint16_t>(1, 40)),
                                     rc::gen::set(&Operation::value, rc::gen::arbitrary<int16_t>()));
}

rc::Gen<Plan> plan() {
    return rc::gen::build<Plan>(
        rc::gen::set(&Plan::answer, rc::gen::element(Answer::normal, Answer::exception, Answer::silence)),
        rc::gen::set(&Plan::code, rc::gen::inRange<uint8_t>(1, 12)),
        rc::gen::set(&Plan::after, rc::gen::container<Bytes>(rc::gen::arbitrary<uint8_t>())));
}

uint8_t perform(k54::mBus& bus, const Operation& op, std::span<uint8_t> tx, std::span<uint8_t> rx) {
    switch (op.kind) {
        case 0:
            return bus.readRegisters(tx, rx, op.slave, op.start, op.count);
        case 1:
            return bus.writeRegister(tx, rx, op.slave, op.start, op.value);
        default: {
            const std::vector<int16_t> values(op.count % 8 + 1, op.value);
            return bus.writeRegisters(tx, rx, op.slave, op.start, static_cast<uint16_t>(values.size()), values);
        }
    }
}

// Every connection begins with a read, from which an echoing line is learnt.
RC_GTEST_PROP(ExchangeOverAnyLine, EveryReplyIsFoundAndNoBytePastItIsTaken, ()) {
    const bool echoes = *rc::gen::arbitrary<bool>();
    const auto pieces =
        *rc::gen::nonEmpty(rc::gen::container<std::vector<std::size_t>>(rc::gen::inRange<std::size_t>(1, 24)));
    const Operation first = *operation(0);
    const auto later =
        *rc::gen::container<std::vector<Operation>>(rc::gen::oneOf(operation(0), operation(1), operation(2)));
    auto ownedLine = std::make_unique<ScriptedLine>(echoes, pieces);
    ScriptedLine& line = *ownedLine;
    k54::cPort port(std::move(ownedLine));
    RC_ASSERT(port.setup(1, 3));
    k54::mBus bus(port);
    std::vector<Operation> operations{first};
    operations.insert(operations.end(), later.begin(), later.end());
    for (const Operation& op : operations) {
        Plan next = *plan();
        if (next.answer == Answer::silence) next.after.clear();  // a silent instrument sends nothing at all
        line.plan(next);
        Bytes tx(512);
        std::array<uint8_t, k54::kReceiveBufferSize> rx{};
        const uint8_t result = perform(bus, op, tx, rx);
        const Bytes request(tx.begin(), tx.begin() + (op.kind == 2 ? 9 + 2 * (op.count % 8 + 1) : 8));
        const Bytes reply = line.replyTo(request);
        const uint8_t expected = next.answer == Answer::normal      ? 0
                                 : next.answer == Answer::exception ? next.code
                                                                    : kNoReply;
        RC_ASSERT(result == expected);
        RC_ASSERT(std::equal(reply.begin(), reply.end(), rx.begin()));
        RC_ASSERT(std::all_of(rx.begin() + static_cast<std::ptrdiff_t>(reply.size()), rx.end(),
                              [](uint8_t b) { return b == 0; }));
        RC_ASSERT(line.queued() == next.after.size());
        RC_ASSERT(port.lineEchoes() == echoes);
        RC_ASSERT(bus.lastExchange().echoSkipped == echoes);
    }
}

}  // namespace
