#include "submitter/shared_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Runs raw blocks through the filter the way the input buffer does.
std::string translate(bool ctrl_z_ends, const std::vector<std::string> &blocks, bool *ended_early = nullptr) {
    TextModeFilter filter(ctrl_z_ends);
    std::string text;
    for (const std::string &block : blocks) {
        std::string out(block.size() + 1, '\0');
        bool ended = false;
        out.resize(filter.translate(block.data(), block.size(), &out[0], &ended));
        text += out;
        if (ended) {
            if (ended_early != nullptr)
                *ended_early = true;
            return text;
        }
    }
    char tail[1];
    text.append(tail, filter.finish(tail));
    return text;
}

TEST(TextModeFilter, TurnsCarriageReturnLineFeedIntoOneLineFeed) {
    struct Case {
        std::vector<std::string> blocks;
        std::string text;
    };
    const Case cases[] = {
        {{"a\r\nb\r\n"}, "a\nb\n"},
        {{"a\r", "\nb"}, "a\nb"},      // the pair split across two reads
        {{"a\r", "b"}, "a\rb"},        // a lone CR stays a line end of its own
        {{"a\r", "", "\n"}, "a\n"},
        {{"a\n\r", "x"}, "a\n\rx"},    // LF CR is two line ends
        {{"a\r\r\n"}, "a\r\n"},
        {{"end\r"}, "end\r"},          // a CR at the very end is delivered
        {{std::string("\xff\x00z", 3)}, std::string("\xff\x00z", 3)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(translate(false, c.blocks), c.text);
        EXPECT_EQ(translate(true, c.blocks), c.text);
    }
}

TEST(TextModeFilter, CtrlZEndsTheInputOnlyWhereTheTextModeSaysSo) {
    bool ended = false;
    EXPECT_EQ(translate(true, {"a\r", "\x1a", "never"}, &ended), "a\r");
    EXPECT_TRUE(ended);
    ended = false;
    EXPECT_EQ(translate(true, {"ab\x1a" "cd"}, &ended), "ab");
    EXPECT_TRUE(ended);
    ended = false;
    EXPECT_EQ(translate(false, {"ab\x1a" "cd"}, &ended), "ab\x1a" "cd");
    EXPECT_FALSE(ended);
}

}  // namespace
