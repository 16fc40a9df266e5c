// The help file as the build writes it, read through its own keyword and
// title trees: every keyword the program asks for, and every index entry,
// leads to one topic.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "winkit/help.h"

namespace {

// A reader of the parts of a WinHelp file that lead from a keyword or a
// context name to a topic's title: the file's directory, the keyword tree
// (|KWBTREE with |KWDATA), the context tree (|CONTEXT) and the title tree
// (|TTLBTREE), all B-trees of the same layout.
class HelpFileReader {
public:
    explicit HelpFileReader(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        data_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (data_.size() < 16 || U32(0) != 0x00035F3F)
            return;
        valid_ = WalkTree(U32(4), [&](size_t at, size_t end) {
            std::string name;
            size_t next = String(at, end, &name);
            if (!next || next + 4 > end)
                return size_t(0);
            files_[name] = U32(next);
            return next + 4;
        });
        valid_ = valid_ && Load();
    }

    bool Valid() const { return valid_; }
    // Every keyword of the index in the file's order, with its topics.
    const std::vector<std::pair<std::string, std::vector<uint32_t>>>& Keywords() const { return keywords_; }

    std::vector<uint32_t> TopicsOf(const std::string& keyword) const
    {
        for (const auto& entry : keywords_)
            if (entry.first == keyword)
                return entry.second;
        return {};
    }

    // The title of the topic that holds a topic offset.
    std::string TitleAt(uint32_t offset) const
    {
        auto after = titles_.upper_bound(offset);
        return after == titles_.begin() ? std::string() : std::prev(after)->second;
    }

    // The title of the topic of a context name, found as Wine's viewer
    // finds it: the hashes taken as signed numbers, the tree searched in
    // its order up to the first greater one.
    std::string TitleOfContext(const char* name) const
    {
        int32_t hash = (int32_t)ContextHash(name);
        for (const auto& entry : contexts_) {
            if (entry.first > hash)
                break;
            if (entry.first == hash)
                return TitleAt(entry.second);
        }
        return std::string();
    }

private:
    static uint32_t ContextHash(const char* name)
    {
        uint32_t hash = 0;
        for (; *name; name++) {
            char c = *name;
            uint32_t value = 0;
            if (c >= 'A' && c <= 'Z')
                value = c - 'A' + 17;
            else if (c >= 'a' && c <= 'z')
                value = c - 'a' + 17;
            else if (c >= '1' && c <= '9')
                value = c - '0';
            else if (c == '0')
                value = 10;
            else if (c == '.')
                value = 12;
            else if (c == '_')
                value = 13;
            if (value)
                hash = hash * 43 + value;
        }
        return hash;
    }

    bool Has(size_t at, size_t count) const { return at <= data_.size() && count <= data_.size() - at; }
    uint32_t U32(size_t at) const
    {
        if (!Has(at, 4))
            return 0;
        return (uint32_t)(uint8_t)data_[at] | (uint32_t)(uint8_t)data_[at + 1] << 8 |
               (uint32_t)(uint8_t)data_[at + 2] << 16 | (uint32_t)(uint8_t)data_[at + 3] << 24;
    }
    uint16_t U16(size_t at) const
    {
        return Has(at, 2) ? (uint16_t)((uint8_t)data_[at] | (uint8_t)data_[at + 1] << 8) : 0;
    }
    // Reads a zero-terminated text; the offset after it, or 0.
    size_t String(size_t at, size_t end, std::string* text) const
    {
        for (size_t i = at; i < end && i < data_.size(); i++)
            if (data_[i] == '\0') {
                text->assign(data_.data() + at, i - at);
                return i + 1;
            }
        return 0;
    }

    // Calls entry(at, end) for every leaf entry of the B-tree of the
    // internal file at fileOffset; entry returns the offset after the
    // entry, or 0 when it is malformed.
    bool WalkTree(uint32_t fileOffset, const std::function<size_t(size_t, size_t)>& entry) const
    {
        size_t header = fileOffset + 9;  // after the internal file's own header
        if (!Has(header, 38) || U16(header) != 0x293B)
            return false;
        size_t pageSize = U16(header + 4);
        int page = (int16_t)U16(header + 26);
        int levels = (int16_t)U16(header + 32);
        size_t pages = header + 38;
        for (int level = 1; level < levels; level++)
            page = (int16_t)U16(pages + page * pageSize + 4);  // an index page's first child
        for (int visited = 0; page != -1; visited++) {
            size_t start = pages + (size_t)page * pageSize, end = start + pageSize;
            if (page < 0 || visited > 10000 || !Has(start, pageSize))
                return false;
            int entries = U16(start + 2);
            size_t at = start + 8;
            for (int i = 0; i < entries; i++)
                if (!(at = entry(at, end)))
                    return false;
            page = (int16_t)U16(start + 6);
        }
        return true;
    }

    bool Load()
    {
        for (const char* name : {"|KWBTREE", "|KWDATA", "|TTLBTREE", "|CONTEXT"})
            if (!files_.count(name))
                return false;
        size_t keywordData = files_["|KWDATA"] + 9;
        bool ok = WalkTree(files_["|KWBTREE"], [&](size_t at, size_t end) {
            std::string keyword;
            size_t next = String(at, end, &keyword);
            if (!next || next + 6 > end)
                return size_t(0);
            std::vector<uint32_t> topics;
            for (int i = 0; i < U16(next); i++)
                topics.push_back(U32(keywordData + U32(next + 2) + 4 * i));
            keywords_.emplace_back(keyword, topics);
            return next + 6;
        });
        ok = ok && WalkTree(files_["|TTLBTREE"], [&](size_t at, size_t end) {
            std::string title;
            size_t next = at + 4 <= end ? String(at + 4, end, &title) : 0;
            if (next)
                titles_[U32(at)] = title;
            return next;
        });
        return ok && WalkTree(files_["|CONTEXT"], [&](size_t at, size_t end) {
            if (at + 8 > end)
                return size_t(0);
            contexts_.emplace_back((int32_t)U32(at), U32(at + 4));
            return at + 8;
        });
    }

    std::string data_;
    bool valid_ = false;
    std::map<std::string, uint32_t> files_;
    std::vector<std::pair<std::string, std::vector<uint32_t>>> keywords_;
    std::map<uint32_t, std::string> titles_;
    // Hash and topic offset, in the tree's order.
    std::vector<std::pair<int32_t, uint32_t>> contexts_;
};

// The keywords the program asks for and the titles of their topics.
const struct {
    const char* Keyword;
    const char* Title;
} ProgramKeywords[] = {
    {"Toolbar", "The toolbar"},
    {"Task Properties", "The Task Properties dialog"},
    {"Run Command", "The Run dialog"},
    {"Shortcut Properties", "The Shortcut Properties dialog"},
    {"Folder Properties", "The Folder Properties dialog"},
    {"Setup Command", "The Setup dialog"},
};

TEST(HelpFile, EveryKeywordTheProgramAsksForLeadsToItsTopic)
{
    HelpFileReader help(HelpFilePath());
    ASSERT_TRUE(help.Valid()) << HelpFilePath();
    for (const auto& expected : ProgramKeywords) {
        SCOPED_TRACE(expected.Keyword);
        // Windows' viewer: the keyword index.
        std::vector<uint32_t> topics = help.TopicsOf(expected.Keyword);
        ASSERT_EQ(topics.size(), 1u);
        EXPECT_EQ(help.TitleAt(topics[0]), expected.Title);
        // Wine's viewer: the context name it is started at.
        const char* context = HelpContextOf(expected.Keyword);
        ASSERT_NE(context, nullptr);
        EXPECT_EQ(help.TitleOfContext(context), expected.Title);
    }
    // Words a user looks up.
    for (const char* word : {"Hot Key", "Priority", "Folder", "Shortcut", "Exit", "Installing"})
        EXPECT_EQ(help.TopicsOf(word).size(), 1u) << word;
}

TEST(HelpFile, EveryIndexEntryLeadsToOneTopicAndIsFoundWhateverTheCase)
{
    HelpFileReader help(HelpFilePath());
    ASSERT_TRUE(help.Valid());
    ASSERT_GT(help.Keywords().size(), 50u);
    const std::string* previous = nullptr;
    for (const auto& entry : help.Keywords()) {
        // Wine's Index cannot open a keyword that has several topics.
        EXPECT_EQ(entry.second.size(), 1u) << entry.first;
        EXPECT_FALSE(help.TitleAt(entry.second.at(0)).empty()) << entry.first;
        // halibut sorts by byte value; a viewer that searches the tree
        // without regard to case must find the same order.
        if (previous) {
            EXPECT_LT(lstrcmpiA(previous->c_str(), entry.first.c_str()), 0)
                << *previous << " / " << entry.first;
        }
        previous = &entry.first;
    }
}

} // namespace
