#include "config/files/StrictJson.h"

#include <algorithm>
#include <cstdint>

#include "base/TextFormat.h"

namespace k54 {
namespace {

// The line and column (both from 1) of the last character the parser read before it stopped: the
// parser reports the position after it.
JsonSyntaxError positionOf(std::string_view text, std::size_t position) {
    position = std::min(position == 0 ? 0 : position - 1, text.size());
    const std::string_view before = text.substr(0, position);
    const auto lastNewline = before.rfind('\n');
    JsonSyntaxError at;
    at.line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    at.column = static_cast<int>(lastNewline == std::string_view::npos ? position + 1 : position - lastNewline);
    return at;
}

// The length of the UTF-8 character at the front of the text, or 0 where its bytes are not one (cut,
// overlong, a surrogate, beyond U+10FFFF).
std::size_t utf8CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) return 0;
    uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    const uint32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    return code < shortest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ? 0 : length;
}

// The text with every byte that is not part of a UTF-8 character shown by its value, "<0xD0>": the
// parser quotes what it read last as it came, and a message must stay text.
std::string validUtf8(std::string_view text) {
    std::string shown;
    while (!text.empty()) {
        const std::size_t length = utf8CharacterLength(text);
        if (length == 0) {
            shown += formatText("<0x%02X>", static_cast<unsigned>(static_cast<unsigned char>(text.front())));
            text.remove_prefix(1);
        } else {
            shown += text.substr(0, length);
            text.remove_prefix(length);
        }
    }
    return shown;
}

// The parser's reason without its own prefix and position ("syntax error while parsing ...").
std::string reasonOf(const std::string& message) {
    const auto column = message.find("column ");
    const auto colon = column == std::string::npos ? std::string::npos : message.find(": ", column);
    return validUtf8(colon == std::string::npos ? message : std::string_view(message).substr(colon + 2));
}

// Builds the document from the parser's events, noting duplicate keys and the texts of numbers.
class DocumentBuilder {
public:
    DocumentBuilder(StrictJson& out, std::string_view text) : out_(out), text_(text) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(Json::number_integer_t value) { return add(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return add(value); }
    bool number_float(Json::number_float_t value, const Json::string_t& text) {
        out_.numberTexts[pointerToNext().to_string()] = text;
        return add(value);
    }
    bool string(Json::string_t& value) { return add(value); }
    bool binary(Json::binary_t& value) { return add(Json::binary(value)); }
    bool start_object(std::size_t) { return open(Json::object()); }
    bool key(Json::string_t& key) {
        Frame& top = stack_.back();
        top.key = key;
        if (top.value->contains(key)) out_.duplicateKeys.push_back(pointerToNext().to_string());
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(Json::array()); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t position, const std::string&, const Json::exception& error) {
        JsonSyntaxError at = positionOf(text_, position);
        at.reason = reasonOf(error.what());
        out_.syntaxError = at;
        return false;
    }

private:
    struct Frame {
        Json* value;
        std::string key;  // the key of the member being read, in an object
    };

    // Where the next value goes: the root, the end of the open array, or the open object's key.
    // Pointers to open containers stay valid: a container only grows while none of its children is open.
    Json* place(Json value) {
        if (stack_.empty()) {
            out_.document = std::move(value);
            return &out_.document;
        }
        Frame& top = stack_.back();
        if (top.value->is_array()) {
            top.value->push_back(std::move(value));
            return &top.value->back();
        }
        Json& slot = (*top.value)[top.key];
        slot = std::move(value);
        return &slot;
    }

    bool add(Json value) {
        place(std::move(value));
        return true;
    }
    bool open(Json container) {
        stack_.push_back({place(std::move(container)), {}});
        return true;
    }
    bool close() {
        stack_.pop_back();
        return true;
    }

    // The JSON pointer of the value about to be placed.
    Json::json_pointer pointerToNext() const {
        Json::json_pointer pointer;
        for (std::size_t i = 0; i < stack_.size(); ++i) {
            const Frame& frame = stack_[i];
            const bool innermost = i + 1 == stack_.size();
            if (frame.value->is_object())
                pointer /= frame.key;
            else
                pointer /= innermost ? frame.value->size() : frame.value->size() - 1;
        }
        return pointer;
    }

    StrictJson& out_;
    std::string_view text_;
    std::vector<Frame> stack_;
};

}  // namespace

StrictJson parseStrictJson(std::string_view text) {
    StrictJson result;
    DocumentBuilder builder(result, text);
    Json::sax_parse(text.begin(), text.end(), &builder);
    return result;
}

}  // namespace k54
