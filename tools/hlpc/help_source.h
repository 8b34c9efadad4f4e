// The help source: the text a translator edits, one file per language, and
// the help it describes. The format is in docs/help-format.md.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hlpc {

// A run of a paragraph: plain text, bold text, or a link to the topic of
// another context. Text is in Windows-1252, as the help file stores it.
struct Span {
    enum class Kind { kText, kBold, kLink };
    Kind kind = Kind::kText;
    std::string text;
    std::uint32_t target = 0;  // the linked context (kLink only)
};

struct Paragraph {
    bool bullet = false;
    std::vector<Span> spans;
    int line = 0;  // where it starts in the source
};

struct Topic {
    std::uint32_t context = 0;  // 0 for the contents topic
    std::string title;
    std::vector<Paragraph> paragraphs;
    int line = 0;
};

struct HelpSource {
    std::string fileName;
    std::string title;      // the viewer's caption
    std::string copyright;  // may be empty
    Topic contents;         // its title and opening paragraphs; the links are added by the writer
    std::vector<Topic> topics;
};

// Reads a help source. Every fault found is one "FILE:LINE: message" entry
// of `errors`; the source is usable only when there is none.
HelpSource ReadHelpSource(const std::string& text, const std::string& fileName, std::vector<std::string>& errors);

// The context numbers a C header defines ("#define NAME 401"), for the
// check that every context the applet asks for has a topic: each one
// missing from `help` adds "HEADER:LINE: NAME (401) has no topic in FILE".
void CheckRequiredContexts(const HelpSource& help, const std::string& header, const std::string& headerName,
                           std::vector<std::string>& errors);

// One character of UTF-8 at `text[at]` as Windows-1252; false (and `at`
// unchanged) when the bytes are not UTF-8 or the character has no
// Windows-1252 code.
bool DecodeToCp1252(const std::string& text, std::size_t& at, char& out);

}  // namespace hlpc
