#include "help_source.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace hlpc {

namespace {

// Windows-1252 codes 0x80..0x9F and the characters they stand for (0 where
// the code page leaves a hole).
constexpr char32_t kHighCodes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr std::size_t kMaxHelpTitle = 50;  // the viewer's caption field holds 51 bytes with its NUL

// Reads one UTF-8 character; false on a malformed or overlong sequence.
bool DecodeUtf8(const std::string& text, std::size_t& at, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    const int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || at + extra >= text.size()) return false;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return false;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out = c;
    at += extra + 1;
    return true;
}

std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line) + ": "; }

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A decimal context number from 1 to 2^31-1; 0 when `text` is not one.
std::uint32_t ParseContext(const std::string& text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    const unsigned long long value = std::stoull(text);
    return value <= 0x7FFFFFFFull ? static_cast<std::uint32_t>(value) : 0;
}

// A paragraph's source text, its lines joined, with where each line began.
struct RawParagraph {
    bool bullet = false;
    std::string text;
    std::vector<std::pair<std::size_t, int>> lineStarts;  // (offset in text, source line)
    int LineAt(std::size_t offset) const {
        int line = lineStarts.front().second;
        for (const auto& start : lineStarts)
            if (start.first <= offset) line = start.second;
        return line;
    }
};

class Reader {
public:
    Reader(const std::string& fileName, std::vector<std::string>& errors) : file_(fileName), errors_(errors) {
        help_.fileName = fileName;
        help_.contents.title = "Contents";
    }

    HelpSource Read(const std::string& text);

private:
    void Fail(int line, const std::string& message) { errors_.push_back(Where(file_, line) + message); }
    Topic* Current() { return current_ < 0 ? nullptr : current_ == 0 ? &help_.contents : &help_.topics[current_ - 1]; }
    void Directive(const std::string& line, int number);
    void TextLine(const std::string& line, int number);
    void CloseParagraph();
    std::string Convert(const std::string& text, int line);
    void ParseSpans(const RawParagraph& raw, Paragraph& paragraph);
    void CheckLinks();

    std::string file_;
    std::vector<std::string>& errors_;
    HelpSource help_;
    int current_ = -1;  // -1 none yet, 0 the contents, n topic n-1
    bool open_ = false;
    RawParagraph raw_;
    int titleLine_ = 0, contentsLine_ = 0;
    std::map<std::uint32_t, int> contextLines_;
};

HelpSource Reader::Read(const std::string& text) {
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() && start > text.size()) break;
        if (!line.empty() && line[0] == '#') continue;
        if (Trim(line).empty()) {
            CloseParagraph();
        } else if (line[0] == '@') {
            CloseParagraph();
            Directive(line, number);
        } else {
            TextLine(line, number);
        }
    }
    CloseParagraph();
    if (!titleLine_) Fail(1, "no @help line naming the help file");
    if (help_.topics.empty()) Fail(std::max(number, 1), "no @topic");
    CheckLinks();
    return std::move(help_);
}

void Reader::Directive(const std::string& line, int number) {
    const std::size_t space = line.find_first_of(" \t");
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space));
    if (word == "@help") {
        if (titleLine_) return Fail(number, "second @help line (the first is on line " + std::to_string(titleLine_) + ")");
        titleLine_ = number;
        help_.title = Convert(rest, number);
        if (help_.title.empty()) Fail(number, "@help without a title");
        if (help_.title.size() > kMaxHelpTitle)
            Fail(number, "help title longer than " + std::to_string(kMaxHelpTitle) + " characters");
    } else if (word == "@copyright") {
        help_.copyright = Convert(rest, number);
    } else if (word == "@contents") {
        if (contentsLine_) return Fail(number, "second @contents line");
        if (!help_.topics.empty()) return Fail(number, "@contents after the first @topic");
        contentsLine_ = number;
        help_.contents.title = Convert(rest, number);
        help_.contents.line = number;
        if (help_.contents.title.empty()) Fail(number, "@contents without a title");
        current_ = 0;
    } else if (word == "@topic") {
        const std::size_t gap = rest.find_first_of(" \t");
        const std::uint32_t context = ParseContext(rest.substr(0, gap));
        if (!context) return Fail(number, "@topic needs a context number from 1 to 2147483647");
        Topic topic;
        topic.context = context;
        topic.line = number;
        topic.title = gap == std::string::npos ? "" : Convert(Trim(rest.substr(gap)), number);
        if (topic.title.empty()) Fail(number, "topic " + std::to_string(context) + " has no title");
        const auto known = contextLines_.emplace(context, number);
        if (!known.second)
            Fail(number, "context " + std::to_string(context) + " already has a topic on line " +
                             std::to_string(known.first->second));
        help_.topics.push_back(std::move(topic));
        current_ = static_cast<int>(help_.topics.size());
    } else {
        Fail(number, "unknown directive " + word);
    }
}

void Reader::TextLine(const std::string& line, int number) {
    if (!Current()) return Fail(number, "text before the first @contents or @topic");
    const std::string text = Trim(line);
    const bool bullet = text.size() >= 2 && text[0] == '-' && text[1] == ' ';
    const bool indented = line[0] == ' ' || line[0] == '\t';
    if (bullet || (open_ && raw_.bullet && !indented)) CloseParagraph();  // an item goes on on indented lines
    if (!open_) {
        raw_ = RawParagraph{};
        raw_.bullet = bullet;
        open_ = true;
    } else {
        raw_.text += ' ';
    }
    raw_.lineStarts.emplace_back(raw_.text.size(), number);
    raw_.text += bullet ? Trim(text.substr(2)) : text;
}

void Reader::CloseParagraph() {
    if (!open_) return;
    open_ = false;
    Paragraph paragraph;
    paragraph.bullet = raw_.bullet;
    paragraph.line = raw_.lineStarts.front().second;
    ParseSpans(raw_, paragraph);
    if (!paragraph.spans.empty()) Current()->paragraphs.push_back(std::move(paragraph));
}

std::string Reader::Convert(const std::string& text, int line) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        char c;
        if (!DecodeToCp1252(text, at, c)) {
            Fail(line, "a character that Windows-1252 cannot hold, or bytes that are not UTF-8");
            return out;
        }
        out += c == '\t' ? ' ' : c;
    }
    return out;
}

// "**" switches bold on and off; "[[N text]]" links to the topic of
// context N (0: the contents).
void Reader::ParseSpans(const RawParagraph& raw, Paragraph& paragraph) {
    const std::string& text = raw.text;
    bool bold = false;
    std::size_t boldStart = 0, piece = 0;
    const auto flush = [&](std::size_t end) {
        const std::string converted = Convert(text.substr(piece, end - piece), raw.LineAt(piece));
        if (!converted.empty())
            paragraph.spans.push_back({bold ? Span::Kind::kBold : Span::Kind::kText, converted, 0});
    };
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 2, "**") == 0) {
            flush(at);
            bold = !bold;
            boldStart = at;
            piece = at += 2;
        } else if (text.compare(at, 2, "[[") == 0) {
            flush(at);
            const int line = raw.LineAt(at);
            const std::size_t close = text.find("]]", at);
            if (close == std::string::npos) return Fail(line, "link without its closing ]]");
            const std::string inside = text.substr(at + 2, close - at - 2);
            const std::size_t gap = inside.find(' ');
            const std::string number = inside.substr(0, gap);
            Span link{Span::Kind::kLink, gap == std::string::npos ? "" : Convert(Trim(inside.substr(gap)), line), 0};
            link.target = number == "0" ? 0 : ParseContext(number);
            if (number != "0" && !link.target) return Fail(line, "link needs a context number: [[N text]]");
            if (link.text.empty() || link.text.find("**") != std::string::npos)
                return Fail(line, "link needs a plain text after its number");
            paragraph.spans.push_back(std::move(link));
            piece = at = close + 2;
        } else {
            ++at;
        }
    }
    flush(text.size());
    if (bold) Fail(raw.LineAt(boldStart), "bold text without its closing **");
}

void Reader::CheckLinks() {
    const auto check = [&](const Topic& topic) {
        for (const Paragraph& paragraph : topic.paragraphs)
            for (const Span& span : paragraph.spans)
                if (span.kind == Span::Kind::kLink && span.target && !contextLines_.count(span.target))
                    Fail(paragraph.line, "link to context " + std::to_string(span.target) + ", which has no topic");
    };
    check(help_.contents);
    for (const Topic& topic : help_.topics) check(topic);
}

}  // namespace

bool DecodeToCp1252(const std::string& text, std::size_t& at, char& out) {
    std::size_t next = at;
    char32_t c = 0;
    if (!DecodeUtf8(text, next, c)) return false;
    if (c == '\t' || (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) {
        out = static_cast<char>(c);
    } else {
        const char32_t* found = std::find(std::begin(kHighCodes), std::end(kHighCodes), c);
        if (c == 0 || found == std::end(kHighCodes)) return false;
        out = static_cast<char>(0x80 + (found - kHighCodes));
    }
    at = next;
    return true;
}

HelpSource ReadHelpSource(const std::string& text, const std::string& fileName, std::vector<std::string>& errors) {
    return Reader(fileName, errors).Read(text);
}

void CheckRequiredContexts(const HelpSource& help, const std::string& header, const std::string& headerName,
                           std::vector<std::string>& errors) {
    int number = 0;
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = header.find('\n', start);
        if (end == std::string::npos) end = header.size();
        const std::string line = header.substr(start, end - start);
        start = end + 1;
        ++number;
        char name[64] = {};
        unsigned long context = 0;
        if (std::sscanf(line.c_str(), " #define %63s %lu", name, &context) != 2) continue;
        const bool found = std::any_of(help.topics.begin(), help.topics.end(),
                                       [&](const Topic& topic) { return topic.context == context; });
        if (!found)
            errors.push_back(Where(headerName, number) + name + " (" + std::to_string(context) + ") has no topic in " +
                             help.fileName);
    }
}

}  // namespace hlpc
