#include "VerifierAnswer.h"

#include <charconv>
#include <map>
#include <variant>

namespace scoreserver {
namespace {

using Value = std::variant<std::monostate, std::string, int64_t>; // null, text, integer

// A reader of one flat JSON object; every value a string, an integer or null.
class FlatObjectReader {
  public:
    explicit FlatObjectReader(std::string_view text) : text_(text) {}

    std::optional<std::map<std::string, Value>> Read(std::string& error) {
        std::map<std::string, Value> fields;
        Skip();
        if (!Take('{')) return Fail(error, "it does not start with {");
        Skip();
        if (Take('}')) return fields;
        do {
            Skip();
            std::string key;
            if (!String(key)) return Fail(error, "a key is not a string");
            Skip();
            if (!Take(':')) return Fail(error, "a key has no value");
            Skip();
            Value value;
            if (!ReadValue(value))
                return Fail(error, "the value of " + key + " is not a string, integer or null");
            if (!fields.emplace(key, std::move(value)).second)
                return Fail(error, "the key " + key + " comes twice");
            Skip();
        } while (Take(','));
        if (!Take('}')) return Fail(error, "the object does not end with }");
        Skip();
        if (at_ != text_.size()) return Fail(error, "something follows the object");
        return fields;
    }

  private:
    std::nullopt_t Fail(std::string& error, std::string why) {
        error = std::move(why);
        return std::nullopt;
    }
    void Skip() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r'))
            ++at_;
    }
    bool Take(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool ReadValue(Value& value) {
        if (text_.substr(at_).starts_with("null")) {
            at_ += 4;
            value = std::monostate{};
            return true;
        }
        if (at_ < text_.size() && text_[at_] == '"') {
            std::string text;
            if (!String(text)) return false;
            value = std::move(text);
            return true;
        }
        int64_t number = 0;
        const char* begin = text_.data() + at_;
        const auto [end, problem] = std::from_chars(begin, text_.data() + text_.size(), number);
        if (problem != std::errc() || end == begin) return false;
        at_ += static_cast<std::size_t>(end - begin);
        value = number;
        return true;
    }
    static void AppendUtf8(std::string& out, uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    // A string with its escapes. The verifier writes every byte outside ASCII of a text it read from
    // the file (a name's bytes are not promised to be UTF-8) as \u00XX: those stand for the byte
    // itself, so the name compares with the result's bytes; larger ones are read as UTF-8, and halves
    // of a surrogate pair as U+FFFD.
    bool String(std::string& out) {
        if (!Take('"')) return false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char escaped = text_[at_++];
            constexpr std::string_view Plain = "\"\\/bfnrt";
            constexpr std::string_view Meaning = "\"\\/\b\f\n\r\t";
            if (const std::size_t index = Plain.find(escaped); index != std::string_view::npos) {
                out += Meaning[index];
            } else if (escaped == 'u' && at_ + 4 <= text_.size()) {
                uint32_t code = 0;
                const auto [end, problem] =
                    std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
                if (problem != std::errc() || end != text_.data() + at_ + 4) return false;
                at_ += 4;
                if (code < 0x100)
                    out += static_cast<char>(code);
                else
                    AppendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code);
            } else {
                return false;
            }
        }
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::string TextOf(const std::map<std::string, Value>& fields, const char* key) {
    const auto found = fields.find(key);
    const auto* text = found == fields.end() ? nullptr : std::get_if<std::string>(&found->second);
    return text ? *text : std::string();
}

std::optional<int64_t> NumberOf(const std::map<std::string, Value>& fields, const char* key) {
    const auto found = fields.find(key);
    const auto* number = found == fields.end() ? nullptr : std::get_if<int64_t>(&found->second);
    return number ? std::optional(*number) : std::nullopt;
}

bool IsHash(std::string_view text) {
    return text.size() == 16 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Reasons come from a program that read hostile bytes: kept short and printable.
std::string Tidy(std::string_view reason) {
    std::string tidy;
    for (const char c : reason.substr(0, 200))
        tidy += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return tidy;
}

} // namespace

ReadAnswer ReadVerifierAnswer(std::string_view output) {
    ReadAnswer read;
    const std::string_view line = output.substr(0, output.find('\n'));
    const auto fields = FlatObjectReader(line).Read(read.Error);
    if (!fields) return read;
    VerifierAnswer answer;
    answer.Verdict = TextOf(*fields, "verdict");
    if (answer.Verdict.empty()) {
        read.Error = "it names no verdict";
        return read;
    }
    answer.Reason = Tidy(TextOf(*fields, "reason"));
    answer.Name = TextOf(*fields, "name");
    answer.GameVersion = Tidy(TextOf(*fields, "game_version"));
    answer.RulesVersion = NumberOf(*fields, "rules_version");
    answer.RulesHash = Tidy(TextOf(*fields, "rules_hash"));
    answer.Score = NumberOf(*fields, "score");
    answer.Stage = NumberOf(*fields, "stage");
    answer.Frames = NumberOf(*fields, "frames");
    answer.PlayedMs = NumberOf(*fields, "played_ms");
    answer.ClaimedScore = NumberOf(*fields, "claimed_score");
    answer.FinalHash = TextOf(*fields, "final_hash");
    if (!answer.FinalHash.empty() && !IsHash(answer.FinalHash)) {
        read.Error = "its final hash is not 16 hexadecimal digits";
        return read;
    }
    read.Answer = std::move(answer);
    return read;
}

JobOutcome JudgeAnswer(const VerifierAnswer& answer, int exitCode, const VerifyJob& job) {
    auto refused = [&](std::string reason) {
        return JobOutcome{Verdict::Refused, std::move(reason), answer.FinalHash};
    };
    if (answer.Verdict == "verified") {
        if (exitCode != 0)
            return refused("the verifier said verified but exited with " + std::to_string(exitCode));
        if (answer.FinalHash.empty() || !answer.Score)
            return refused("the verifier gave no score or final hash");
        if (*answer.Score != job.ClaimedScore)
            return refused("the result claims " + std::to_string(job.ClaimedScore) +
                           " but the game reached " + std::to_string(*answer.Score));
        if (answer.Name != job.ClaimedName) return refused("the game was played under another name");
        return JobOutcome{Verdict::Verified, "", answer.FinalHash};
    }
    if (answer.Verdict == "mismatch")
        return refused("the re-played game differs from its claims: " + answer.Reason);
    if (answer.Verdict == "unreadable") return refused("the replay cannot be read: " + answer.Reason);
    if (answer.Verdict == "other-build")
        return refused("no verifier here plays rules version " +
                       (answer.RulesVersion ? std::to_string(*answer.RulesVersion) : std::string("?")) +
                       " with rule tables " + answer.RulesHash + " (game version " + answer.GameVersion +
                       ")");
    return refused("the verifier's verdict is unknown: " + Tidy(answer.Verdict));
}

} // namespace scoreserver
