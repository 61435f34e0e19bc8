#include "locate/YamlScalar.h"

#include <yaml.h>

namespace tw {
namespace {

// One open sequence or mapping.
struct Frame {
    bool mapping = false;
    bool isKey = false;         // the container is itself a mapping key (a complex key)
    bool onPath = false;        // the container is the value at the first `matched` keys of the path
    std::size_t matched = 0;
    bool expectingKey = true;   // mapping: the next node is a key
    bool keyMatches = false;    // mapping: the key just read is the next key of the path
};

class Parser {
public:
    explicit Parser(std::string_view text) {
        ok_ = yaml_parser_initialize(&parser_) != 0;
        if (ok_) {
            yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(text.data()), text.size());
        }
    }
    ~Parser() {
        if (ok_) yaml_parser_delete(&parser_);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    bool Ready() const { return ok_; }
    yaml_parser_t* Get() { return &parser_; }

private:
    yaml_parser_t parser_{};
    bool ok_ = false;
};

class Event {
public:
    Event() = default;
    ~Event() {
        if (filled_) yaml_event_delete(&event_);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Next(yaml_parser_t* parser) {
        if (filled_) yaml_event_delete(&event_);
        filled_ = yaml_parser_parse(parser, &event_) != 0;
        return filled_;
    }
    const yaml_event_t& Get() const { return event_; }

private:
    yaml_event_t event_{};
    bool filled_ = false;
};

std::string LineText(const yaml_mark_t& mark) {
    return "line " + std::to_string(mark.line + 1) + ", column " + std::to_string(mark.column + 1);
}

std::string ProblemText(const yaml_parser_t& parser) {
    if (parser.error == YAML_MEMORY_ERROR) return "out of memory";
    std::string text = parser.error == YAML_READER_ERROR
                           ? "byte " + std::to_string(parser.problem_offset)
                           : LineText(parser.problem_mark);
    text += ": ";
    text += parser.problem != nullptr ? parser.problem : "unreadable text";
    if (parser.context != nullptr) text += std::string(" (") + parser.context + ")";
    return text;
}

std::string_view ScalarText(const yaml_event_t& event) {
    return {reinterpret_cast<const char*>(event.data.scalar.value), event.data.scalar.length};
}

bool IsNull(const yaml_event_t& event) {
    const std::string_view text = ScalarText(event);
    if (text.empty()) return true;
    return event.data.scalar.style == YAML_PLAIN_SCALAR_STYLE &&
           (text == "~" || text == "null" || text == "Null" || text == "NULL");
}

}  // namespace

Expected<std::optional<std::string>> FindYamlScalar(std::string_view text, const std::vector<std::string_view>& keyPath) {
    std::optional<std::string> value;
    auto fail = [](std::string why) -> Expected<std::optional<std::string>> {
        return Failure(std::move(why), ErrorKind::Damaged);
    };
    Parser parser(text);
    if (!parser.Ready()) return fail("out of memory");

    std::vector<Frame> stack;
    int documents = 0;
    Event next;
    for (;;) {
        if (!next.Next(parser.Get())) return fail(ProblemText(*parser.Get()));
        const yaml_event_t& event = next.Get();
        switch (event.type) {
            case YAML_STREAM_END_EVENT:
                return value;
            case YAML_DOCUMENT_START_EVENT:
                if (++documents > 1) return fail(LineText(event.start_mark) + ": a second document");
                break;
            case YAML_SCALAR_EVENT:
            case YAML_ALIAS_EVENT:
            case YAML_SEQUENCE_START_EVENT:
            case YAML_MAPPING_START_EVENT: {
                const bool container = event.type == YAML_SEQUENCE_START_EVENT || event.type == YAML_MAPPING_START_EVENT;
                Frame* parent = stack.empty() ? nullptr : &stack.back();
                const bool isKey = parent != nullptr && parent->mapping && parent->expectingKey;
                bool onPath = false;
                std::size_t matched = 0;
                if (isKey) {
                    parent->keyMatches = parent->onPath && event.type == YAML_SCALAR_EVENT &&
                                         ScalarText(event) == keyPath[parent->matched];
                    // A container key ends with its end event, which sets this.
                    if (!container) parent->expectingKey = false;
                } else {
                    if (parent == nullptr) {
                        onPath = true;
                    } else if (parent->mapping) {
                        onPath = parent->keyMatches;
                        matched = parent->matched + 1;
                        if (!container) parent->expectingKey = true;
                    }
                    // A later value of a key on the path replaces all that an earlier one held.
                    if (onPath) {
                        value.reset();
                        if (matched == keyPath.size() && event.type == YAML_SCALAR_EVENT && !IsNull(event)) {
                            value = std::string(ScalarText(event));
                        }
                    }
                }
                if (container) {
                    if (stack.size() >= YamlMaxDepth) {
                        return fail(LineText(event.start_mark) + ": nested deeper than " +
                                    std::to_string(YamlMaxDepth) + " levels");
                    }
                    Frame frame;
                    frame.mapping = event.type == YAML_MAPPING_START_EVENT;
                    frame.isKey = isKey;
                    frame.onPath = onPath && matched < keyPath.size();
                    frame.matched = matched;
                    stack.push_back(frame);
                }
                break;
            }
            case YAML_SEQUENCE_END_EVENT:
            case YAML_MAPPING_END_EVENT: {
                if (stack.empty()) return fail(LineText(event.start_mark) + ": unbalanced end of a block");
                const bool wasKey = stack.back().isKey;
                stack.pop_back();
                // After a key comes its value; after a value, the next key.
                if (!stack.empty() && stack.back().mapping) stack.back().expectingKey = !wasKey;
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace tw
