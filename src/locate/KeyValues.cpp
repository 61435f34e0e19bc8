#include "locate/KeyValues.h"

#include <cstddef>

#include "util/HostPath.h"

namespace tw {
namespace {

enum class Token { End, Text, Open, Close, Bad };

class Reader {
public:
    explicit Reader(std::string_view source) : text_(source) {}

    Token Next() {
        for (;;) {
            while (at_ < text_.size() && IsSpace(text_[at_])) {
                if (text_[at_] == '\n') ++line_;
                ++at_;
            }
            if (at_ >= text_.size()) return Token::End;
            if (text_[at_] != '/') break;
            if (at_ + 1 >= text_.size() || text_[at_ + 1] != '/') return Bad("a single / outside a string");
            while (at_ < text_.size() && text_[at_] != '\n') ++at_;
        }
        const char c = text_[at_++];
        if (c == '{') return Token::Open;
        if (c == '}') return Token::Close;
        if (c != '"') return Bad("text outside quotes");
        text.clear();
        while (at_ < text_.size()) {
            const char d = text_[at_++];
            if (d == '"') return Token::Text;
            if (d == '\n') ++line_;
            if (d != '\\') {
                text.push_back(d);
                continue;
            }
            if (at_ >= text_.size()) break;
            const char e = text_[at_++];
            switch (e) {
                case '\\': case '"': case '?': case '\'': text.push_back(e); break;
                case 'n': text.push_back('\n'); break;
                case 't': text.push_back('\t'); break;
                case 'r': text.push_back('\r'); break;
                case 'v': text.push_back('\v'); break;
                case 'b': text.push_back('\b'); break;
                case 'f': text.push_back('\f'); break;
                case 'a': text.push_back('\a'); break;
                default: return Bad(std::string("unknown escape \\") + (e == '\0' ? std::string("0") : std::string(1, e)));
            }
        }
        return Bad("a string without its closing quote");
    }

    std::size_t Line() const { return line_; }

    std::string text;   // the last string read
    std::string fault;  // why the last token was Bad

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

    Token Bad(std::string why) {
        fault = std::move(why);
        return Token::Bad;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

class Parser {
public:
    explicit Parser(std::string_view source) : reader_(source) {}

    // Reads pairs into `block` until its closing brace (inner blocks) or the end of the text
    // (the top level).
    bool Block(KeyValues& block, int depth) {
        const bool inner = depth > 0;
        for (;;) {
            switch (reader_.Next()) {
                case Token::End:
                    return inner ? Fail("the text ends inside a block (missing })") : true;
                case Token::Close:
                    return inner ? true : Fail("} without a matching {");
                case Token::Open:
                    return Fail("{ without a key before it");
                case Token::Bad:
                    return Fail(reader_.fault);
                case Token::Text:
                    break;
            }
            KeyValues child;
            child.key = reader_.text;
            switch (reader_.Next()) {
                case Token::Text:
                    child.value = reader_.text;
                    break;
                case Token::Open:
                    if (depth + 1 > KeyValues::MaxDepth) return Fail("blocks nested too deeply");
                    child.isBlock = true;
                    if (!Block(child, depth + 1)) return false;
                    break;
                case Token::Bad:
                    return Fail(reader_.fault);
                case Token::End:
                case Token::Close:
                    return Fail("key \"" + child.key + "\" has no value");
            }
            block.children.push_back(std::move(child));
        }
    }

    std::string error;

private:
    bool Fail(const std::string& why) {
        error = "line " + std::to_string(reader_.Line()) + ": " + why;
        return false;
    }

    Reader reader_;
};

}  // namespace

Expected<KeyValues> KeyValues::Parse(std::string_view text) {
    KeyValues root;
    root.isBlock = true;
    Parser parser(text);
    if (parser.Block(root, 0)) return root;
    return Failure(parser.error, ErrorKind::Damaged);
}

const KeyValues* KeyValues::Find(std::string_view childKey) const {
    for (const KeyValues& child : children) {
        if (EqualsIgnoringCase(child.key, childKey)) return &child;
    }
    return nullptr;
}

}  // namespace tw
