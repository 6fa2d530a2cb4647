#include "submitter/message_assembler.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

const char *const kTextNames[EVTM_TEXT_FIELDS] = {
    "evtm_text", "evtm_node",     "evtm_user",    "evtm_category", "evtm_source", "evtm_station",
    "evtm_workload", "evtm_pinfo", "evtm_bindata", "evtm_device",  "evtm_udata",  "evtm_tag"};
const char *const kIntegerNames[7] = {"evtm_time",  "evtm_msgnum", "evtm_color", "evtm_attrib",
                                      "evtm_token", "evtm_flags",  "evtm_type"};

// A sent message in a compact form: the node, then every field that differs
// from zero / absent, in record order.
std::string render(const char *node, const OrlEvtMessage &m) {
    std::string out = std::string("node=") + node;
    const int32_t *integers = &m.evtm_time;
    for (int i = 0; i < 7; ++i) {
        if (integers[i] != 0)
            out += std::string(" ") + kIntegerNames[i] + "=" + std::to_string(integers[i]);
    }
    if (m.evtm_severity[0] != '\0')
        out += std::string(" evtm_severity=") + std::string(m.evtm_severity, strnlen(m.evtm_severity, 4));
    const char *const *texts = evtm_text_references(m);
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i) {
        if (texts[i] != nullptr)
            out += std::string(" ") + kTextNames[i] + "=" + texts[i];
    }
    return out;
}

struct Outcome {
    std::vector<std::string> sent;
    std::vector<std::string> diagnostics;
};

class CollectingSink : public DiagnosticSink {
public:
    void diagnostic(const std::string &text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// Feeds `input` in pieces of `piece` bytes, "sending" each finished
// message with the given result.
Outcome assemble(const std::string &input, int send_result = 0, size_t piece = 7,
                 std::vector<OrlEvtMessage> *records = nullptr) {
    CollectingSink sink;
    MessageAssembler assembler(sink);
    Outcome outcome;
    for (size_t at = 0; at < input.size();) {
        size_t size = std::min(piece, input.size() - at);
        bool ended = false;
        at += assembler.feed(input.data() + at, size, &ended);
        if (ended) {
            outcome.sent.push_back(render(assembler.target_node(), *assembler.record()));
            if (records != nullptr)
                records->push_back(*assembler.record());
            assembler.finish_message(send_result);
        }
    }
    outcome.diagnostics = sink.texts;
    return outcome;
}

const std::string kDefaults = "node=localhost evtm_text=<empty>";
const std::string kRanOut =
    "Ran out of available fields.\nYou can only specify max. 22 fields per message.\nInsert more empty lines into "
    "input.\n.";

struct ParserCase {
    const char *title;
    std::string input;
    std::vector<std::string> sent;
    std::vector<std::string> diagnostics;
};

std::string lines(int count, const std::string &line) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

const std::vector<ParserCase> &parser_cases() {
    static const std::vector<ParserCase> cases = {
        {"an empty first line sends the defaults", "\n", {kDefaults}, {}},
        {"two empty lines after a message send it and then the defaults",
         "evtm_text\thi\n\n\n",
         {"node=localhost evtm_text=hi", kDefaults},
         {}},
        {"a line without a tab ends the message and is discarded",
         "evtm_text\thi\nword\nevtm_user\tu\n\n",
         {"node=localhost evtm_text=hi", "node=localhost evtm_text=<empty> evtm_user=u"},
         {}},
        {"a line beginning with a tab has an empty name", "\tvalue\n\n", {kDefaults}, {"Unknown field  ."}},
        {"names ignore ASCII case but not trailing blanks",
         "EVTM_TEXT\tloud\nevtm_user \tx\n\n",
         {"node=localhost evtm_text=loud"},
         {"Unknown field evtm_user  ."}},
        {"evtm_pinfo is unknown, evtm_evtm_pinfo sets it",
         "evtm_pinfo\ta\nevtm_evtm_pinfo\tb\n\n",
         {"node=localhost evtm_text=<empty> evtm_pinfo=b"},
         {"Unknown field evtm_pinfo ."}},
        {"a value keeps tabs and blanks", "evtm_text\t  a\tb  \n\n", {"node=localhost evtm_text=  a\tb  "}, {}},
        {"a lone CR ends a line and LF CR makes an empty line",
         "evtm_text\ta\revtm_user\tb\n\rignored",
         {"node=localhost evtm_text=a evtm_user=b"},
         {}},
        {"severity keeps at most three characters",
         "evtm_severity\tWARNING\n\nevtm_severity\tx\n\n",
         {"node=localhost evtm_severity=WAR evtm_text=<empty>", "node=localhost evtm_severity=x evtm_text=<empty>"},
         {}},
        {"integer fields",
         "evtm_msgnum\t 42abc\nevtm_color\tabc\nevtm_attrib\t-7\nevtm_token\t2147483648\nevtm_flags\t1\n"
         "evtm_type\t4294967295\nevtm_time\t2147483648\n\nevtm_time\t-99999999999\n\n",
         {"node=localhost evtm_time=2147483647 evtm_msgnum=42 evtm_attrib=-7 evtm_token=-2147483648 evtm_flags=1 "
          "evtm_type=-1 evtm_text=<empty>",
          "node=localhost evtm_time=-2147483648 evtm_text=<empty>"},
         {}},
        {"a field given twice: the later line wins",
         "evtm_text\tfirst\nevtm_text\tsecond\n\n",
         {"node=localhost evtm_text=second"},
         {}},
        {"computer changes the target node of one message only",
         "computer\t127.0.0.1\nevtm_node\tn\n\nevtm_text\tnext\n\n",
         {"node=127.0.0.1 evtm_text=<empty> evtm_node=n", "node=localhost evtm_text=next"},
         {}},
        {"every text field has its keyword",
         "evtm_text\t1\nevtm_node\t2\nevtm_user\t3\nevtm_category\t4\nevtm_source\t5\nevtm_station\t6\n"
         "evtm_workload\t7\nevtm_evtm_pinfo\t8\nevtm_bindata\t9\nevtm_device\t10\nevtm_udata\t11\nevtm_tag\t12\n\n",
         {"node=localhost evtm_text=1 evtm_node=2 evtm_user=3 evtm_category=4 evtm_source=5 evtm_station=6 "
          "evtm_workload=7 evtm_pinfo=8 evtm_bindata=9 evtm_device=10 evtm_udata=11 evtm_tag=12"},
         {}},
        {"field lines without a message-ending line are not sent", "evtm_text\tlost\n", {}, {}},
        {"a zero byte ends the value", std::string("evtm_text\tab\0cd\n\n", 17), {"node=localhost evtm_text=ab"}, {}},
        {"a zero byte ends the name", std::string("evtm_text\0junk\tab\n\n", 19), {"node=localhost evtm_text=ab"}, {}},
        {"byte 255 is data", "evtm_text\t\xff\xfe\n\n", {"node=localhost evtm_text=\xff\xfe"}, {}},
        {"the 22nd field line is applied and warned about",
         lines(21, "nosuch\tx\n") + "evtm_tag\tlast\n\n",
         {"node=localhost evtm_text=<empty> evtm_tag=last"},
         [] {
             std::vector<std::string> d(21, "Unknown field nosuch .");
             d.push_back(kRanOut);
             return d;
         }()},
        {"lines after the 22nd are neither applied nor warned about again",
         lines(22, "evtm_text\tkept\n") + "evtm_text\tdropped\ncomputer\t127.0.0.2\nevtm_user\tdropped\n\n" +
             lines(22, "evtm_user\tu\n") + "\n",
         {"node=localhost evtm_text=kept", "node=localhost evtm_text=<empty> evtm_user=u"},
         {kRanOut, kRanOut}},
    };
    return cases;
}

TEST(MessageAssembler, ParsesTheInputLanguage) {
    for (const ParserCase &c : parser_cases()) {
        for (size_t piece : {size_t(1), size_t(7), size_t(4096)}) {
            Outcome outcome = assemble(c.input, 0, piece);
            EXPECT_EQ(outcome.sent, c.sent) << c.title << " (pieces of " << piece << ")";
            EXPECT_EQ(outcome.diagnostics, c.diagnostics) << c.title << " (pieces of " << piece << ")";
        }
    }
}

TEST(MessageAssembler, AMessageWithoutFieldsIsZeroButItsText) {
    std::vector<OrlEvtMessage> records;
    assemble("evtm_severity\tabc\nevtm_msgnum\t3\nevtm_user\tx\n\n\n", 0, 64, &records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(memcmp(records[0].evtm_severity, "abc", 4), 0) << "byte 47 must be zero";
    OrlEvtMessage expected;
    memset(&expected, 0, sizeof expected);
    expected.evtm_text = records[1].evtm_text;
    EXPECT_EQ(memcmp(&records[1], &expected, sizeof expected), 0);
    EXPECT_STREQ(records[1].evtm_text, "<empty>");
}

TEST(MessageAssembler, OverlongNamesAndValuesAreCutWithOneWarningPerMessage) {
    const std::string long_name(130, 'n');
    const std::string long_value(kMaxValueLength + 10, 'v');
    std::string input = long_name + "\tx\n" + long_name + "\ty\n" + "evtm_text\t" + long_value + "\n" + "evtm_user\t" +
                        long_value + "\n\n" + long_name + "\tz\n\n";
    std::vector<OrlEvtMessage> records;
    CollectingSink sink;
    MessageAssembler assembler(sink);
    std::string first_text;
    for (size_t at = 0; at < input.size();) {
        bool ended = false;
        at += assembler.feed(input.data() + at, input.size() - at, &ended);
        if (ended) {
            if (first_text.empty())
                first_text = assembler.record()->evtm_text;
            assembler.finish_message(0);
        }
    }
    EXPECT_EQ(first_text, std::string(kMaxValueLength, 'v'));
    const std::string cut_name(kMaxFieldNameLength, 'n');
    const std::vector<std::string> expected = {
        "Field portion too big.\nMax. field length is 126 .\n",
        "Unknown field " + cut_name + " .",
        "Unknown field " + cut_name + " .",
        "Data portion too big.\nMax. data length is 20478 .\n",
        "Field portion too big.\nMax. field length is 126 .\n",  // the next message warns again
        "Unknown field " + cut_name + " .",
    };
    EXPECT_EQ(sink.texts, expected);
}

// Refuses the copy of every five-character value ("!fail").
char *refuse_five_character_values(size_t size) {
    return size == 6 ? nullptr : new char[size];  // "!fail" and its terminator
}

TEST(MessageAssembler, AValueWithoutMemoryForItsCopyIsNotAppliedAndReadingGoesOn) {
    CollectingSink sink;
    MessageAssembler assembler(sink, refuse_five_character_values);
    const std::string input = "evtm_text\tkept\nevtm_text\t!fail\ncomputer\t!fail\nevtm_user\tlater on\n\n";
    bool ended = false;
    size_t taken = assembler.feed(input.data(), input.size(), &ended);
    ASSERT_TRUE(ended);
    EXPECT_EQ(taken, input.size());
    EXPECT_EQ(render(assembler.target_node(), *assembler.record()),
              "node=localhost evtm_text=kept evtm_user=later on");
    const std::vector<std::string> expected = {"No memory for the value of field evtm_text .",
                                               "No memory for the value of field computer ."};
    EXPECT_EQ(sink.texts, expected);
}

TEST(MessageAssembler, AFailedSendIsReportedWithTheWholeNodeAndTheNextMessageStartsFresh) {
    const std::string node(kMaxValueLength, 'h');
    Outcome outcome = assemble("computer\t" + node + "\nevtm_text\tx\n\nevtm_user\ty\n\n", -3);
    ASSERT_EQ(outcome.sent.size(), 2u);
    EXPECT_EQ(outcome.sent[1], "node=localhost evtm_text=<empty> evtm_user=y");
    ASSERT_EQ(outcome.diagnostics.size(), 2u);
    EXPECT_EQ(outcome.diagnostics[0], "Error writing to Velmora on host " + node + ", error -3 .");
    EXPECT_EQ(outcome.diagnostics[1], "Error writing to Velmora on host localhost, error -3 .");
}

}  // namespace
