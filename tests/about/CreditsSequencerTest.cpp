// The credits' line by line timing, for the kinds of line the about box's
// script holds: headings, blank lines, body text and bitmaps it always finds.
#include "about/CreditsSequencer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Fixed sizes: every character 7 pixels wide, text as high as its font, the
// default font 16 pixels high, bitmaps by name.
struct FakeMeasure : ICreditsMeasure {
    int charWidth = 7;
    std::map<std::string, std::pair<int, int>> bitmaps;
    std::vector<std::string> loads;

    int TextWidth(const CreditsFont&, const std::string& text) override
    {
        return charWidth * static_cast<int>(text.size());
    }
    int TextHeight(const CreditsFont& font, const std::string&) override
    {
        return font.bDefault ? 16 : font.nHeight;
    }
    bool LoadBitmap(const std::string& name, int& width, int& height) override
    {
        loads.push_back(name);
        auto it = bitmaps.find(name);
        if (it == bitmaps.end())
            return false;
        std::tie(width, height) = it->second;
        return true;
    }
};

constexpr int W = 300, H = 200;

struct Fetch {
    int tick;
    std::string line;
    bool firstPass;
    bool operator==(const Fetch&) const = default;
};

// Runs ticks and keeps every slice, numbered from 1.
struct Runner {
    CCreditsSequencer seq;
    FakeMeasure measure;
    std::vector<CreditsSlice> slices;
    std::vector<Fetch> fetches;

    explicit Runner(std::string_view script) { Show(script); }
    // A new showing: the window's script is set again and ticks count from 1.
    void Show(std::string_view script)
    {
        seq.SetCredits(script, '|');
        EXPECT_TRUE(seq.Restart());
        slices.clear();
        fetches.clear();
    }
    const CreditsSlice& Tick(int width = W, int height = H)
    {
        slices.push_back(seq.Tick(width, height, measure));
        if (slices.back().bFetched)
            fetches.push_back(
                {static_cast<int>(slices.size()), seq.GetCurrent(), slices.back().bFirstPassTick});
        return slices.back();
    }
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            Tick();
    }
    const CreditsSlice& At(int tick) const { return slices.at(static_cast<std::size_t>(tick - 1)); }
};

} // namespace

TEST(CreditsScript, SplitsAtEverySeparatorAndTheLastCharacterChoosesTheLook)
{
    using Lines = std::vector<std::string>;
    const std::pair<const char*, Lines> splits[] = {
        {"A|B|", {"A", "B", ""}}, {"No separator", {"No separator"}}, {"", {""}}};
    for (const auto& [text, lines] : splits) {
        CCreditsSequencer seq;
        seq.SetCredits(text, '|');
        EXPECT_EQ(seq.GetLines(), lines) << text;
    }
    using K = CreditsLineKind;
    const std::pair<const char*, K> kinds[] = {{"Title\t", K::Heading1}, {"Sub\n", K::Heading2},
                                               {"Lead\r", K::Heading3},  {"a\tb", K::Body},
                                               {"PLEASE^", K::Bitmap},   {"", K::Blank}};
    CCreditsSequencer seq;
    for (const auto& [line, kind] : kinds)
        EXPECT_EQ(seq.Classify(line).kind, kind) << line;
    EXPECT_EQ(std::pair(seq.Classify("Sub\n").font, seq.Classify("Body").font),
              std::pair(CreditsFont{19, 700, false}, CreditsFont{15, 100, false}));
}

TEST(CreditsSequencing, HeadingsBlankLinesAndBitmapLinesTakeTheirHeights)
{
    Runner r("Title\t||Body|Next");
    r.Run(80);
    EXPECT_EQ(r.fetches, (std::vector<Fetch>{
                             {15, "Title\t", true}, {36, "", true}, {57, "Body", true}, {72, "Next", true}}));
    // The heading shows one more row per tick, without its end mark.
    for (int k = 0; k < 21; ++k)
        EXPECT_EQ(std::pair(r.At(15 + k).strText, r.At(15 + k).rcText.Height()),
                  std::pair(std::string("Title"), k + 1));
    for (int t = 36; t < 57; ++t)
        EXPECT_EQ(r.At(t).draw, CreditsSlice::Draw::Nothing) << t;

    Runner b("Body||PLEASE^|Next");
    b.measure.bitmaps["PLEASE"] = {109, 50};
    b.Run(110);
    // 50 rows of the bitmap, then 14 blank rows, then the next line.
    EXPECT_EQ(
        b.fetches,
        (std::vector<Fetch>{{15, "Body", true}, {30, "", true}, {45, "PLEASE^", true}, {109, "Next", true}}));
    EXPECT_TRUE(b.measure.loads == std::vector<std::string>{"PLEASE"} && b.At(45).bBitmapStarted);
    // Placed from the column before widening: centre 164 - 14 = 150, less half the bitmap.
    EXPECT_EQ(b.At(45).rcColumn, CRect(95, 0, 204, H));
    for (int k = 1; k <= 50; ++k) {
        ASSERT_EQ(b.At(44 + k).draw, CreditsSlice::Draw::Bitmap) << k;
        EXPECT_EQ(b.At(44 + k).rcBitmap, CRect(96, H - k, 96 + 109, H)) << k;
        EXPECT_EQ(b.At(44 + k).bBitmapEnded, k == 50) << k;
    }
    for (int t = 95; t <= 108; ++t)
        EXPECT_EQ(b.At(t).draw, CreditsSlice::Draw::Nothing) << t;
}

TEST(CreditsSequencing, ColumnGrowsDuringTheFirstPassOnlyAndIsClipped)
{
    Runner r("aaaa|aaaaaaaaaa|a|aaaaaaaaaaaaaaaaaaaa");
    r.Run(60);
    EXPECT_EQ((std::vector{r.At(15).rcColumn, r.At(30).rcColumn, r.At(45).rcColumn}),
              (std::vector{CRect(136, 0, 164, H), CRect(115, 0, 185, H), CRect(115, 0, 185, H)}));
    EXPECT_EQ(r.seq.GetColumnWidth(), 140); // the last line of the first pass still counts
    EXPECT_FALSE(r.seq.IsFirstPass());
    // Wider text in the second pass draws in the final column.
    r.measure.charWidth = 20;
    r.Run(30);
    EXPECT_EQ(r.fetches.back(), (Fetch{90, "aaaaaaaaaa", false}));
    EXPECT_EQ(r.At(90).rcText, CRect(80, H - 1, 220, H));

    // Never wider than the client.
    Runner narrow("A rather long line of credits text");
    for (int i = 0; i < 15; ++i)
        narrow.Tick(100, 50);
    EXPECT_EQ(std::pair(narrow.At(15).rcColumn, narrow.At(15).rcText),
              std::pair(CRect(0, 0, 100, 50), CRect(0, 49, 100, 50)));
}

TEST(CreditsSequencing, ScriptRepeatsWithoutEndAndTrailingSeparatorAddsABlank)
{
    Runner r("A|B|C");
    r.Run(15 * 9);
    ASSERT_EQ(r.fetches.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(r.fetches[i], (Fetch{15 * static_cast<int>(i + 1), std::string(1, "ABC"[i % 3]), i < 3}));

    Runner trailing("A|");
    trailing.Run(60);
    EXPECT_EQ(trailing.fetches,
              (std::vector<Fetch>{{15, "A", true}, {30, "", true}, {45, "A", false}, {60, "", false}}));
}

TEST(CreditsSequencing, SecondShowingResumesTheHalfDrawnLineOrRedrawsABitmapLine)
{
    Runner r("First|Second|Third");
    r.Run(37); // "Second" came in on tick 30 and shows 8 rows
    EXPECT_EQ(r.seq.GetScrolled(), 8);
    const int width = r.seq.GetColumnWidth();
    r.seq.Clear(); // window gone
    EXPECT_FALSE(r.seq.Restart());
    r.Show("First|Second|Thirteenth");
    r.Run(15);
    for (int k = 1; k <= 14; ++k)
        EXPECT_EQ(std::pair(r.At(k).strText, r.At(k).rcText.Height()), std::pair(std::string("Second"), k));
    EXPECT_EQ(r.fetches, (std::vector<Fetch>{{15, "First", true}}));
    EXPECT_EQ(r.seq.GetColumnWidth(), width);
    r.Run(30); // the first pass had not ended, so measuring goes on
    EXPECT_EQ(r.seq.GetColumnWidth(), 70);
    r.seq.Clear(); // ticks after the lines are gone show nothing and do not fail
    for (int i = 0; i < 40; ++i)
        EXPECT_NE(r.seq.Tick(W, H, r.measure).draw, CreditsSlice::Draw::Bitmap);

    Runner b("Body|PLEASE^|Next");
    b.measure.bitmaps["PLEASE"] = {109, 50};
    b.Run(50); // bitmap came in on tick 30, 21 rows shown
    ASSERT_TRUE(b.seq.IsBitmapLine());
    const int x = b.seq.GetLineBmpX();
    b.seq.Clear();
    b.Show("Body|PLEASE^|Next");
    b.Run(65);
    for (int k = 1; k <= 50; ++k) {
        ASSERT_EQ(b.At(k).draw, CreditsSlice::Draw::Bitmap) << k;
        EXPECT_EQ(b.At(k).rcBitmap, CRect(x, H - k, x + 109, H)) << k;
    }
    EXPECT_EQ(b.measure.loads.size(), 1u); // the bitmap was kept, not loaded again
    EXPECT_EQ(b.fetches, (std::vector<Fetch>{{65, "Body", true}}));
}

TEST(CreditsStaticPage, LaysOutLinesFromTheTopWhileTheyFit)
{
    CCreditsSequencer seq;
    FakeMeasure m;
    m.bitmaps["PLEASE"] = {109, 50};
    seq.SetCredits("Title\t||Body|PLEASE^|After", '|');
    const std::vector<CreditsStaticItem> items = seq.StaticPage(W, 100, m);
    ASSERT_EQ(items.size(), 3u);
    // The blank line takes the height of "W" in the default font.
    EXPECT_EQ((std::vector{items[0].strText, items[1].strText}), (std::vector<std::string>{"Title", "Body"}));
    EXPECT_EQ((std::vector{items[0].rc, items[1].rc, items[2].rc}),
              (std::vector{CRect(0, 0, W, 100), CRect(0, 37, W, 100), CRect(96, 52, 205, 102)}));
    EXPECT_TRUE(items[2].bBitmap);
    // The page neither widens the column nor moves the reading position.
    EXPECT_TRUE(seq.GetColumnWidth() == 0 && seq.GetPos() == 0u);
}
