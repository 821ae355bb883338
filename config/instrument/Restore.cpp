#include "config/instrument/Restore.h"

#include <algorithm>

#include "config/files/ParamKeys.h"

namespace k54 {
namespace {

constexpr int kLinkOrder[] = {row::Ptr, row::Adr, row::Spd};

bool contains(const std::vector<int>& rows, int rowIndex) {
    return std::find(rows.begin(), rows.end(), rowIndex) != rows.end();
}

class Restorer {
public:
    Restorer(InstrumentLink& link, const RegisterImage& target, const RestoreOptions& options)
        : link_(link), target_(target), options_(options) {}

    RestoreReport run() {
        SavedConfiguration current;
        if (const uint8_t result = readSavedConfiguration(link_, options_.now, current); result != 0)
            return stop(RestoreOutcome::ReadFailed, result, {});
        image_ = current.registers;
        report_.planned = restorePlan(image_, target_, options_.withLink);
        if (report_.planned.empty()) {
            report_.readBack = image_;
            return finish();
        }
        report_.backup = writeBackup(options_.backupFolder, current, options_.now, link_.address());
        if (!report_.backup.written()) return stop(RestoreOutcome::BackupFailed, 0, report_.planned);
        if (options_.backedUp) options_.backedUp(report_.backup);
        if (const auto failed = writeOtherRows()) return *failed;
        if (stopRequested()) return stop(RestoreOutcome::Stopped, 0, remaining());
        if (const uint8_t result = link_.readConfiguration(image_); result != 0)
            return stop(RestoreOutcome::ReadBackFailed, result, remaining());
        report_.readBack = image_;
        report_.readBackDifferences = differences(target_, image_, false);
        if (!report_.readBackDifferences.empty()) {
            std::vector<int> linkRows = remaining();
            std::erase_if(linkRows, [](int r) { return !isLinkRow(r); });
            return stop(RestoreOutcome::ReadBackDiffers, 0, linkRows);
        }
        if (options_.withLink) {
            if (stopRequested()) return stop(RestoreOutcome::Stopped, 0, remaining());
            if (const auto failed = writeLinkRows()) return *failed;
        }
        return finish();
    }

private:
    std::vector<int> remaining() const { return restorePlan(image_, target_, options_.withLink); }

    RestoreReport stop(RestoreOutcome outcome, uint8_t result, std::vector<int> unwritten) {
        report_.outcome = outcome;
        report_.modbusResult = result;
        report_.unwritten = std::move(unwritten);
        return std::move(report_);
    }

    RestoreReport finish() { return stop(RestoreOutcome::Restored, 0, {}); }

    bool stopRequested() const { return options_.stopRequested && options_.stopRequested(); }

    void recordWritten(std::initializer_list<int> rows) {
        for (const int r : rows) {
            putInImage(image_, r, valueInImage(target_, r));
            report_.written.push_back(r);
        }
        const int done = static_cast<int>(report_.written.size());
        if (options_.progress) options_.progress(done, done + static_cast<int>(remaining().size()));
    }

    // Every row but the password and the link rows, in register order. A new input type may make the
    // instrument load other ranges and setpoints: the configuration is read again after it, so that
    // what still differs is judged against what the instrument then holds.
    std::optional<RestoreReport> writeOtherRows() {
        int last = -1;
        for (;;) {
            const std::vector<int> plan = remaining();
            const auto next =
                std::find_if(plan.begin(), plan.end(), [last](int r) { return r > last && !isLinkRow(r); });
            if (next == plan.end()) return std::nullopt;
            const int r = *next;
            if (stopRequested()) return stop(RestoreOutcome::Stopped, 0, remaining());
            if (const uint8_t result = link_.writeParameter(r, valueInImage(target_, r)); result != 0)
                return stop(RestoreOutcome::WriteFailed, result, remaining());
            recordWritten({r});
            last = r;
            if (r == row::Mod)
                if (const uint8_t result = link_.readConfiguration(image_); result != 0)
                    return stop(RestoreOutcome::ReadBackFailed, result, remaining());
        }
    }

    // Protocol first (the one protocol there is: it changes nothing about how the instrument is
    // reached), then address and speed, together in one request when both change.
    std::optional<RestoreReport> writeLinkRows() {
        const std::vector<int> plan = remaining();
        if (contains(plan, row::Ptr)) {
            if (const uint8_t result = link_.writeParameter(row::Ptr, valueInImage(target_, row::Ptr)); result != 0)
                return stop(RestoreOutcome::WriteFailed, result, remaining());
            recordWritten({row::Ptr});
        }
        const bool address = contains(plan, row::Adr), speed = contains(plan, row::Spd);
        uint8_t result = 0;
        if (address && speed)
            result = link_.writeAddressAndSpeed(valueInImage(target_, row::Adr), valueInImage(target_, row::Spd));
        else if (address || speed)
            result = link_.writeParameter(address ? row::Adr : row::Spd,
                                          valueInImage(target_, address ? row::Adr : row::Spd));
        if (result != 0) return stop(RestoreOutcome::WriteFailed, result, remaining());
        if (address) recordWritten({row::Adr});
        if (speed) recordWritten({row::Spd});
        report_.linkChanged = address || speed;
        return std::nullopt;
    }

    InstrumentLink& link_;
    const RegisterImage& target_;
    const RestoreOptions& options_;
    RegisterImage image_{};  // what the instrument holds, as far as known
    RestoreReport report_;
};

}  // namespace

std::vector<int> restorePlan(const RegisterImage& current, const RegisterImage& target, bool withLink) {
    std::vector<int> plan;
    for (const Difference& d : differences(current, target, false)) plan.push_back(d.row);
    if (withLink)
        for (const int r : kLinkOrder)
            if (valueInImage(current, r) != valueInImage(target, r)) plan.push_back(r);
    return plan;
}

RestoreReport restoreConfiguration(InstrumentLink& link, const RegisterImage& target, const RestoreOptions& options) {
    return Restorer(link, target, options).run();
}

}  // namespace k54
