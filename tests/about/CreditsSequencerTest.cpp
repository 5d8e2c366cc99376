#include "about/CreditsSequencer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Fixed sizes: every character 7 pixels wide, text as high as its font, the
// default font 16 pixels high, bitmaps by name.
class FakeMeasure : public ICreditsMeasure {
public:
    int charWidth = 7;
    std::map<std::string, std::pair<int, int>> bitmaps;
    int widthCalls = 0;
    std::vector<std::string> loads;

    int TextWidth(const CreditsFont&, const std::string& text) override
    {
        ++widthCalls;
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
        width = it->second.first;
        height = it->second.second;
        return true;
    }
};

constexpr int W = 300;
constexpr int H = 200;

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

    Runner(std::string_view script)
    {
        seq.SetCredits(script, '|');
        EXPECT_TRUE(seq.Restart());
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

std::vector<std::string> Split(std::string_view text)
{
    CCreditsSequencer seq;
    seq.SetCredits(text, '|');
    return seq.GetLines();
}

} // namespace

TEST(CreditsScript, SplitsAtEverySeparator)
{
    EXPECT_EQ(Split("A|B|"), (std::vector<std::string>{"A", "B", ""}));
    EXPECT_EQ(Split("No separator"), (std::vector<std::string>{"No separator"}));
    EXPECT_EQ(Split(""), (std::vector<std::string>{""}));
    EXPECT_EQ(Split("||"), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(Split("Head\t|\r|x^"), (std::vector<std::string>{"Head\t", "\r", "x^"}));
}

TEST(CreditsScript, LastCharacterChoosesTheLook)
{
    CCreditsSequencer seq;
    const CreditsLineStyle h1 = seq.Classify("Title\t");
    EXPECT_EQ(h1.kind, CreditsLineKind::Heading1);
    EXPECT_EQ(h1.font, (CreditsFont{21, 700, false}));
    EXPECT_EQ(h1.nColor, 1);
    EXPECT_EQ(h1.nCut, 1u);
    const CreditsLineStyle h2 = seq.Classify("Sub\n");
    EXPECT_EQ(h2.kind, CreditsLineKind::Heading2);
    EXPECT_EQ(h2.font, (CreditsFont{19, 700, false}));
    EXPECT_EQ(h2.nColor, 2);
    const CreditsLineStyle h3 = seq.Classify("Lead\r");
    EXPECT_EQ(h3.kind, CreditsLineKind::Heading3);
    EXPECT_EQ(h3.font, (CreditsFont{17, 700, false}));
    EXPECT_EQ(h3.nColor, 3);
    const CreditsLineStyle body = seq.Classify("Body text");
    EXPECT_EQ(body.kind, CreditsLineKind::Body);
    EXPECT_EQ(body.font, (CreditsFont{15, 100, false}));
    EXPECT_EQ(body.nColor, 4);
    EXPECT_EQ(body.nCut, 0u);
    EXPECT_EQ(seq.Classify("PLEASE^").kind, CreditsLineKind::Bitmap);
    EXPECT_EQ(seq.Classify("").kind, CreditsLineKind::Blank);
    // Only the last character counts.
    EXPECT_EQ(seq.Classify("a\tb").kind, CreditsLineKind::Body);
}

TEST(CreditsSequencing, FirstLineComesOnTheFifteenthTick)
{
    Runner r("Hello");
    r.Run(14);
    for (int t = 1; t <= 14; ++t) {
        const CreditsSlice& s = r.At(t);
        EXPECT_FALSE(s.bFetched) << t;
        EXPECT_EQ(s.draw, CreditsSlice::Draw::Nothing) << t;
        // The column is still empty: nothing scrolls, the whole bottom row is refilled.
        EXPECT_FALSE(s.bScroll) << t;
        EXPECT_EQ(s.rcUpdate, CRect(0, H - 1, W, H)) << t;
    }
    EXPECT_TRUE(r.seq.GetCurrent().empty());

    const CreditsSlice& s = r.Tick();
    EXPECT_TRUE(s.bFetched);
    EXPECT_TRUE(s.bFirstPassTick);
    EXPECT_EQ(r.seq.GetCurrent(), "Hello");
    EXPECT_EQ(r.seq.GetColumnWidth(), 35);
    EXPECT_EQ(s.rcColumn, CRect(132, 0, 167, H));
    EXPECT_EQ(s.draw, CreditsSlice::Draw::Text);
    EXPECT_EQ(s.strText, "Hello");
    EXPECT_EQ(s.rcText, CRect(132, H - 1, 167, H));

    // From now on the column scrolls and only its bottom row is uncovered.
    const CreditsSlice& next = r.Tick();
    EXPECT_TRUE(next.bScroll);
    EXPECT_EQ(next.rcScroll, CRect(132, 0, 167, H));
    EXPECT_EQ(next.rcUpdate, CRect(132, H - 1, 167, H));
    EXPECT_EQ(next.rcText, CRect(132, H - 2, 167, H));
}

TEST(CreditsSequencing, HeadingAndTheBlankAfterItTakeTheHeadingHeight)
{
    Runner r("Title\t||Body|Next");
    r.Run(80);
    const std::vector<Fetch> expected{
        {15, "Title\t", true}, {36, "", true}, {57, "Body", true}, {72, "Next", true}};
    ASSERT_GE(r.fetches.size(), 4u);
    EXPECT_EQ(std::vector<Fetch>(r.fetches.begin(), r.fetches.begin() + 4), expected);
    // The heading shows one more row per tick, without its end mark.
    for (int k = 0; k < 21; ++k) {
        const CreditsSlice& s = r.At(15 + k);
        EXPECT_EQ(s.strText, "Title");
        EXPECT_EQ(s.style.font.nHeight, 21);
        EXPECT_EQ(s.rcText.Height(), k + 1);
    }
    for (int t = 36; t < 57; ++t)
        EXPECT_EQ(r.At(t).draw, CreditsSlice::Draw::Nothing) << t;
}

TEST(CreditsSequencing, BitmapLineAfterBodyAndBlankLine)
{
    Runner r("Body||PLEASE^|Next");
    r.measure.bitmaps["PLEASE"] = {109, 50};
    r.Run(110);
    ASSERT_GE(r.fetches.size(), 4u);
    EXPECT_EQ(r.fetches[0], (Fetch{15, "Body", true}));
    EXPECT_EQ(r.fetches[1], (Fetch{30, "", true}));
    EXPECT_EQ(r.fetches[2], (Fetch{45, "PLEASE^", true}));
    // 50 rows of the bitmap, then 14 blank rows, then the next line.
    EXPECT_EQ(r.fetches[3], (Fetch{109, "Next", true}));

    EXPECT_EQ(r.measure.loads, (std::vector<std::string>{"PLEASE"}));
    EXPECT_TRUE(r.At(45).bBitmapStarted);
    // Placed from the column before widening: centre 164 - 14 = 150, less half the bitmap.
    EXPECT_EQ(r.seq.GetLineBmpX(), 96);
    EXPECT_EQ(r.seq.GetLineBmpY(), H);
    EXPECT_EQ(r.At(45).rcColumn, CRect(95, 0, 204, H));
    for (int k = 1; k <= 50; ++k) {
        const CreditsSlice& s = r.At(44 + k);
        ASSERT_EQ(s.draw, CreditsSlice::Draw::Bitmap) << k;
        EXPECT_EQ(s.rcBitmap, CRect(96, H - k, 96 + 109, H)) << k;
        EXPECT_EQ(s.bBitmapEnded, k == 50) << k;
    }
    for (int t = 95; t <= 108; ++t)
        EXPECT_EQ(r.At(t).draw, CreditsSlice::Draw::Nothing) << t;
    EXPECT_EQ(r.seq.GetLineHeight(), 15);
}

TEST(CreditsSequencing, TabOnlyLineIsABlankHeadingLine)
{
    Runner r("\t|Body");
    r.Run(40);
    ASSERT_GE(r.fetches.size(), 2u);
    EXPECT_EQ(r.fetches[0], (Fetch{15, "\t", true}));
    EXPECT_EQ(r.fetches[1], (Fetch{36, "Body", true}));
    for (int t = 15; t < 36; ++t)
        EXPECT_EQ(r.At(t).draw, CreditsSlice::Draw::Nothing) << t;
    EXPECT_EQ(r.At(35).rcColumn.Width(), 0);
    EXPECT_EQ(r.measure.widthCalls, 1); // only "Body" was measured
}

TEST(CreditsSequencing, ColumnGrowsDuringTheFirstPassOnly)
{
    Runner r("aaaa|aaaaaaaaaa|a|aaaaaaaaaaaaaaaaaaaa");
    r.Run(15);
    EXPECT_EQ(r.seq.GetColumnWidth(), 28);
    EXPECT_EQ(r.At(15).rcColumn, CRect(136, 0, 164, H));
    r.Run(15);
    EXPECT_EQ(r.seq.GetColumnWidth(), 70);
    EXPECT_EQ(r.At(30).rcColumn, CRect(115, 0, 185, H));
    r.Run(15);
    EXPECT_EQ(r.seq.GetColumnWidth(), 70);
    // The last line of the first pass still counts.
    r.Run(15);
    EXPECT_EQ(r.fetches.back(), (Fetch{60, "aaaaaaaaaaaaaaaaaaaa", true}));
    EXPECT_EQ(r.seq.GetColumnWidth(), 140);
    EXPECT_FALSE(r.seq.IsFirstPass());

    // Wider text in the second pass draws in the final column.
    r.measure.charWidth = 20;
    r.Run(30);
    EXPECT_EQ(r.fetches.back(), (Fetch{90, "aaaaaaaaaa", false}));
    EXPECT_EQ(r.seq.GetColumnWidth(), 140);
    EXPECT_EQ(r.At(90).rcText, CRect(80, H - 1, 220, H));
}

TEST(CreditsSequencing, ColumnNeverWiderThanTheClient)
{
    Runner r("A rather long line of credits text");
    for (int i = 0; i < 15; ++i)
        r.Tick(100, 50);
    EXPECT_EQ(r.seq.GetColumnWidth(), 100);
    EXPECT_EQ(r.At(15).rcColumn, CRect(0, 0, 100, 50));
    EXPECT_EQ(r.At(15).rcText, CRect(0, 49, 100, 50));
}

TEST(CreditsSequencing, ScriptRepeatsWithoutEnd)
{
    Runner r("A|B|C");
    r.Run(15 * 9);
    ASSERT_EQ(r.fetches.size(), 9u);
    const char* names[] = {"A", "B", "C"};
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(r.fetches[i].tick, 15 * static_cast<int>(i + 1));
        EXPECT_EQ(r.fetches[i].line, names[i % 3]);
        EXPECT_EQ(r.fetches[i].firstPass, i < 3);
    }
}

TEST(CreditsSequencing, TrailingSeparatorAddsABlankLine)
{
    Runner r("A|");
    r.Run(60);
    ASSERT_EQ(r.fetches.size(), 4u);
    EXPECT_EQ(r.fetches[1], (Fetch{30, "", true}));
    EXPECT_EQ(r.fetches[2], (Fetch{45, "A", false}));
}

TEST(CreditsSequencing, SecondShowingResumesTheHalfDrawnLine)
{
    Runner r("First|Second|Third");
    r.Run(37); // "Second" came in on tick 30 and shows 8 rows
    EXPECT_EQ(r.seq.GetScrolled(), 8);
    const int width = r.seq.GetColumnWidth();

    // Window gone, then the next showing sets the script again and starts.
    r.seq.Clear();
    EXPECT_FALSE(r.seq.Restart());
    r.seq.SetCredits("First|Second|Thirteenth", '|');
    ASSERT_TRUE(r.seq.Restart());
    r.slices.clear();
    r.fetches.clear();
    r.Run(15);
    for (int k = 1; k <= 14; ++k) {
        EXPECT_EQ(r.At(k).strText, "Second") << k;
        EXPECT_EQ(r.At(k).rcText.Height(), k) << k;
    }
    EXPECT_EQ(r.fetches, (std::vector<Fetch>{{15, "First", true}}));
    EXPECT_EQ(r.seq.GetColumnWidth(), width);
    // The first pass had not ended, so measuring goes on.
    r.Run(30);
    EXPECT_EQ(r.seq.GetColumnWidth(), 70);
}

TEST(CreditsSequencing, SecondShowingRedrawsABitmapLineInProgress)
{
    Runner r("Body|PLEASE^|Next");
    r.measure.bitmaps["PLEASE"] = {109, 50};
    r.Run(50); // bitmap came in on tick 30, 21 rows shown
    ASSERT_TRUE(r.seq.IsBitmapLine());
    const int x = r.seq.GetLineBmpX();

    r.seq.Clear();
    r.seq.SetCredits("Body|PLEASE^|Next", '|');
    ASSERT_TRUE(r.seq.Restart());
    r.slices.clear();
    r.fetches.clear();
    r.Run(65);
    for (int k = 1; k <= 50; ++k) {
        ASSERT_EQ(r.At(k).draw, CreditsSlice::Draw::Bitmap) << k;
        EXPECT_EQ(r.At(k).rcBitmap, CRect(x, H - k, x + 109, H)) << k;
    }
    EXPECT_EQ(r.measure.loads.size(), 1u); // the bitmap was kept, not loaded again
    for (int k = 51; k <= 64; ++k)
        EXPECT_EQ(r.At(k).draw, CreditsSlice::Draw::Nothing) << k;
    EXPECT_EQ(r.fetches, (std::vector<Fetch>{{65, "Body", true}}));
}

TEST(CreditsSequencing, SecondShowingAfterAFullPassKeepsTheColumn)
{
    Runner r("ab|abcd");
    r.Run(40);
    EXPECT_FALSE(r.seq.IsFirstPass());
    EXPECT_EQ(r.seq.GetColumnWidth(), 28);
    r.seq.Clear();
    r.seq.SetCredits("abcdefgh|x", '|');
    ASSERT_TRUE(r.seq.Restart());
    r.Run(60);
    EXPECT_EQ(r.seq.GetColumnWidth(), 28);
}

TEST(CreditsSequencing, MissingBitmapIsDrawnAsTextAndRetried)
{
    Runner r("Body|Gone^|Next");
    r.Run(45);
    ASSERT_GE(r.fetches.size(), 3u);
    EXPECT_EQ(r.fetches[1], (Fetch{30, "Gone^", true}));
    // On the height of the line before it.
    EXPECT_EQ(r.fetches[2], (Fetch{45, "Next", true}));
    const CreditsSlice& s = r.At(30);
    EXPECT_EQ(s.draw, CreditsSlice::Draw::Text);
    EXPECT_EQ(s.strText, "Gone^");
    EXPECT_TRUE(s.style.font.bDefault);
    EXPECT_EQ(s.style.nColor, -1);
    EXPECT_EQ(r.seq.GetColumnWidth(), 35);
    EXPECT_EQ(r.measure.loads.size(), 15u); // once per tick of the line
    EXPECT_FALSE(r.seq.IsBitmapLine());
}

TEST(CreditsSequencing, EmptyListCannotStart)
{
    CCreditsSequencer seq;
    EXPECT_FALSE(seq.Restart());
    seq.SetCredits("x", '|');
    EXPECT_TRUE(seq.Restart());
    seq.Clear();
    EXPECT_FALSE(seq.Restart());
    // Ticks after the lines are gone show nothing and do not fail.
    FakeMeasure m;
    for (int i = 0; i < 40; ++i)
        EXPECT_NE(seq.Tick(W, H, m).draw, CreditsSlice::Draw::Bitmap);
}

TEST(CreditsStaticPage, LaysOutLinesFromTheTopWhileTheyFit)
{
    CCreditsSequencer seq;
    FakeMeasure m;
    m.bitmaps["PLEASE"] = {109, 50};
    seq.SetCredits("Title\t||Body|PLEASE^|After", '|');
    const std::vector<CreditsStaticItem> items = seq.StaticPage(W, 100, m);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].strText, "Title");
    EXPECT_EQ(items[0].rc, CRect(0, 0, W, 100));
    // The blank line takes the height of "W" in the default font.
    EXPECT_EQ(items[1].strText, "Body");
    EXPECT_EQ(items[1].rc, CRect(0, 37, W, 100));
    EXPECT_TRUE(items[2].bBitmap);
    EXPECT_EQ(items[2].rc, CRect(96, 52, 205, 102));
    EXPECT_EQ(seq.GetLineBmpX(), 96);
    EXPECT_EQ(seq.GetLineBmpY(), 52);
    EXPECT_EQ(seq.GetLineHeight(), 15);
    // The page neither widens the column nor moves the reading position.
    EXPECT_EQ(seq.GetColumnWidth(), 0);
    EXPECT_EQ(seq.GetPos(), 0u);
}

TEST(CreditsStaticPage, MissingBitmapAndHeadingOnlyLines)
{
    CCreditsSequencer seq;
    FakeMeasure m;
    seq.SetCredits("Gone^|\r|Body", '|');
    const std::vector<CreditsStaticItem> items = seq.StaticPage(W, H, m);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_FALSE(items[0].bBitmap);
    EXPECT_EQ(items[0].strText, "Gone^");
    // "Gone^" is 16 high in the default font, the bare heading line 17.
    EXPECT_EQ(items[1].rc.top, 33);
}
