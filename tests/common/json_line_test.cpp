// The run record's JSON line: strings escaped so that any bytes give valid
// UTF-8 and valid JSON, nesting, and a line that does not fit is refused.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/json_line.h"

namespace {

// The line's text, or "" when Finish refused it.
std::string Line(const std::function<void(JsonLine&)>& build, size_t size = 512)
{
    std::vector<char> buffer(size);
    JsonLine line(buffer.data(), buffer.size());
    build(line);
    const size_t length = line.Finish();
    return std::string(buffer.data(), length);
}

TEST(JsonLine, StringsAreEscapedIntoValidUtf8)
{
    const struct {
        const char* bytes;
        const char* json;
    } kCases[] = {
        {"", R"("")"},
        {"ec.bin", R"("ec.bin")"},
        {"a\"b\\c/d", R"("a\"b\\c/d")"},
        {"\x01\t\n\r\x1f", R"("\u0001\u0009\u000a\u000d\u001f")"},
        {"\x7f", "\"\x7f\""},
        // Valid UTF-8 of each length, and the ends of the ranges.
        {"\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
        {"\xc2\x80\xed\x9f\xbf\xef\xbf\xbf\xf4\x8f\xbf\xbf", "\"\xc2\x80\xed\x9f\xbf\xef\xbf\xbf\xf4\x8f\xbf\xbf\""},
        // Stray continuation bytes.
        {"\x80", R"("\u0080")"},
        {"a\xbf\xbf" "b", R"("a\u00bf\u00bfb")"},
        // Overlong forms, a surrogate, a code past U+10FFFF.
        {"\xc0\xaf\xc1\xbf", R"("\u00c0\u00af\u00c1\u00bf")"},
        {"\xe0\x80\xaf", R"("\u00e0\u0080\u00af")"},
        {"\xf0\x8f\xbf\xbf", R"("\u00f0\u008f\u00bf\u00bf")"},
        {"\xed\xa0\x80", R"("\u00ed\u00a0\u0080")"},
        {"\xf4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")"},
        // Truncated sequences, at the end and before another character.
        {"\xe2\x82", R"("\u00e2\u0082")"},
        {"\xf0\x9f\x98" "A", R"("\u00f0\u009f\u0098A")"},
        {"\xe2\xe2\x82\xac", "\"\\u00e2\xe2\x82\xac\""},
        {"\xc3\"", R"("\u00c3\"")"},
        // Bytes that begin nothing.
        {"\xff\xfe\xf5", R"("\u00ff\u00fe\u00f5")"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Line([&](JsonLine& l) { l.Key(c.bytes).String(c.bytes); }),
                  std::string("{") + c.json + ":" + c.json + "}\n")
            << c.json;
    }
}

TEST(JsonLine, NestedObjectsArraysAndNumbers)
{
    const std::string line = Line([](JsonLine& l) {
        l.Key("time").String("2026-12-08T14:03:07.123Z");
        l.Key("args").BeginArray().String("ec.bin").String("128").BeginArray().EndArray().EndArray();
        l.Key("flash").BeginObject();
        l.Key("id").BeginArray().Unsigned(239).Unsigned(64).EndArray();
        l.Key("ok").Bool(true).Key("checked").Bool(false).Key("sha256").String(nullptr);
        l.Key("empty").BeginObject().EndObject().EndObject();
        l.Key("numbers").BeginArray().Unsigned(0).Unsigned(UINT64_MAX).Signed(-5).Signed(INT64_MIN).EndArray();
        l.Key("end").Null();
    });
    EXPECT_EQ(line,
              R"({"time":"2026-12-08T14:03:07.123Z","args":["ec.bin","128",[]],)"
              R"("flash":{"id":[239,64],"ok":true,"checked":false,"sha256":null,"empty":{}},)"
              R"("numbers":[0,18446744073709551615,-5,-9223372036854775808],"end":null})"
              "\n");
}

// A buffer one byte short of the line and its NUL gets no line at all, and
// nothing is written past its end; so does a line that is no whole object.
TEST(JsonLine, RefusesALineThatDoesNotFitOrIsNotWhole)
{
    const auto build = [](JsonLine& l) { l.Key("program").String("kovrinux").Key("n").Unsigned(128); };
    const std::string whole = R"({"program":"kovrinux","n":128})" "\n";
    ASSERT_EQ(Line(build), whole);
    for (size_t size = 0; size <= whole.size() + 1; ++size) {
        std::vector<char> buffer(size + 8, '#');
        JsonLine line(buffer.data(), size);
        build(line);
        EXPECT_EQ(line.Finish(), size > whole.size() ? whole.size() : 0) << "buffer of " << size;
        EXPECT_EQ(std::string(buffer.data() + size, 8), "########") << "buffer of " << size;
    }

    const std::function<void(JsonLine&)> kNotWhole[] = {
        [](JsonLine& l) { l.Key("open").BeginArray(); },
        [](JsonLine& l) { l.Unsigned(1); },
        [](JsonLine& l) { l.Key("a").Key("b").Null(); },
        [](JsonLine& l) { l.Key("dangling"); },
        [](JsonLine& l) { l.Key("list").BeginArray().Key("x").Null().EndArray(); },
        [](JsonLine& l) { l.Key("mixed").BeginArray().EndObject(); },
        [](JsonLine& l) { l.EndObject(); },
        [](JsonLine& l) { l.Key(nullptr).Null(); },
    };
    for (size_t i = 0; i < std::size(kNotWhole); ++i)
        EXPECT_EQ(Line(kNotWhole[i]), "") << "case " << i;
}

}  // namespace
