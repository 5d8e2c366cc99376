#include "tools/gen/Sounds.h"

#include "tools/gen/GenRandom.h"

#include <algorithm>
#include <cmath>

namespace Sounds {

namespace {

using Buffer = std::vector<double>;

Buffer Silence(double seconds)
{
    return Buffer(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0);
}

double Freq(int midiKey)
{
    return 440.0 * std::pow(2.0, (midiKey - 69) / 12.0);
}

// An attack-decay envelope: linear rise over `attack` seconds, then exponential
// fall with time constant `decay`.
double Env(double t, double attack, double decay)
{
    if (t < 0)
        return 0;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

// A bell-like FM tone added into `buf` from `start` seconds.
void Bell(Buffer& buf, double start, double freq, double length, double amp, double ratio, double index)
{
    const std::size_t s0 = static_cast<std::size_t>(start * kRate);
    const std::size_t n = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < n && s0 + i < buf.size(); ++i) {
        const double t = double(i) / kRate;
        const double e = Env(t, 0.003, length / 4.0);
        const double mod = index * e * std::sin(2 * M_PI * freq * ratio * t);
        buf[s0 + i] += amp * e * std::sin(2 * M_PI * freq * t + mod);
    }
}

// A brass-like tone: harmonics whose brightness follows the envelope.
void Brass(Buffer& buf, double start, double freq, double length, double amp)
{
    const std::size_t s0 = static_cast<std::size_t>(start * kRate);
    const std::size_t n = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < n && s0 + i < buf.size(); ++i) {
        const double t = double(i) / kRate;
        const double rel = std::min(1.0, (length - t) / 0.08);
        const double e = std::min(1.0, t / 0.03) * (0.75 + 0.25 * std::exp(-t / 0.15)) * std::max(0.0, rel);
        const double vib = 1.0 + 0.004 * std::sin(2 * M_PI * 5.5 * t) * std::min(1.0, t / 0.3);
        double v = 0;
        for (int h = 1; h <= 8; ++h)
            v += std::sin(2 * M_PI * freq * vib * h * t) * std::pow(0.35 + 0.45 * e, h - 1) / h;
        buf[s0 + i] += amp * e * v;
    }
}

// A soft square wave (odd harmonics) with a plucked envelope.
void Pluck(Buffer& buf, double start, double freq, double length, double amp)
{
    const std::size_t s0 = static_cast<std::size_t>(start * kRate);
    const std::size_t n = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < n && s0 + i < buf.size(); ++i) {
        const double t = double(i) / kRate;
        const double e = Env(t, 0.004, length / 3.0);
        double v = 0;
        for (int h = 1; h <= 7; h += 2)
            v += std::sin(2 * M_PI * freq * h * t) / (h * h * 0.6 + 0.4);
        buf[s0 + i] += amp * e * v;
    }
}

// Fades 5 ms in and out, removes the mean in a way that keeps the faded ends
// at zero, and scales the peak to -1.5 dBFS.
std::vector<std::int16_t> Finish(Buffer buf)
{
    const std::size_t fade = static_cast<std::size_t>(0.005 * kRate);
    std::vector<double> gain(buf.size(), 1.0);
    for (std::size_t i = 0; i < fade && i < buf.size(); ++i) {
        gain[i] = double(i) / double(fade);
        gain[buf.size() - 1 - i] = double(i) / double(fade);
    }
    // With x' = x - c faded by g, the mean is zero when c = sum(g x) / sum(g).
    double gx = 0, g = 0;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        gx += gain[i] * buf[i];
        g += gain[i];
    }
    const double c = gx / g;
    double peak = 1e-9;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        buf[i] = (buf[i] - c) * gain[i];
        peak = std::max(peak, std::abs(buf[i]));
    }
    const double scale = std::pow(10.0, -1.5 / 20.0) * 32767.0 / peak;
    std::vector<std::int16_t> out(buf.size());
    for (std::size_t i = 0; i < buf.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(buf[i] * scale));
    return out;
}

} // namespace

std::vector<std::int16_t> Click()
{
    Buffer b = Silence(0.05);
    CGenRandom rnd(3);
    double lp = 0;
    // The knock starts right after the fade-in.
    for (std::size_t i = static_cast<std::size_t>(0.005 * kRate); i < b.size(); ++i) {
        const double t = double(i) / kRate - 0.005;
        // A wooden knock: two damped partials and a breath of filtered noise.
        lp += 0.35 * (rnd.Range(-1, 1) - lp);
        b[i] = std::exp(-t / 0.006) *
                   (0.8 * std::sin(2 * M_PI * 2100 * t) + 0.5 * std::sin(2 * M_PI * 870 * t)) +
               0.5 * std::exp(-t / 0.003) * lp;
    }
    return Finish(b);
}

std::vector<std::int16_t> Blip()
{
    Buffer b = Silence(0.09);
    double phase = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double f = 880 + 440 * std::min(1.0, t / 0.05);
        phase += 2 * M_PI * f / kRate;
        b[i] = Env(t, 0.004, 0.035) * (std::sin(phase) + 0.2 * std::sin(3 * phase));
    }
    return Finish(b);
}

std::vector<std::int16_t> Miss()
{
    Buffer b = Silence(0.22);
    CGenRandom rnd(4);
    double phase = 0, lp = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        // A low thud that sags in pitch, with a muffled buzz.
        const double f = 90 + 60 * std::exp(-t / 0.04);
        phase += 2 * M_PI * f / kRate;
        lp += 0.05 * (rnd.Range(-1, 1) - lp);
        b[i] = Env(t, 0.006, 0.06) * (std::sin(phase + 1.2 * std::sin(2 * phase)) + 1.5 * lp);
    }
    return Finish(b);
}

std::vector<std::int16_t> Ok()
{
    Buffer b = Silence(0.36);
    Bell(b, 0.0, Freq(88), 0.30, 0.6, 2.0, 1.5);  // E6
    Bell(b, 0.09, Freq(93), 0.27, 0.7, 2.0, 1.8); // A6
    return Finish(b);
}

std::vector<std::int16_t> Start()
{
    Buffer b = Silence(1.2);
    const int keys[] = {72, 76, 79, 84}; // C5 E5 G5 C6, rising
    for (int i = 0; i < 4; ++i) {
        Pluck(b, i * 0.13, Freq(keys[i]), 0.5, 0.5);
        Bell(b, i * 0.13, Freq(keys[i] + 12), 0.35, 0.15, 3.0, 1.0);
    }
    // The closing chord rings out.
    for (int k : {72, 76, 79, 84})
        Bell(b, 0.52, Freq(k), 0.66, 0.25, 1.0, 0.8);
    Pluck(b, 0.52, Freq(60), 0.66, 0.3);
    return Finish(b);
}

std::vector<std::int16_t> Win()
{
    Buffer b = Silence(2.6);
    // Pick-up triplet, then the held major chord, with sparkles on top.
    const struct {
        double at, len;
        int key;
    } calls[] = {{0.00, 0.14, 67}, {0.15, 0.14, 67}, {0.30, 0.14, 67},
                 {0.45, 0.42, 72}, {0.90, 0.28, 67}, {1.20, 1.35, 72}};
    for (const auto& c : calls)
        Brass(b, c.at, Freq(c.key), c.len, 0.45);
    Brass(b, 1.20, Freq(76), 1.35, 0.32);
    Brass(b, 1.20, Freq(79), 1.35, 0.28);
    Brass(b, 1.20, Freq(48), 1.35, 0.35);
    for (int i = 0; i < 8; ++i)
        Bell(b, 1.25 + i * 0.11, Freq(96 + (i % 4) * 3), 0.4, 0.10, 3.5, 1.2);
    return Finish(b);
}

} // namespace Sounds
