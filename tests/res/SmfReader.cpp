#include "SmfReader.h"

#include <algorithm>
#include <map>

namespace {

struct Cursor {
    const std::vector<std::uint8_t>& b;
    std::size_t at;
    std::size_t end;
    bool ok = true;

    std::uint32_t Byte()
    {
        if (at >= end) {
            ok = false;
            return 0;
        }
        return b[at++];
    }
    std::uint32_t Be(int n)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | Byte();
        return v;
    }
    std::uint32_t VarLen()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t c = Byte();
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80))
                return v;
        }
        ok = false;
        return v;
    }
};

} // namespace

double SmfSong::SecondsAt(std::uint32_t tick) const
{
    double seconds = 0;
    std::uint32_t from = 0, us = 500000;
    for (const auto& [t, tempo] : tempos) {
        if (t >= tick)
            break;
        seconds += double(t - from) * us / 1e6 / division;
        from = t;
        us = tempo;
    }
    return seconds + double(tick - from) * us / 1e6 / division;
}

SmfSong ReadSmf(const std::vector<std::uint8_t>& bytes)
{
    SmfSong song;
    Cursor c{bytes, 0, bytes.size()};
    if (c.Be(4) != 0x4D546864 || c.Be(4) != 6) {
        song.error = "no MThd header";
        return song;
    }
    song.format = static_cast<int>(c.Be(2));
    const int declaredTracks = static_cast<int>(c.Be(2));
    song.division = static_cast<int>(c.Be(2));
    if (song.division <= 0 || song.division & 0x8000) {
        song.error = "unsupported division";
        return song;
    }
    for (int t = 0; t < declaredTracks; ++t) {
        if (c.Be(4) != 0x4D54726B) {
            song.error = "missing MTrk";
            return song;
        }
        const std::uint32_t len = c.Be(4);
        if (!c.ok || c.at + len > bytes.size()) {
            song.error = "track runs past the file";
            return song;
        }
        Cursor tr{bytes, c.at, c.at + len};
        c.at += len;
        std::uint32_t tick = 0;
        int status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, int> open; // (ch,key) -> notes sounding
        while (tr.ok && tr.at < tr.end && !ended) {
            tick += tr.VarLen();
            int s = static_cast<int>(tr.Byte());
            if (s < 0x80) {
                if (!status) {
                    song.error = "running status without status";
                    return song;
                }
                --tr.at;
                s = status;
            }
            if (s == 0xFF) {
                const int type = static_cast<int>(tr.Byte());
                const std::uint32_t n = tr.VarLen();
                if (type == 0x51 && n == 3)
                    song.tempos.emplace_back(tick, tr.Be(3));
                else
                    tr.at += n;
                if (type == 0x2F)
                    ended = true;
                continue;
            }
            if (s == 0xF0 || s == 0xF7) {
                tr.at += tr.VarLen();
                continue;
            }
            status = s;
            const int ch = s & 0x0F, kind = s & 0xF0;
            const int d1 = static_cast<int>(tr.Byte());
            const int d2 = (kind == 0xC0 || kind == 0xD0) ? 0 : static_cast<int>(tr.Byte());
            if (kind == 0xC0)
                song.programs.emplace_back(ch, d1);
            if (kind == 0x90 && d2 > 0) {
                ++open[{ch, d1}];
                song.notes.push_back({tick, ch, d1});
            } else if ((kind == 0x80 || kind == 0x90) && open[{ch, d1}] > 0) {
                --open[{ch, d1}];
            }
            song.lastTick = std::max(song.lastTick, tick);
        }
        if (!tr.ok || !ended) {
            song.error = "track without end";
            return song;
        }
        for (const auto& [key, sounding] : open)
            song.unmatchedNoteOns += sounding;
        ++song.tracks;
    }
    std::stable_sort(song.tempos.begin(), song.tempos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    song.ok = true;
    return song;
}
