#include "tools/gen/Songs.h"

#include "tools/gen/Composer.h"

namespace Songs {

namespace {

using H = CComposer::Harmony;
using Plan = CComposer::Plan;
using Section = CComposer::Section;

const std::vector<int> kMajor{0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kHarmonicMinor{0, 2, 3, 5, 7, 8, 11};

Section Sec(const char* chords, int motif, int dynamics, H harmony, bool melody = true, bool ornament = false)
{
    Section s;
    s.chords = chords;
    s.motif = motif;
    s.dynamics = dynamics;
    s.harmony = harmony;
    s.melody = melody;
    s.ornament = ornament;
    return s;
}

// Wide and calm: a flute over guitar arpeggios and strings, D major, no drums.
Plan OpenPlains()
{
    Plan p;
    p.title = "Open Plains";
    p.tonic = 74; // D5
    p.scale = kMajor;
    p.bpm = 84;
    p.beatsPerBar = 4;
    p.melody = {0, 73, 100, 70}; // flute
    p.harmony = {1, 24, 86, 50}; // nylon guitar
    p.bass = {2, 32, 96, 64};    // acoustic bass
    p.pad = {3, 48, 70, 80};     // strings
    p.usePad = true;
    p.bassStyle = CComposer::Bass::Root;
    p.drumStyle = CComposer::Drums::None;
    p.sections = {Sec("1 4 1 5", 0, 66, H::Arpeggio, false), Sec("1 4 6 5 1 4 5 1", 0, 76, H::Arpeggio),
                  Sec("1 4 6 5 2 5 5.7 1", 0, 80, H::Arpeggio, true, true),
                  Sec("4 1 4 5 6 4 2 5", 1, 86, H::Block),
                  Sec("1 4 6 5 1 4 5.7 1", 0, 90, H::Arpeggio, true, true)};
    p.seed = 11;
    return p;
}

// The game's own theme: mysterious and adventurous, A minor, oboe and harp
// over choir, with hand drums.
Plan Zandor()
{
    Plan p;
    p.title = "Zandor";
    p.tonic = 69; // A4
    p.scale = kHarmonicMinor;
    p.bpm = 104;
    p.beatsPerBar = 4;
    p.melody = {0, 68, 104, 60}; // oboe
    p.harmony = {1, 46, 88, 40}; // harp
    p.bass = {2, 43, 96, 64};    // contrabass
    p.pad = {3, 52, 64, 88};     // choir aahs
    p.usePad = true;
    p.bassStyle = CComposer::Bass::Pulse;
    p.drumStyle = CComposer::Drums::Tribal;
    p.sections = {Sec("1 6 4 5", 0, 70, H::Arpeggio, false), Sec("1 6 4 5 1 4 5.7 1", 0, 80, H::Arpeggio),
                  Sec("1 6 4 5 1 4 5.7 1", 0, 84, H::Arpeggio, true, true),
                  Sec("4 4 1 1 6 6 5 5.7", 1, 90, H::Block),
                  Sec("1 6 4 5 1 4 5.7 1", 0, 94, H::Arpeggio, true, true)};
    p.sections[0].drums = false;
    p.seed = 22;
    return p;
}

// Cheerful and bouncy: marimba tune, strummed steel guitar, walking bass and
// a pop beat, G major.
Plan SunnyDays()
{
    Plan p;
    p.title = "Sunny Days";
    p.tonic = 67; // G4
    p.scale = kMajor;
    p.bpm = 124;
    p.beatsPerBar = 4;
    p.melody = {0, 12, 112, 64}; // marimba
    p.harmony = {1, 25, 84, 44}; // steel guitar
    p.bass = {2, 33, 100, 64};   // finger bass
    p.bassStyle = CComposer::Bass::Walk;
    p.drumStyle = CComposer::Drums::Pop;
    p.sections = {Sec("1 5 6 4", 0, 76, H::Strum, false),
                  Sec("1 5 6 4 1 5 4-5 1", 0, 84, H::Strum),
                  Sec("1 5 6 4 1 5 4-5 1", 0, 88, H::Strum, true, true),
                  Sec("4 5 3 6 2 5 4 5.7", 1, 90, H::Strum),
                  Sec("1 5 6 4 1 5 4-5 1", 0, 92, H::Strum, true, true),
                  Sec("4 5 3 6 2 5 4 5.7", 1, 94, H::Strum, true, true),
                  Sec("1 5 6 4 1 5 4-5 1", 0, 96, H::Strum, true, true)};
    p.seed = 33;
    return p;
}

// Warm and slow: a clarinet waltz over electric piano and a soft pad, F major
// with major sevenths, no drums.
Plan EveningGlow()
{
    Plan p;
    p.title = "Evening Glow";
    p.tonic = 65; // F4
    p.scale = kMajor;
    p.bpm = 76;
    p.beatsPerBar = 3;
    p.melody = {0, 71, 100, 70}; // clarinet
    p.harmony = {1, 4, 84, 50};  // electric piano
    p.bass = {2, 32, 92, 64};    // acoustic bass
    p.pad = {3, 89, 62, 80};     // warm pad
    p.usePad = true;
    p.bassStyle = CComposer::Bass::Waltz;
    p.drumStyle = CComposer::Drums::None;
    p.sections = {Sec("1.7 6 4.7 5", 0, 62, H::Waltz, false), Sec("1.7 6 4.7 5 1.7 2 5.7 1", 0, 72, H::Waltz),
                  Sec("1.7 6 4.7 5 1.7 2 5.7 1", 0, 76, H::Waltz, true, true),
                  Sec("4 5 3 6 2 5 4 5.7", 1, 80, H::Block),
                  Sec("1.7 6 4.7 5 1.7 2 5.7 1", 0, 70, H::Waltz, true, true)};
    p.seed = 44;
    return p;
}

// Majestic: trumpet over a brass section and strings, tuba and a marching
// snare, B flat major, rising a whole tone for the last verse.
Plan RisingCrown()
{
    Plan p;
    p.title = "Rising Crown";
    p.tonic = 70; // B flat 4
    p.scale = kMajor;
    p.bpm = 96;
    p.beatsPerBar = 4;
    p.melody = {0, 56, 108, 64}; // trumpet
    p.harmony = {1, 61, 86, 44}; // brass section
    p.bass = {2, 58, 100, 64};   // tuba
    p.pad = {3, 48, 72, 84};     // strings
    p.usePad = true;
    p.bassStyle = CComposer::Bass::Pulse;
    p.drumStyle = CComposer::Drums::March;
    p.sections = {Sec("1 4 5 1", 0, 74, H::Block, false), Sec("1 4 5 1 6 4 5 1", 0, 84, H::Block),
                  Sec("1 4 5 1 6 4 5 1", 0, 88, H::Block, true, true),
                  Sec("4 1 4 5 6 2 5 5.7", 1, 92, H::Block),
                  Sec("1 4 5 1 6 4 5.7 1", 0, 100, H::Block, true, true)};
    p.sections.back().transpose = 2;
    p.seed = 55;
    return p;
}

} // namespace

std::vector<Written> WriteAll(const std::string& midiDir)
{
    const std::pair<const char*, Plan> songs[] = {{"openplains.mid", OpenPlains()},
                                                  {"zandor.mid", Zandor()},
                                                  {"SunnyDays.mid", SunnyDays()},
                                                  {"EveningGlow.mid", EveningGlow()},
                                                  {"risingcrown.mid", RisingCrown()}};
    std::vector<Written> out;
    for (const auto& [file, plan] : songs) {
        CComposer composer(plan);
        Written w;
        w.file = file;
        w.ok = composer.Write(midiDir + "/" + file);
        w.seconds = composer.Seconds();
        w.bars = composer.Bars();
        out.push_back(w);
    }
    return out;
}

} // namespace Songs
