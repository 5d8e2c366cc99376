#pragma once

#include "tools/media/MidiWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// Composes a song from a plan: a key, a tempo, instruments, and sections of
// chord progressions. The melody grows from a one-bar motif that is repeated,
// varied and answered in four-bar phrases; harmony, bass and drums follow the
// chords in the style the plan names. The song closes with a slowing final
// cadence and a held tonic chord.
class CComposer {
public:
    enum class Harmony { Block, Arpeggio, Waltz, Strum };
    enum class Bass { Root, Pulse, Walk, Waltz };
    enum class Drums { None, Pop, March, Tribal, Soft };

    struct Voice {
        int channel = 0;
        int program = 0; // General MIDI program, 0-based
        int volume = 100;
        int pan = 64;
    };

    struct Section {
        std::string
            chords; // scale degrees, one token per bar: "1 4 6 5"; "4-5" splits a bar; "5.7" adds a seventh
        int motif = 0;         // which motif (0 = main theme, 1 = contrast theme)
        int octave = 0;        // melody register shift in octaves
        bool ornament = false; // passing notes in the melody
        bool melody = true;    // false: accompaniment only (intro)
        int dynamics = 80;     // base velocity
        Harmony harmony = Harmony::Block;
        bool drums = true;
        int transpose = 0; // semitones, for a key change
    };

    struct Plan {
        std::string title;
        int tonic = 60;         // MIDI key of the tonic in the melody's middle octave
        std::vector<int> scale; // seven intervals from the tonic
        int bpm = 100;
        int beatsPerBar = 4; // 3 or 4, quarter-note beats
        Voice melody, harmony, bass, pad;
        bool usePad = false;
        Bass bassStyle = Bass::Root;
        Drums drumStyle = Drums::None;
        std::vector<Section> sections;
        std::uint64_t seed = 1;
    };

    explicit CComposer(const Plan& plan);

    // Composes and writes the Standard MIDI File; returns false when it cannot be written.
    bool Write(const std::string& path);
    // Playing time in seconds from the tempo map, valid after Write.
    double Seconds() const { return m_seconds; }
    int Bars() const { return m_bar; }

private:
    struct Chord {
        int degree = 0;
        bool seventh = false;
    };
    struct Motif {
        std::vector<int> rhythm; // in eighths
        std::vector<int> steps;  // scale steps before each note
    };

    std::vector<std::vector<Chord>> ParseBars(const std::string& text) const;
    int PitchOf(int scaleIndex, int transpose) const;
    bool InChord(int scaleIndex, const Chord& c) const;
    int NearestChordTone(int scaleIndex, const Chord& c) const;
    Motif MakeMotif(int kind);
    Motif Vary(const Motif& m, int how);

    void MelodyBar(std::uint32_t start, const Motif& m, const Chord& chord, const Section& s, int lo, int hi);
    void CadenceBar(std::uint32_t start, const Chord& chord, const Section& s, bool final);
    void HarmonyBar(std::uint32_t start, const std::vector<Chord>& chords, const Section& s, int bars);
    void BassBar(std::uint32_t start, const std::vector<Chord>& chords, const Chord& next, const Section& s);
    void DrumBar(std::uint32_t start, const Section& s, bool fill, bool crash);
    void Ending(std::uint32_t start, const Section& last);
    void Note(const Voice& v, std::uint32_t tick, std::uint32_t len, int key, int vel);
    void Drum(std::uint32_t tick, int key, int vel);
    void Tempo(std::uint32_t tick, int bpm);

    Plan m_plan;
    CMidiWriter m_midi;
    std::uint64_t m_rng;
    int m_trackMelody = 0, m_trackHarmony = 0, m_trackBass = 0, m_trackDrums = 0, m_trackPad = 0,
        m_trackTempo = 0;
    std::uint32_t m_barTicks = 0;
    int m_eighths = 8;   // eighth notes per bar
    int m_melodyPos = 0; // the melody's current scale index
    std::vector<Motif> m_motifs;
    std::vector<std::pair<std::uint32_t, int>> m_tempoMap;
    double m_seconds = 0;
    int m_bar = 0;

    unsigned Rand(unsigned n);
};
