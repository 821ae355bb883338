#include "tests/model/Generators.h"

#include <utility>
#include <vector>

namespace k54::model {
namespace {

rc::Gen<std::string> charsFrom(std::string alphabet, int maxLength) {
    return rc::gen::exec([alphabet = std::move(alphabet), maxLength] {
        const int length = *rc::gen::inRange(0, maxLength + 1);
        std::string text;
        for (int i = 0; i < length; ++i) text += *rc::gen::elementOf(alphabet);
        return text;
    });
}

std::string structuredNumber() {
    std::string text = *rc::gen::element<std::string>("", "", "-", "+", " ");
    text += *charsFrom("0123456789", 4);
    text += *rc::gen::element<std::string>("", ".", ",");
    text += *charsFrom("0123456789", 2);
    if (*rc::gen::inRange(0, 5) == 0)
        text += *rc::gen::element<std::string>("e", "E", "e-", "e+") + *charsFrom("0123", 1);
    return text.substr(0, 6);
}

// Kinds of action and how often each comes, among those the state allows.
enum class Pick { Page, Choose, Type, Password, Factory, Link, Measure };

}  // namespace

rc::Gen<std::string> genTypedText() {
    return rc::gen::exec([] {
        switch (*rc::gen::inRange(0, 10)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                return structuredNumber();
            case 5:
            case 6:
                return *charsFrom("0123456789.,eE+- ", 6);
            case 7:
                return *rc::gen::element<std::string>("abc", "x", "1a", "--1", "1.2.3", "1,2.3", "e5", "1e", "+");
            case 8:
                return std::string();
            default:
                return *rc::gen::element<std::string>("99999", "-9999", "1e9", "-1e9", "9e99", "-9e99", ".", ",", "0",
                                                      "-0,1", "32000");
        }
    });
}

rc::Gen<Action> genAction(const Model& model) {
    const std::vector<std::string> fields = model.focusableFields();
    const std::vector<std::string> lists = model.focusableLists();
    std::vector<Pick> picks;
    const auto add = [&picks](Pick pick, int weight) {
        picks.insert(picks.end(), static_cast<std::size_t>(weight), pick);
    };
    add(Pick::Page, 4);
    add(Pick::Link, 1);
    if (!lists.empty()) add(Pick::Choose, 4);
    if (!fields.empty()) add(Pick::Type, 9);
    if (model.page == 5) add(Pick::Password, 3);
    if (model.connected) {
        add(Pick::Factory, 1);
        add(Pick::Measure, 1);
    }
    std::vector<int> otherPages;
    for (int p = 0; p < kPages; ++p)
        if (p != model.page) otherPages.push_back(p);

    return rc::gen::exec([=] {
        Action a;
        switch (*rc::gen::elementOf(picks)) {
            case Pick::Page:
                a.kind = ActionKind::SwitchPage;
                a.page = *rc::gen::elementOf(otherPages);
                break;
            case Pick::Choose: {
                a.kind = ActionKind::Choose;
                a.control = *rc::gen::elementOf(lists);
                a.item = *rc::gen::inRange(0, modelRow(*modelRowOf(a.control)).items);
                break;
            }
            case Pick::Type: {
                a.kind = ActionKind::Type;
                a.control = *rc::gen::elementOf(fields);
                a.text = *genTypedText();
                std::vector<std::string> others;
                for (const std::string& f : fields)
                    if (f != a.control) others.push_back(f);
                a.commit = others.empty() ? *rc::gen::element(Commit::Enter, Commit::Tab)
                                          : *rc::gen::element(Commit::Enter, Commit::Tab, Commit::ClickField);
                if (a.commit == Commit::ClickField) a.target = *rc::gen::elementOf(others);
                break;
            }
            case Pick::Password:
                a.kind =
                    *rc::gen::element(ActionKind::PasswordEnter, ActionKind::PasswordButton, ActionKind::PasswordReset);
                if (a.kind != ActionKind::PasswordReset) {
                    const int length = *rc::gen::inRange(0, 5);  // none: the field holds no number
                    for (int i = 0; i < length; ++i) a.text += *rc::gen::elementOf(std::string("0123456789"));
                }
                a.yes = *rc::gen::arbitrary<bool>();
                break;
            case Pick::Factory:
                a.kind = ActionKind::FactoryWrite;
                a.yes = *rc::gen::arbitrary<bool>();
                break;
            case Pick::Link:
                a.kind = ActionKind::ToggleLink;
                break;
            case Pick::Measure:
                a.kind = ActionKind::ToggleMeasure;
                break;
        }
        // One action in two has the operator click something while it waits on the line.
        if (*rc::gen::arbitrary<bool>())
            a.meddle = *rc::gen::element(Meddle::ClickFactory, Meddle::ClickConnect, Meddle::ChooseInputType,
                                         Meddle::ClickPage, Meddle::TickMeasurement);
        return a;
    });
}

}  // namespace k54::model
