// Any bytes as a configuration file to load: read from its text (readConfigurationText) and from the
// file itself (loadConfigurationFile, the file written once per input into a folder in memory), and
// loaded through the window's «Загрузить…» into an instrument in memory (file dialog answered with the
// file, the confirmation answered Yes): every valid file, and one in four of the others (chosen by the
// text's hash, so that an input always takes the same path), which keeps the target near 3000 inputs
// a second.
// Promises: both reads agree; the result is a clear error (at least one problem, each naming its key,
// its line or the file as a whole, with a non-empty English description in valid UTF-8) or a valid
// configuration (no problem; it passes checkParameterValues and names exactly the relations that
// checkParameterRelations finds broken; written out again and read back it gives
// the same registers, firmware and date; its image holds no password). Through the window nothing
// reaches the instrument unless the file was valid, the log then says it was refused; a valid file
// leaves the instrument holding its parameters, the password, address, speed and protocol untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "config/files/ConfigChecks.h"
#include "config/files/ConfigDiff.h"
#include "config/files/ConfigFile.h"
#include "config/files/ParamKeys.h"
#include "tests/fuzz/FuzzWindow.h"
#include "tests/support/ScratchDir.h"

namespace k54::fuzz {
namespace {

// Every byte sequence is a whole UTF-8 character of 1 - 4 bytes (no overlong forms, no surrogates).
bool validUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || at + length > text.size()) return false;
        uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        const uint32_t shortest = length == 1 ? 0 : length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < shortest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        at += length;
    }
    return true;
}

void checkRefusal(const LoadedConfiguration& loaded) {
    if (loaded.problems.empty()) violated("a file refused without a problem");
    for (const ConfigProblem& problem : loaded.problems) {
        const bool wholeFile = problem.kind == ProblemKind::NotAnObject || problem.kind == ProblemKind::CannotRead;
        if (problem.key.empty() && !problem.line && !wholeFile) violated("a problem with no key, line or file");
        const std::string text = describeProblem(problem);
        const auto colon = text.find(": ");
        if (colon == std::string::npos || colon == 0 || colon + 2 == text.size())
            violated("a problem without its place or its description");
        if (!validUtf8(text)) violated("a problem's description that is not UTF-8");
    }
}

void checkConfiguration(const LoadedConfiguration& loaded) {
    const SavedConfiguration& configuration = *loaded.configuration;
    if (!loaded.problems.empty()) violated("a configuration taken with problems");
    ParamTable rows = kParamTemplate;
    decodeRegisterImage(rows, configuration.registers);
    if (!checkParameterValues(rows).empty()) violated("a configuration taken that fails the parameter checks");
    if (checkParameterRelations(rows).size() != loaded.relationBreaches.size())
        violated("a configuration taken without naming the relations it breaks");
    if (configuration.registers != withoutPassword(configuration.registers)) violated("a password taken from a file");
    const LoadedConfiguration again = readConfigurationText(configurationFileText(configuration));
    if (!again.configuration || !again.problems.empty() || again.configuration->registers != configuration.registers ||
        again.configuration->firmware != configuration.firmware ||
        again.configuration->savedAt != configuration.savedAt)
        violated("a configuration written out and read back is not the same");
}

bool sameOutcome(const LoadedConfiguration& a, const LoadedConfiguration& b) {
    if (a.configuration.has_value() != b.configuration.has_value() || a.problems.size() != b.problems.size())
        return false;
    if (a.configuration && a.configuration->registers != b.configuration->registers) return false;
    for (std::size_t k = 0; k < a.problems.size(); ++k)
        if (describeProblem(a.problems[k]) != describeProblem(b.problems[k])) return false;
    return true;
}

// The window, connected to an instrument in memory that holds the factory configuration before every
// load; the backups each load takes go into the scratch folder and are removed after it.
struct LoadingWindow {
    explicit LoadingWindow(const std::filesystem::path& data) : backups(data / "k54" / "backups") {
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        if (!window.connect()) violated("the window does not connect to the instrument in memory");
    }

    void load(const std::string& path, bool valid, const RegisterImage& file) {
        const RegisterImage factory = registerImage(kParamTemplate, true);
        std::copy(factory.begin(), factory.end(), window.instrument.registers.begin());
        window.instrument.writes.clear();
        HeadlessForm& form = window.form();
        form.clearBoxes();
        form.clearLogLines();
        form.clearAnswers();
        form.answerNextFileDialog(path);
        form.answerNextQuestion(true);  // the relations the file breaks, where it breaks any
        form.answerNextQuestion(true);  // the parameters that will change
        form.click("Cfg_Load");
        std::filesystem::remove_all(backups);

        if (!valid) {
            if (!window.instrument.writes.empty()) violated("a file that was not valid wrote to the instrument");
            if (form.logLines().empty() ||
                form.logLines().back() != "Файл не принят, в прибор ничего не записано: " + path)
                violated("a refused file without the log line that says so");
            return;
        }
        RegisterImage held{};
        std::copy_n(window.instrument.registers.begin(), held.size(), held.begin());
        if (!differences(held, file, false).empty()) violated("a loaded file's parameters are not in the instrument");
        for (const RegisterWrite& write : window.instrument.writes) {
            const auto row = registerToRow(write.reg);
            if (!row || isLinkRow(*row) || isPasswordRow(*row))
                violated("a load wrote the password, a link row or beyond");
        }
    }

    std::filesystem::path backups;
    FuzzWindow window{'.'};
};

// A folder in memory where there is one, so that writing the file for every input costs no disk.
const test::ScratchDir& scratchFolder() {
    if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
    static const test::ScratchDir folder("k54-fuzz-configuration-file-");
    return folder;
}

}  // namespace
}  // namespace k54::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace k54;
    using namespace k54::fuzz;
    static const test::ScratchDir& scratch = scratchFolder();
    static const std::string path = (scratch.path() / "configuration.json").string();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));

    const LoadedConfiguration fromText = readConfigurationText(text);
    const LoadedConfiguration fromFile = loadConfigurationFile(path);
    if (!sameOutcome(fromText, fromFile)) violated("the file and its text read differently");
    if (fromFile.configuration)
        checkConfiguration(fromFile);
    else
        checkRefusal(fromFile);

    if (fromFile.configuration || std::hash<std::string_view>{}(text) % 4 == 0) {
        static LoadingWindow window(scratch.path());
        window.load(path, fromFile.configuration.has_value(),
                    fromFile.configuration ? fromFile.configuration->registers : RegisterImage{});
    }
    return 0;
}
