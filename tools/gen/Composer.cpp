#include "tools/gen/Composer.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {
constexpr int kPpq = 480;
constexpr std::uint32_t kEighth = kPpq / 2;
// The melody moves within these scale steps around the tonic (a little more
// than an octave); each phrase starts from its theme's home step.
constexpr int kMelodyLow = -3;
constexpr int kMelodyHigh = 8;
constexpr int kHome[] = {4, 2};

// General MIDI percussion keys.
enum DrumKey {
    Kick = 36,
    SideStick = 37,
    Snare = 38,
    Clap = 39,
    ClosedHat = 42,
    LowTom = 45,
    PedalHat = 44,
    OpenHat = 46,
    MidTom = 47,
    HighTom = 50,
    Crash = 49,
    Ride = 51,
    Tambourine = 54,
    Shaker = 70,
    Triangle = 81
};
} // namespace

CComposer::CComposer(const Plan& plan)
    : m_plan(plan), m_midi(kPpq), m_rng(plan.seed * 0x9E3779B97F4A7C15ull + 1)
{
    m_eighths = plan.beatsPerBar * 2;
    m_barTicks = static_cast<std::uint32_t>(plan.beatsPerBar * kPpq);
}

unsigned CComposer::Rand(unsigned n)
{
    m_rng ^= m_rng << 13;
    m_rng ^= m_rng >> 7;
    m_rng ^= m_rng << 17;
    return static_cast<unsigned>((m_rng >> 11) % n);
}

std::vector<std::vector<CComposer::Chord>> CComposer::ParseBars(const std::string& text) const
{
    std::vector<std::vector<Chord>> bars;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        std::vector<Chord> bar;
        std::istringstream parts(token);
        std::string part;
        while (std::getline(parts, part, '-')) {
            Chord c;
            c.degree = std::clamp(part[0] - '1', 0, 6);
            c.seventh = part.size() > 2 && part[1] == '.' && part[2] == '7';
            bar.push_back(c);
        }
        bars.push_back(bar);
    }
    return bars;
}

int CComposer::PitchOf(int scaleIndex, int transpose) const
{
    const int octave = scaleIndex >= 0 ? scaleIndex / 7 : -((-scaleIndex + 6) / 7);
    const int step = scaleIndex - octave * 7;
    return m_plan.tonic + transpose + 12 * octave + m_plan.scale[static_cast<std::size_t>(step)];
}

bool CComposer::InChord(int scaleIndex, const Chord& c) const
{
    const int rel = ((scaleIndex - c.degree) % 7 + 7) % 7;
    return rel == 0 || rel == 2 || rel == 4 || (c.seventh && rel == 6);
}

int CComposer::NearestChordTone(int scaleIndex, const Chord& c) const
{
    for (int d = 0; d <= 3; ++d) {
        // Prefer the step in the direction the line was already going.
        if (InChord(scaleIndex + d, c))
            return scaleIndex + d;
        if (InChord(scaleIndex - d, c))
            return scaleIndex - d;
    }
    return scaleIndex;
}

CComposer::Motif CComposer::MakeMotif(int kind)
{
    static const std::vector<std::vector<int>> four = {
        {2, 2, 2, 2}, {3, 1, 2, 2}, {2, 1, 1, 4}, {1, 1, 2, 2, 2}, {3, 1, 4}, {2, 2, 1, 1, 2}, {3, 1, 3, 1}};
    static const std::vector<std::vector<int>> fourLong = {{4, 2, 2}, {2, 2, 4}, {6, 2}, {3, 1, 4}};
    static const std::vector<std::vector<int>> three = {{2, 2, 2}, {3, 1, 2}, {2, 1, 1, 2}, {1, 1, 2, 2}};
    static const std::vector<std::vector<int>> threeLong = {{4, 2}, {2, 4}, {3, 1, 2}};
    const auto& pool =
        m_plan.beatsPerBar == 3 ? (kind == 0 ? three : threeLong) : (kind == 0 ? four : fourLong);
    Motif m;
    m.rhythm = pool[Rand(static_cast<unsigned>(pool.size()))];
    static const int steps[] = {1, 1, 2, -1, -1, -2, 1, -1, 3, -3, 0};
    // An arch: the motif rises first, then falls back.
    m.steps.push_back(0);
    for (std::size_t i = 1; i < m.rhythm.size(); ++i) {
        int s = steps[Rand(11)];
        if (i <= m.rhythm.size() / 2)
            s = std::abs(s);
        else if (i + 1 == m.rhythm.size())
            s = -std::abs(s == 0 ? 1 : s);
        m.steps.push_back(s);
    }
    return m;
}

CComposer::Motif CComposer::Vary(const Motif& m, int how)
{
    Motif v = m;
    if (how == 1) {
        // Answer: the same rhythm, the line turned upside down.
        for (std::size_t i = 1; i < v.steps.size(); ++i)
            v.steps[i] = -v.steps[i];
    } else if (how == 2 && v.rhythm.size() >= 2) {
        // Development: the last two notes merge into one, the line reaches higher.
        v.rhythm[v.rhythm.size() - 2] += v.rhythm.back();
        v.rhythm.pop_back();
        v.steps.pop_back();
        v.steps[0] = 2;
    }
    return v;
}

void CComposer::Note(const Voice& v, std::uint32_t tick, std::uint32_t len, int key, int vel)
{
    int track = m_trackMelody;
    if (v.channel == m_plan.harmony.channel)
        track = m_trackHarmony;
    else if (v.channel == m_plan.bass.channel)
        track = m_trackBass;
    else if (m_plan.usePad && v.channel == m_plan.pad.channel)
        track = m_trackPad;
    m_midi.Note(track, tick, len, v.channel, key, std::clamp(vel, 1, 127));
}

void CComposer::Drum(std::uint32_t tick, int key, int vel)
{
    m_midi.Note(m_trackDrums, tick, kEighth / 2, 9, key, std::clamp(vel, 1, 127));
}

void CComposer::Tempo(std::uint32_t tick, int bpm)
{
    m_midi.Tempo(m_trackTempo, tick, bpm);
    m_tempoMap.emplace_back(tick, bpm);
}

void CComposer::MelodyBar(std::uint32_t start, const Motif& m, const Chord& chord, const Section& s, int lo,
                          int hi)
{
    int u = 0;
    const int shift = 12 * s.octave + s.transpose;
    for (std::size_t i = 0; i < m.rhythm.size(); ++i) {
        m_melodyPos += m.steps[i];
        while (m_melodyPos > hi)
            m_melodyPos -= 2;
        while (m_melodyPos < lo)
            m_melodyPos += 2;
        const bool strong = u == 0 || (m_plan.beatsPerBar == 4 && u == 4);
        if (strong || m.rhythm[i] >= 3)
            m_melodyPos = NearestChordTone(m_melodyPos, chord);
        int vel = s.dynamics + (u == 0 ? 12 : strong ? 6 : 0) + static_cast<int>(Rand(7));
        const std::uint32_t at = start + static_cast<std::uint32_t>(u) * kEighth;
        const std::uint32_t len = static_cast<std::uint32_t>(m.rhythm[i]) * kEighth;
        if (s.ornament && m.rhythm[i] == 2 && !strong && Rand(2) == 0) {
            // A passing note on the off-beat eighth.
            const int next = m_melodyPos + (Rand(2) ? 1 : -1);
            Note(m_plan.melody, at, kEighth - 20, PitchOf(m_melodyPos, shift), vel);
            Note(m_plan.melody, at + kEighth, kEighth - 20, PitchOf(next, shift), vel - 8);
            m_melodyPos = next;
        } else {
            Note(m_plan.melody, at, len - len / 10, PitchOf(m_melodyPos, shift), vel);
        }
        u += m.rhythm[i];
    }
}

void CComposer::CadenceBar(std::uint32_t start, const Chord& chord, const Section& s, bool final)
{
    const int shift = 12 * s.octave + s.transpose;
    int target = NearestChordTone(m_melodyPos, chord);
    if (final && chord.degree == 0) {
        // Come home to the tonic itself.
        target = m_melodyPos;
        for (int d = 0; d <= 3; ++d) {
            if (((m_melodyPos - d) % 7 + 7) % 7 == 0) {
                target = m_melodyPos - d;
                break;
            }
            if (((m_melodyPos + d) % 7 + 7) % 7 == 0) {
                target = m_melodyPos + d;
                break;
            }
        }
    }
    // Stay in the melody's range; an octave jump at a cadence sounds like a slip.
    while (target > kMelodyHigh)
        target -= 7;
    while (target < kMelodyLow)
        target += 7;
    const int approach = target + (Rand(2) ? 1 : -1);
    const std::uint32_t first = 2 * kEighth;
    Note(m_plan.melody, start, first - 30, PitchOf(approach, shift), s.dynamics + 4);
    Note(m_plan.melody, start + first, m_barTicks - first - 40, PitchOf(target, shift), s.dynamics + 10);
    m_melodyPos = target;
}

void CComposer::HarmonyBar(std::uint32_t start, const std::vector<Chord>& chords, const Section& s, int)
{
    const std::uint32_t part = m_barTicks / static_cast<std::uint32_t>(chords.size());
    for (std::size_t ci = 0; ci < chords.size(); ++ci) {
        const Chord& c = chords[ci];
        const std::uint32_t at = start + static_cast<std::uint32_t>(ci) * part;
        // Close voicing around the middle of the keyboard.
        int octave = -12;
        while (PitchOf(c.degree, s.transpose) + octave > 64)
            octave -= 12;
        while (PitchOf(c.degree, s.transpose) + octave < 53)
            octave += 12;
        std::vector<int> keys;
        for (int k = 0; k < (c.seventh ? 4 : 3); ++k)
            keys.push_back(PitchOf(c.degree + 2 * k, s.transpose) + octave);
        const int vel = s.dynamics - 18;
        const int n = static_cast<int>(part / kEighth);
        switch (s.harmony) {
        case Harmony::Block:
            for (int k : keys)
                Note(m_plan.harmony, at, part - 20, k, vel);
            break;
        case Harmony::Arpeggio: {
            std::vector<int> cycle = keys;
            cycle.push_back(keys[0] + 12);
            for (int i = static_cast<int>(keys.size()) - 1; i > 0; --i)
                cycle.push_back(keys[static_cast<std::size_t>(i)]);
            for (int e = 0; e < n; ++e)
                Note(m_plan.harmony, at + static_cast<std::uint32_t>(e) * kEighth, kEighth * 2,
                     cycle[static_cast<std::size_t>(e) % cycle.size()], vel + (e == 0 ? 8 : 0));
            break;
        }
        case Harmony::Waltz:
            for (int e = 2; e < n; e += 2)
                for (int k : keys)
                    Note(m_plan.harmony, at + static_cast<std::uint32_t>(e) * kEighth, kEighth * 2 - 60, k,
                         vel);
            break;
        case Harmony::Strum: {
            static const int hits[] = {0, 3, 4, 6};
            for (int h : hits) {
                if (h >= n)
                    continue;
                const int len = (h == 0 || h == 4) ? 3 : 1;
                for (std::size_t k = 0; k < keys.size(); ++k)
                    Note(m_plan.harmony,
                         at + static_cast<std::uint32_t>(h) * kEighth + static_cast<std::uint32_t>(k) * 12,
                         static_cast<std::uint32_t>(len) * kEighth - 40, keys[k], vel + (h == 0 ? 10 : 0));
            }
            break;
        }
        }
        if (m_plan.usePad)
            for (int k = 1; k < 3; ++k)
                Note(m_plan.pad, at, part - 10, keys[static_cast<std::size_t>(k)] + 12, s.dynamics - 30);
    }
}

void CComposer::BassBar(std::uint32_t start, const std::vector<Chord>& chords, const Chord& next,
                        const Section& s)
{
    const std::uint32_t part = m_barTicks / static_cast<std::uint32_t>(chords.size());
    const auto rootOf = [&](int degree) {
        int key = PitchOf(degree, s.transpose) - 24;
        while (key > 47)
            key -= 12;
        while (key < 36)
            key += 12;
        return key;
    };
    const int vel = s.dynamics + 2;
    for (std::size_t ci = 0; ci < chords.size(); ++ci) {
        const Chord& c = chords[ci];
        const std::uint32_t at = start + static_cast<std::uint32_t>(ci) * part;
        const int root = rootOf(c.degree);
        const int fifth = root + (PitchOf(c.degree + 4, 0) - PitchOf(c.degree, 0));
        const int beats = static_cast<int>(part / kPpq);
        switch (m_plan.bassStyle) {
        case Bass::Root:
            Note(m_plan.bass, at, part - 30, root, vel);
            break;
        case Bass::Pulse:
            for (int b = 0; b < beats; ++b)
                Note(m_plan.bass, at + static_cast<std::uint32_t>(b) * kPpq, kPpq - 60,
                     (b == 2 && Rand(2)) ? fifth : root, vel + (b == 0 ? 10 : 0));
            break;
        case Bass::Walk: {
            const int third = root + (PitchOf(c.degree + 2, 0) - PitchOf(c.degree, 0));
            const int target = rootOf(next.degree);
            const int line[] = {root, third, fifth, target + (target > fifth ? -1 : 1)};
            for (int b = 0; b < beats; ++b) {
                const int idx = (beats < 4 && b == beats - 1) ? 3 : b;
                Note(m_plan.bass, at + static_cast<std::uint32_t>(b) * kPpq, kPpq - 40,
                     line[std::min(idx, 3)], vel + (b == 0 ? 8 : 0));
            }
            break;
        }
        case Bass::Waltz:
            Note(m_plan.bass, at, kPpq * 2 - 40, root, vel + 6);
            if (beats >= 3)
                Note(m_plan.bass, at + 2 * kPpq, kPpq - 40, fifth - 12 >= 28 ? fifth - 12 : fifth, vel - 10);
            break;
        }
    }
}

void CComposer::DrumBar(std::uint32_t start, const Section& s, bool fill, bool crash)
{
    if (m_plan.drumStyle == Drums::None || !s.drums)
        return;
    const int v = s.dynamics;
    const auto at = [&](int e) { return start + static_cast<std::uint32_t>(e) * kEighth; };
    if (crash)
        Drum(start, Crash, v + 10);
    const int fillFrom = fill ? m_eighths / 2 : m_eighths;
    for (int e = 0; e < m_eighths; ++e) {
        if (e >= fillFrom) {
            // A fill into the next section: two strokes per eighth, falling toms.
            static const int toms[] = {HighTom, HighTom, MidTom, MidTom, LowTom, LowTom, Snare, Snare};
            const int k = toms[std::min(7, (e - fillFrom) * 8 / std::max(1, m_eighths - fillFrom))];
            Drum(at(e), m_plan.drumStyle == Drums::March ? Snare : k, v + 4);
            Drum(at(e) + kEighth / 2, m_plan.drumStyle == Drums::March ? Snare : k, v - 8);
            continue;
        }
        switch (m_plan.drumStyle) {
        case Drums::Pop:
            Drum(at(e), ClosedHat, v - 20 + (e % 2 ? 0 : 10));
            if (e == 0 || e == 4 || (e == 5 && Rand(3) == 0))
                Drum(at(e), Kick, v + 8);
            if (e == 2 || e == 6)
                Drum(at(e), Snare, v + 4);
            break;
        case Drums::March:
            Drum(at(e), Snare, v - 16 + (e % 2 ? 0 : 14));
            if (e % 4 == 3)
                Drum(at(e) + kEighth / 2, Snare, v - 22);
            if (e % 4 == 0)
                Drum(at(e), Kick, v + 6);
            break;
        case Drums::Tribal:
            Drum(at(e), Shaker, v - 24 + (e % 2 ? 0 : 8));
            if (e % m_eighths == 0 || e == 3)
                Drum(at(e), LowTom, v + 4);
            if (e == m_eighths - 2)
                Drum(at(e), MidTom, v);
            if (e == 2 || e == 6)
                Drum(at(e), Tambourine, v - 14);
            break;
        case Drums::Soft:
            if (e % 2 == 0)
                Drum(at(e), Ride, v - 22);
            if (e == 0)
                Drum(at(e), Kick, v - 6);
            if (e == 2 || e == 6)
                Drum(at(e), SideStick, v - 14);
            break;
        case Drums::None:
            break;
        }
    }
}

void CComposer::Ending(std::uint32_t start, const Section& last)
{
    // A held tonic chord over two bars, everything together.
    const std::uint32_t len = 2 * m_barTicks;
    const int vel = last.dynamics + 6;
    int top = m_melodyPos;
    while (((top % 7) + 7) % 7 != 0)
        --top;
    Note(m_plan.melody, start, len - 60, PitchOf(top, 12 * last.octave + last.transpose), vel);
    int octave = -12;
    while (PitchOf(0, last.transpose) + octave > 64)
        octave -= 12;
    while (PitchOf(0, last.transpose) + octave < 53)
        octave += 12;
    for (int k = 0; k < 3; ++k)
        Note(m_plan.harmony, start, len - 60, PitchOf(2 * k, last.transpose) + octave, vel - 12);
    if (m_plan.usePad)
        for (int k = 1; k < 3; ++k)
            Note(m_plan.pad, start, len - 60, PitchOf(2 * k, last.transpose) + octave + 12, vel - 24);
    int root = PitchOf(0, last.transpose) - 24;
    while (root > 45)
        root -= 12;
    Note(m_plan.bass, start, len - 60, root, vel);
    if (m_plan.drumStyle != Drums::None) {
        Drum(start, Crash, vel + 10);
        Drum(start, Kick, vel + 10);
    }
}

bool CComposer::Write(const std::string& path)
{
    m_trackTempo = m_midi.AddTrack(m_plan.title);
    m_trackMelody = m_midi.AddTrack("Melody");
    m_trackHarmony = m_midi.AddTrack("Harmony");
    m_trackBass = m_midi.AddTrack("Bass");
    if (m_plan.usePad)
        m_trackPad = m_midi.AddTrack("Pad");
    if (m_plan.drumStyle != Drums::None)
        m_trackDrums = m_midi.AddTrack("Drums");
    m_midi.TimeSignature(m_trackTempo, 0, m_plan.beatsPerBar, 2);
    Tempo(0, m_plan.bpm);
    const std::pair<int, const Voice*> voices[] = {{m_trackMelody, &m_plan.melody},
                                                   {m_trackHarmony, &m_plan.harmony},
                                                   {m_trackBass, &m_plan.bass},
                                                   {m_trackPad, m_plan.usePad ? &m_plan.pad : nullptr}};
    for (const auto& [track, v] : voices) {
        if (!v)
            continue;
        m_midi.Program(track, 0, v->channel, v->program);
        m_midi.Control(track, 0, v->channel, 7, v->volume);
        m_midi.Control(track, 0, v->channel, 10, v->pan);
        m_midi.Control(track, 0, v->channel, 91, 48); // a little reverb
    }
    if (m_plan.drumStyle != Drums::None) {
        m_midi.Control(m_trackDrums, 0, 9, 7, 96);
        m_midi.Control(m_trackDrums, 0, 9, 91, 30);
    }

    m_motifs = {MakeMotif(0), MakeMotif(1)};
    m_melodyPos = 4;
    std::uint32_t tick = 0;
    m_bar = 0;
    for (std::size_t si = 0; si < m_plan.sections.size(); ++si) {
        const Section& s = m_plan.sections[si];
        const auto bars = ParseBars(s.chords);
        const Motif& base = m_motifs[static_cast<std::size_t>(std::clamp(s.motif, 0, 1))];
        const bool lastSection = si + 1 == m_plan.sections.size();
        for (std::size_t b = 0; b < bars.size(); ++b) {
            const std::uint32_t start = tick + static_cast<std::uint32_t>(b) * m_barTicks;
            const auto& chords = bars[b];
            Chord next{0, false};
            if (b + 1 < bars.size())
                next = bars[b + 1][0];
            else if (!lastSection)
                next = ParseBars(m_plan.sections[si + 1].chords).front().front();
            const int phraseBar = static_cast<int>(b % 4);
            const bool sectionEnd = b + 1 == bars.size();
            if (s.melody) {
                if (phraseBar == 3 || sectionEnd) {
                    CadenceBar(start, chords.back(), s, (b % 8) == 7 || sectionEnd);
                } else {
                    if (phraseBar == 0)
                        m_melodyPos = kHome[std::clamp(s.motif, 0, 1)];
                    const Motif m = phraseBar == 0   ? base
                                    : phraseBar == 1 ? Vary(base, 1)
                                                     : ((b / 4) % 2 == 0 ? base : Vary(base, 2));
                    MelodyBar(start, m, chords.front(), s, kMelodyLow, kMelodyHigh);
                }
            }
            HarmonyBar(start, chords, s, 1);
            BassBar(start, chords, next, s);
            DrumBar(start, s, sectionEnd && !lastSection, b == 0 && si > 0);
            ++m_bar;
        }
        tick += static_cast<std::uint32_t>(bars.size()) * m_barTicks;
    }
    // Slow down over the last two bars, then hold the final chord.
    for (int step = 1; step <= 4; ++step)
        Tempo(tick - 2 * m_barTicks + static_cast<std::uint32_t>(step - 1) * m_barTicks / 2,
              m_plan.bpm * (100 - 6 * step) / 100);
    Tempo(tick, m_plan.bpm * 70 / 100);
    Ending(tick, m_plan.sections.back());
    m_bar += 2;

    // Playing time from the tempo map.
    const std::uint32_t end = m_midi.LastTick();
    m_seconds = 0;
    for (std::size_t i = 0; i < m_tempoMap.size(); ++i) {
        const std::uint32_t from = m_tempoMap[i].first;
        const std::uint32_t to = i + 1 < m_tempoMap.size() ? m_tempoMap[i + 1].first : end;
        m_seconds += double(to - from) / kPpq * 60.0 / m_tempoMap[i].second;
    }
    return m_midi.Write(path);
}
