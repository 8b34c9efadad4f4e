// The help compiler: the file it writes, read back the way the help viewer
// reads it, and the sources it refuses.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "help_source.h"
#include "hlp_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t(b.at(at + 3)) << 24; }
std::uint32_t U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }

struct ShownTopic {
    std::string title, text;
    std::vector<std::uint32_t> links;  // context hashes of the jumps
};

// A help file as the viewer sees it: the internal files through the
// directory, the topics by the offsets the viewer counts while it walks the
// records, and the context map and name tree that lead to them.
struct ReadBack {
    std::map<std::uint32_t, ShownTopic> byOffset;
    std::map<std::uint32_t, std::uint32_t> contextMap, nameTree;  // context or hash -> offset
    std::uint32_t contents = 0;

    explicit ReadBack(const Bytes& file) {
        EXPECT_EQ(U32(file, 0), 0x00035F3Fu);
        EXPECT_EQ(U32(file, 12), file.size());
        std::map<std::string, std::size_t> files;  // name -> content start
        const std::size_t leaf = U32(file, 4) + 9 + 38;
        for (std::size_t at = leaf + 8, n = 0; n < U16(file, leaf + 2); ++n) {
            const std::string name(reinterpret_cast<const char*>(&file[at]));
            files[name] = U32(file, at + name.size() + 1) + 9;
            at += name.size() + 5;
        }
        const std::size_t system = files.at("|SYSTEM");
        for (std::size_t at = system + 12; at < system + U32(file, system - 5); at += 4 + U16(file, at + 2))
            if (U16(file, at) == 3) contents = U32(file, at + 4);
        const std::size_t map = files.at("|CTXOMAP");
        for (std::size_t i = 0; i < U16(file, map); ++i) contextMap[U32(file, map + 2 + 8 * i)] = U32(file, map + 6 + 8 * i);
        const std::size_t tree = files.at("|CONTEXT") + 38;
        for (std::size_t i = 0; i < U16(file, tree + 2); ++i) nameTree[U32(file, tree + 8 + 8 * i)] = U32(file, tree + 12 + 8 * i);

        // The records from TOPICPOS 12 on, through their NextBlock links.
        const std::size_t topic = files.at("|TOPIC"), size = U32(file, topic - 5);
        Bytes data;  // the blocks' data areas, joined
        for (std::size_t block = 0; block < size / 4096; ++block)
            data.insert(data.end(), file.begin() + topic + block * 4096 + 12, file.begin() + topic + (block + 1) * 4096);
        ShownTopic* current = nullptr;
        std::uint32_t count = 0, countBlock = 0;
        for (std::uint32_t pos = 12; pos != 0xFFFFFFFF;) {
            const std::uint32_t block = (pos - 12) >> 14;
            const std::size_t at = block * 4084 + ((pos - 12) & 0x3FFF);
            if (block != countBlock) countBlock = block, count = 0;
            const std::size_t data1 = at + 21, data2 = at + U32(data, at + 16), end = at + U32(data, at);
            if (data[at + 20] == 0x02) {
                current = &byOffset[block * 0x8000 + count];
                current->title = reinterpret_cast<const char*>(&data[data2]);
            } else {
                count += Display(data, data1, data2, end, *current);
            }
            pos = U32(data, at + 12);
        }
    }

    // One display record: its text, a line per paragraph; returns the
    // length the viewer counts.
    static std::uint32_t Display(const Bytes& d, std::size_t at, std::size_t text, std::size_t end, ShownTopic& topic) {
        at += d[at] & 1 ? 4 : 2;  // TopicSize
        const std::uint32_t length = d[at] & 1 ? U16(d, at) / 2 : d[at] / 2;
        at += (d[at] & 1 ? 2 : 1) + 4;
        const std::uint32_t bits = U16(d, at);
        at += 2;
        for (std::uint32_t bit : {0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u})
            if (bits & bit) at += d[at] & 1 ? 2 : 1;
        for (; text < end; ++at) {
            const std::string piece(reinterpret_cast<const char*>(&d[text]));
            text += piece.size() + 1;
            topic.text += piece;
            if (d[at] == 0x80) at += 2;
            else if (d[at] == 0x82) topic.text += '\n';
            else if (d[at] == 0xE3) topic.links.push_back(U32(d, at + 1)), at += 4;
            else if (d[at] == 0xFF) break;
        }
        return length;
    }
};

Bytes Compile(const std::string& source, std::vector<std::string>& errors) {
    const hlpc::HelpSource help = hlpc::ReadHelpSource(source, "t.hsrc", errors);
    return errors.empty() ? hlpc::WriteHelpFile(help, errors) : Bytes{};
}

// Every topic comes back under its context with its title and text, over
// several topic blocks; the contents links to every topic; every link
// reaches its target; the same source gives the same bytes.
TEST(Hlpc, WrittenFileGivesBackEveryTopicByContextAndItsLinksReachTheirTargets) {
    std::string source = "@help Test Help\n@contents Inhalt\nPick one.\n\n";
    std::map<std::uint32_t, std::pair<std::string, std::string>> expected;
    for (std::uint32_t context = 401; context <= 420; ++context) {
        const std::string n = std::to_string(context);
        source += "@topic " + n + " Größe " + n + "\nText of **" + n + "**, see\n[[" +
                  std::to_string(context == 420 ? 401 : context + 1) + " the next]].\n- item " + n + "\n  goes on\n\n";
        std::string long_(600, 'a' + context % 26);
        source += long_ + "\n";
        expected[context] = {"Gr\xF6\xDF" "e " + n, "Gr\xF6\xDF" "e " + n + "\nText of " + n + ", see the next.\n\x95  item " + n +
                                                  " goes on\n" + long_ + "\n"};
    }
    std::vector<std::string> errors;
    const Bytes file = Compile(source, errors);
    ASSERT_EQ(errors, std::vector<std::string>{});
    EXPECT_EQ(Compile(source, errors), file);
    ReadBack help(file);
    ASSERT_GT(file.size(), 4u * 4096) << "the topics should fill several blocks";
    ASSERT_EQ(help.contextMap.size(), expected.size());
    for (const auto& [context, want] : expected) {
        const ShownTopic& topic = help.byOffset.at(help.contextMap.at(context));
        EXPECT_EQ(topic.title, want.first);
        EXPECT_EQ(topic.text, want.second);
        ASSERT_EQ(topic.links.size(), 1u);
        const std::uint32_t next = context == 420 ? 401 : context + 1;
        EXPECT_EQ(help.nameTree.at(topic.links[0]), help.contextMap.at(next)) << context;
    }
    const ShownTopic& contents = help.byOffset.at(help.contents);
    EXPECT_EQ(contents.title, "Inhalt");
    EXPECT_EQ(contents.links.size(), expected.size());
    EXPECT_EQ(contents.text.substr(0, 18), "Inhalt\nPick one.\nG");
}

// Faults are refused with the file and line where they are.
TEST(Hlpc, MalformedSourcesAreRefusedWithFileAndLine) {
    const std::string head = "@help H\n@topic 401 One\n";  // lines 1 and 2
    const struct {
        std::string source, error;
    } cases[] = {
        {head + "text\n@topic 401 Again\n", "t.hsrc:4: context 401 already has a topic on line 2"},
        {head + "see [[402 two]]\n", "t.hsrc:3: link to context 402, which has no topic"},
        {head + "@topic 402\n", "t.hsrc:3: topic 402 has no title"},
        {head + "a\nb **bold\nc\n", "t.hsrc:4: bold text without its closing **"},
        {head + "arrow \xE2\x86\x92\n", "t.hsrc:3: a character that Windows-1252 cannot hold"},
        {head + std::string(5000, 'x') + "\n", "t.hsrc:3: paragraph of 5040 bytes is too long for a record"},
        {"@topic 401 One\n", "t.hsrc:1: no @help line"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> errors;
        EXPECT_TRUE(Compile(c.source, errors).empty()) << c.source;
        ASSERT_FALSE(errors.empty()) << c.source;
        EXPECT_EQ(errors[0].substr(0, c.error.size()), c.error);
    }
    std::vector<std::string> errors;
    const hlpc::HelpSource help = hlpc::ReadHelpSource(head, "t.hsrc", errors);
    hlpc::CheckRequiredContexts(help, "#pragma once\n#define IDH_ONE 401\n#define IDH_TWO 402\n", "ids.h", errors);
    EXPECT_EQ(errors, std::vector<std::string>{"ids.h:3: IDH_TWO (402) has no topic in t.hsrc"});
}

}  // namespace
