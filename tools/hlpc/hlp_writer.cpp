#include "hlp_writer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace hlpc {

namespace {

constexpr std::size_t kBlockSize = 4096;  // 12-byte header and the data
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::size_t kContextPage = 2048, kDirectoryPage = 1024;
constexpr std::size_t kMaxTopics = (kContextPage - 8) / 8 - 1;  // one leaf page of the context tree, with room

// Fonts of |FONT: the heading, the body, bold body text.
enum : std::uint8_t { kHeadingFont = 0, kBodyFont = 1, kBoldFont = 2 };

// Paragraph spacing and indents, in the viewer's half-points.
constexpr int kHeadingSpaceAfter = 12, kBodySpaceAfter = 10, kBulletIndent = 24, kBulletHang = -12;

struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& U8(std::uint32_t v) { data.push_back(static_cast<std::uint8_t>(v)); return *this; }
    Bytes& U16(std::uint32_t v) { return U8(v).U8(v >> 8); }
    Bytes& U32(std::uint32_t v) { return U16(v).U16(v >> 16); }
    Bytes& Text(const std::string& text, std::size_t width = 0) {  // NUL-terminated, or NUL-padded to `width`
        data.insert(data.end(), text.begin(), text.end());
        data.resize(data.size() + (width ? width - text.size() : 1), 0);
        return *this;
    }
    Bytes& Append(const std::vector<std::uint8_t>& more) { data.insert(data.end(), more.begin(), more.end()); return *this; }
    void Put32(std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) data[at + i] = static_cast<std::uint8_t>(v >> (8 * i)); }
};

// The viewer's compressed numbers.
void Cushort(Bytes& out, std::uint32_t v) { v < 128 ? out.U8(2 * v) : out.U16(2 * v + 1); }
void Csshort(Bytes& out, int v) { v >= -64 && v < 64 ? out.U8(2 * (v + 64)) : out.U16(2 * (v + 16384) + 1); }
void Cslong(Bytes& out, std::int32_t v) {
    v >= -16384 && v < 16384 ? out.U16(2 * (v + 16384)) : out.U32(2 * (static_cast<std::uint32_t>(v) + 0x4000000u) + 1);
}

// One record of |TOPIC: a topic header (type 2) or a display paragraph
// (type 0x20).
struct Record {
    std::uint8_t type = 0x20;
    Bytes linkData1;
    std::string linkData2;   // strings, each with its NUL
    std::uint32_t textLength = 0;  // what the viewer counts towards topic offsets
    std::size_t topic = 0;
    std::uint32_t position = 0;  // TOPICPOS
    std::size_t Size() const { return 21 + linkData1.data.size() + linkData2.size(); }
};

// A paragraph being put together: each formatting command comes after the
// text printed before it.
struct Paragraph {
    Bytes commands;
    std::string strings;
    void Command(const std::string& textBefore, std::initializer_list<std::uint8_t> bytes) {
        strings += textBefore;
        strings += '\0';
        for (std::uint8_t b : bytes) commands.U8(b);
    }
    void Font(const std::string& textBefore, std::uint8_t font) { Command(textBefore, {0x80, font, 0}); }
    void Link(const std::string& textBefore, std::uint32_t hash, const std::string& text) {
        Command(textBefore, {0xE3, static_cast<std::uint8_t>(hash), static_cast<std::uint8_t>(hash >> 8),
                             static_cast<std::uint8_t>(hash >> 16), static_cast<std::uint8_t>(hash >> 24)});
        Command(text, {0x89});
    }
};

Record DisplayRecord(Paragraph& paragraph, int spaceAfter, int leftIndent = 0, int firstIndent = 0) {
    paragraph.Command("", {0xFF});
    Bytes rest;
    rest.U8(0x00).U8(0x80).U16(0);
    const std::uint16_t bits = 0x0004 | (leftIndent ? 0x0010 : 0) | (firstIndent ? 0x0040 : 0);
    rest.U16(bits);
    Csshort(rest, spaceAfter);
    if (leftIndent) Csshort(rest, leftIndent);
    if (firstIndent) Csshort(rest, firstIndent);
    rest.Append(paragraph.commands.data);
    Record record;
    record.textLength = static_cast<std::uint32_t>(paragraph.strings.size());
    Cslong(record.linkData1, static_cast<std::int32_t>(rest.data.size()));
    Cushort(record.linkData1, record.textLength);
    record.linkData1.Append(rest.data);
    record.linkData2 = paragraph.strings;
    return record;
}

Record Heading(const std::string& title) {
    Paragraph paragraph;
    paragraph.Font("", kHeadingFont);
    paragraph.Command(title, {0x82});
    return DisplayRecord(paragraph, kHeadingSpaceAfter);
}

std::uint32_t LinkHash(std::uint32_t target) { return target ? ContextHash(ContextName(target)) : 0; }

Record Body(const hlpc::Paragraph& source) {
    Paragraph paragraph;
    paragraph.Font("", kBodyFont);
    std::string pending = source.bullet ? "\x95  " : "";
    for (const Span& span : source.spans) {
        if (span.kind == Span::Kind::kText) {
            pending += span.text;
        } else if (span.kind == Span::Kind::kBold) {
            paragraph.Font(pending, kBoldFont);
            paragraph.Font(span.text, kBodyFont);
            pending.clear();
        } else {
            paragraph.Link(pending, LinkHash(span.target), span.text);
            pending.clear();
        }
    }
    paragraph.Command(pending, {0x82});
    return source.bullet ? DisplayRecord(paragraph, kBodySpaceAfter, kBulletIndent, kBulletHang)
                         : DisplayRecord(paragraph, kBodySpaceAfter);
}

// The contents topic's list: one line with a link per topic.
Record TopicList(const std::vector<Topic>& topics) {
    Paragraph paragraph;
    paragraph.Font("", kBodyFont);
    for (const Topic& topic : topics) {
        paragraph.Link("", LinkHash(topic.context), topic.title);
        paragraph.Command("", {0x82});
    }
    return DisplayRecord(paragraph, kBodySpaceAfter, kBulletIndent);
}

Record TopicHeader(const std::string& title, std::size_t topic) {
    Record record;
    record.type = 0x02;
    record.linkData1.data.resize(28, 0);  // filled once positions are known
    record.linkData2 = title + '\0';
    record.topic = topic;
    return record;
}

Bytes InternalFile(const Bytes& content) {
    Bytes file;
    file.U32(static_cast<std::uint32_t>(content.data.size() + 9)).U32(static_cast<std::uint32_t>(content.data.size())).U8(4);
    return file.Append(content.data);
}

// A B+ tree of one leaf page holding `entries`, already sorted.
Bytes SingleLeafTree(std::uint16_t flags, std::size_t pageSize, const char* structure,
                     const std::vector<std::vector<std::uint8_t>>& entries) {
    Bytes tree;
    tree.U16(0x293B).U16(flags).U16(static_cast<std::uint32_t>(pageSize)).Text(structure, 16);
    tree.U16(0).U16(0).U16(0).U16(0xFFFF).U16(1).U16(1).U32(static_cast<std::uint32_t>(entries.size()));
    std::size_t used = 8;
    for (const auto& entry : entries) used += entry.size();
    tree.U16(static_cast<std::uint32_t>(pageSize - used)).U16(static_cast<std::uint32_t>(entries.size())).U16(0xFFFF).U16(0xFFFF);
    for (const auto& entry : entries) tree.Append(entry);
    tree.data.resize(38 + pageSize, 0);
    return tree;
}

Bytes SystemFile(const HelpSource& help, std::uint32_t contentsOffset) {
    Bytes system;
    system.U16(0x036C).U16(33).U16(1).U32(0).U16(0);  // version 1.33, no date, uncompressed 4 KB blocks
    const auto record = [&](std::uint16_t type, const Bytes& data) {
        system.U16(type).U16(static_cast<std::uint32_t>(data.data.size())).Append(data.data);
    };
    record(1, Bytes().Text(help.title));  // before the window record, which copies it
    if (!help.copyright.empty()) record(2, Bytes().Text(help.copyright));
    record(3, Bytes().U32(contentsOffset));
    Bytes window;  // the main window: its type, name and caption are set
    window.U16(0x0007).Text("main", 10).Text("main", 9).Text(help.title, 51);
    window.data.resize(90, 0);
    record(6, window);
    return system;
}

Bytes FontFile() {
    Bytes font;
    font.U16(1).U16(3).U16(8).U16(8 + 32).Text("Arial", 32);
    const auto descriptor = [&](std::uint8_t attributes, std::uint8_t halfPoints, std::uint32_t rgb) {
        font.U8(attributes).U8(halfPoints).U8(3 /* swiss */).U16(0);
        font.U8(rgb >> 16).U8(rgb >> 8).U8(rgb).U8(0).U8(0).U8(0);
    };
    descriptor(0x01, 24, 0x000080);  // kHeadingFont: bold 12 pt, dark blue
    descriptor(0x00, 20, 0x000000);  // kBodyFont
    descriptor(0x01, 20, 0x000000);  // kBoldFont
    return font;
}

// Places the records into blocks (a record that does not fit the rest of
// a block starts the next one), links them and the topic headers, and
// returns each topic's offset as the viewer counts it.
std::vector<std::uint32_t> Place(std::vector<Record>& records, std::size_t topicCount) {
    std::size_t block = 0, used = 0;
    for (Record& record : records) {
        if (used + record.Size() > kBlockData) ++block, used = 0;
        record.position = static_cast<std::uint32_t>(block * 0x4000 + 12 + used);
        used += record.Size();
    }
    std::vector<std::uint32_t> offsets(topicCount + 1, kNone), headers(topicCount + 1, kNone), sizes(topicCount + 1, 0),
        scroll(topicCount + 1, kNone);
    std::uint32_t count = 0, currentBlock = 0;
    for (const Record& record : records) {
        const std::uint32_t recordBlock = (record.position - 12) >> 14;
        if (recordBlock != currentBlock) currentBlock = recordBlock, count = 0;
        sizes[record.topic] += static_cast<std::uint32_t>(record.Size());
        if (record.type == 0x02) {
            offsets[record.topic] = recordBlock * 0x8000 + count;
            headers[record.topic] = record.position;
        } else {
            if (scroll[record.topic] == kNone) scroll[record.topic] = record.position;
            count += record.textLength;
        }
    }
    for (Record& record : records) {
        if (record.type == 0x02) {
            const std::size_t t = record.topic;
            const bool real = t < topicCount;
            Bytes header;
            header.U32(sizes[t]).U32(real && t > 0 ? offsets[t - 1] : kNone).U32(real && t + 1 < topicCount ? offsets[t + 1] : kNone);
            header.U32(static_cast<std::uint32_t>(t)).U32(kNone).U32(scroll[t]).U32(real ? headers[t + 1] : kNone);
            record.linkData1 = header;
        }
    }
    return offsets;
}

Bytes TopicFile(const std::vector<Record>& records) {
    const std::size_t blocks = records.empty() ? 1 : ((records.back().position - 12) >> 14) + 1;
    Bytes topic;
    topic.data.assign(blocks * kBlockSize, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint32_t lastLink = kNone, firstLink = kNone, lastHeader = b == 0 ? 0 : kNone;
        for (const Record& record : records) {
            const std::size_t recordBlock = (record.position - 12) >> 14;
            if (recordBlock < b) lastLink = record.position;
            if (recordBlock < b && record.type == 0x02) lastHeader = record.position;
            if (recordBlock == b && firstLink == kNone) firstLink = record.position;
        }
        topic.Put32(b * kBlockSize, lastLink);
        topic.Put32(b * kBlockSize + 4, firstLink);
        topic.Put32(b * kBlockSize + 8, lastHeader);
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        Bytes link;
        link.U32(static_cast<std::uint32_t>(record.Size())).U32(static_cast<std::uint32_t>(record.linkData2.size()));
        link.U32(i ? records[i - 1].position : kNone).U32(i + 1 < records.size() ? records[i + 1].position : kNone);
        link.U32(static_cast<std::uint32_t>(21 + record.linkData1.data.size())).U8(record.type);
        link.Append(record.linkData1.data);
        link.data.insert(link.data.end(), record.linkData2.begin(), record.linkData2.end());
        const std::size_t at = ((record.position - 12) >> 14) * kBlockSize + 12 + ((record.position - 12) & 0x3FFF);
        std::copy(link.data.begin(), link.data.end(), topic.data.begin() + at);
    }
    return topic;
}

}  // namespace

std::string ContextName(std::uint32_t context) { return "ctx_" + std::to_string(context); }

std::uint32_t ContextHash(const std::string& name) {
    std::uint32_t hash = 0;
    for (unsigned char c : name) {
        std::uint32_t value = 0;
        if (c >= '1' && c <= '9') value = c - '0';
        else if (c == '0') value = 10;
        else if (c == '.') value = 12;
        else if (c == '_') value = 13;
        else if (c >= 'A' && c <= 'Z') value = c - 'A' + 17;
        else if (c >= 'a' && c <= 'z') value = c - 'a' + 17;
        else continue;
        hash = hash * 43 + value;
    }
    return hash;
}

std::vector<std::uint8_t> WriteHelpFile(const HelpSource& help, std::vector<std::string>& errors) {
    const std::size_t before = errors.size();
    const auto where = [&](int line) { return help.fileName + ":" + std::to_string(line) + ": "; };
    if (help.topics.size() > kMaxTopics)
        errors.push_back(where(help.topics[kMaxTopics].line) + "more than " + std::to_string(kMaxTopics) + " topics");

    // The contents topic (index 0), then the topics, then the closing empty header.
    std::vector<Record> records;
    std::vector<const Topic*> topics{&help.contents};
    for (const Topic& topic : help.topics) topics.push_back(&topic);
    for (std::size_t t = 0; t < topics.size(); ++t) {
        const std::size_t first = records.size();
        records.push_back(TopicHeader(topics[t]->title, t));
        records.push_back(Heading(topics[t]->title));
        for (const hlpc::Paragraph& paragraph : topics[t]->paragraphs) records.push_back(Body(paragraph));
        if (t == 0) records.push_back(TopicList(help.topics));
        for (std::size_t r = first; r < records.size(); ++r) {
            records[r].topic = t;
            if (records[r].Size() > kBlockData) {
                const int line = r - first >= 2 && r - first - 2 < topics[t]->paragraphs.size()
                                     ? topics[t]->paragraphs[r - first - 2].line
                                     : topics[t]->line;
                errors.push_back(where(line) + "paragraph of " + std::to_string(records[r].Size()) +
                                 " bytes is too long for a record (at most " + std::to_string(kBlockData) + ")");
            }
        }
    }
    records.push_back(TopicHeader("", topics.size()));

    std::map<std::int32_t, const Topic*> hashes;
    for (const Topic& topic : help.topics) {
        const auto known = hashes.emplace(static_cast<std::int32_t>(ContextHash(ContextName(topic.context))), &topic);
        if (!known.second)
            errors.push_back(where(topic.line) + "context name " + ContextName(topic.context) + " has the hash of " +
                             ContextName(known.first->second->context));
    }
    if (errors.size() != before) return {};

    const std::vector<std::uint32_t> offsets = Place(records, topics.size());

    std::vector<std::vector<std::uint8_t>> contextEntries;
    for (const auto& hash : hashes) {  // ordered by the signed hash, as the viewer searches
        const std::size_t t = 1 + (hash.second - help.topics.data());
        contextEntries.push_back(Bytes().U32(static_cast<std::uint32_t>(hash.first)).U32(offsets[t]).data);
    }
    std::map<std::uint32_t, std::uint32_t> map;
    for (std::size_t t = 1; t < topics.size(); ++t) map[topics[t]->context] = offsets[t];
    Bytes contextMap;
    contextMap.U16(static_cast<std::uint32_t>(map.size()));
    for (const auto& entry : map) contextMap.U32(entry.first).U32(entry.second);

    // Internal files in the directory's (strcmp) order, after the 16-byte header.
    const std::vector<std::pair<std::string, Bytes>> files{
        {"|CONTEXT", SingleLeafTree(0x0002, kContextPage, "L4", contextEntries)},
        {"|CTXOMAP", contextMap},
        {"|FONT", FontFile()},
        {"|SYSTEM", SystemFile(help, offsets[0])},
        {"|TOPIC", TopicFile(records)},
    };
    Bytes out;
    out.U32(0x00035F3F).U32(0).U32(kNone).U32(0);
    std::vector<std::vector<std::uint8_t>> directory;
    for (const auto& file : files) {
        directory.push_back(Bytes().Text(file.first).U32(static_cast<std::uint32_t>(out.data.size())).data);
        out.Append(InternalFile(file.second).data);
    }
    out.Put32(4, static_cast<std::uint32_t>(out.data.size()));
    out.Append(InternalFile(SingleLeafTree(0x0402, kDirectoryPage, "z4", directory)).data);
    out.Put32(12, static_cast<std::uint32_t>(out.data.size()));
    return out.data;
}

}  // namespace hlpc
