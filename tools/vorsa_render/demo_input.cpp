#include "tools/vorsa_render/demo_input.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTempo = 120.0;            // beats per minute
constexpr int kBeats = 20;                  // five bars of four: ten seconds
constexpr int kMusicBeats = 16;             // the last bar is the tape running out: hiss alone
constexpr double kSeconds = kBeats * 60.0 / kTempo;

// Small deterministic noise source, so the demo is identical on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
    }

private:
    uint32_t state;
};

double noteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Band-limited enough for a demo: a sawtooth from a few harmonics.
double saw(double phase, int harmonics) {
    double sum = 0.0;
    for (int h = 1; h <= harmonics; ++h) sum += std::sin(2.0 * kPi * h * phase) / h;
    return sum * (2.0 / kPi);
}

void addKick(AudioData& a, long start) {
    const int fs = a.sampleRate;
    double phase = 0.0;
    for (long i = 0; i < fs / 3 && start + i < a.frames(); ++i) {
        double t = static_cast<double>(i) / fs;
        double hz = 50.0 + 110.0 * std::exp(-t * 30.0);  // the pitch drop gives the thump
        phase += hz / fs;
        float v = static_cast<float>(0.55 * std::sin(2.0 * kPi * phase) * std::exp(-t * 9.0));
        a.at(start + i, 0) += v;
        a.at(start + i, 1) += v;
    }
}

void addSnare(AudioData& a, long start, Noise& noise) {
    const int fs = a.sampleRate;
    float lowPassed = 0.0f;
    for (long i = 0; i < fs / 4 && start + i < a.frames(); ++i) {
        double t = static_cast<double>(i) / fs;
        float n = noise.next();
        lowPassed += 0.5f * (n - lowPassed);
        double body = 0.18 * std::sin(2.0 * kPi * 190.0 * t) * std::exp(-t * 25.0);
        double rattle = 0.32 * (n - 0.4 * lowPassed) * std::exp(-t * 18.0);
        float v = static_cast<float>(body + rattle);
        a.at(start + i, 0) += v * 0.9f;
        a.at(start + i, 1) += v;
    }
}

void addHat(AudioData& a, long start, Noise& noise, float level) {
    const int fs = a.sampleRate;
    float previous = 0.0f;
    for (long i = 0; i < fs / 20 && start + i < a.frames(); ++i) {
        double t = static_cast<double>(i) / fs;
        float n = noise.next();
        float highPassed = n - previous;  // first difference: only the top octaves
        previous = n;
        float v = static_cast<float>(level * highPassed * std::exp(-t * 90.0));
        a.at(start + i, 0) += v;
        a.at(start + i, 1) += v * 0.7f;
    }
}

}  // namespace

AudioData makeDemoInput(int sampleRate) {
    AudioData a;
    a.sampleRate = sampleRate;
    a.channels = 2;
    const long frames = static_cast<long>(kSeconds * sampleRate);
    a.samples.assign(static_cast<size_t>(frames) * 2, 0.0f);
    const long beat = static_cast<long>(60.0 / kTempo * sampleRate);
    Noise drumNoise(0x1234567u);

    // Drums: kick on 1 and 3, snare on 2 and 4, hats on every eighth; the
    // second bar drops the kick so the bass stands alone for a moment.
    for (int b = 0; b < kMusicBeats; ++b) {
        long start = b * beat;
        bool secondBar = b >= 4 && b < 8;
        if (b % 2 == 0 && !secondBar) addKick(a, start);
        if (b % 2 == 1) addSnare(a, start, drumNoise);
        addHat(a, start, drumNoise, 0.16f);
        addHat(a, start + beat / 2, drumNoise, 0.09f);
    }

    // Bass line: one note per beat, with rests and a quiet bar so that the
    // low band has soft passages to lift.
    const int bassNotes[kBeats] = {36, 36, 43, 41, 36, 0, 0, 34, 33, 33, 40, 38, 36, 36, 43, 46, 0, 0, 0, 0};
    double bassPhase = 0.0;
    float bassEnvelope = 0.0f;
    for (long i = 0; i < frames; ++i) {
        int b = static_cast<int>(i / beat);
        double inBeat = static_cast<double>(i % beat) / beat;
        int note = bassNotes[b];
        bool quietBar = b >= 8 && b < 12;
        float target = (note != 0 && inBeat < 0.85) ? (quietBar ? 0.06f : 0.28f) : 0.0f;
        bassEnvelope += (target - bassEnvelope) * 0.004f;
        if (note != 0) bassPhase += noteHz(note) / sampleRate;
        float v = static_cast<float>(bassEnvelope * (0.8 * std::sin(2.0 * kPi * bassPhase) +
                                                     0.2 * std::sin(4.0 * kPi * bassPhase)));
        a.at(i, 0) += v;
        a.at(i, 1) += v;
    }

    // Pad: two detuned sawtooth voices per chord note, spread left and right,
    // changing chord every bar.
    const int chords[5][3] = {{60, 64, 67}, {58, 62, 65}, {57, 60, 64}, {55, 59, 62}, {60, 64, 67}};
    double padPhase[3][2] = {};
    for (long i = 0; i < frames; ++i) {
        int bar = static_cast<int>(i / (4 * beat));
        double t = static_cast<double>(i) / sampleRate;
        double swell = 0.5 + 0.5 * std::sin(2.0 * kPi * 0.25 * t);
        // The pad dies away over half a second when the music stops.
        double end = kMusicBeats * 60.0 / kTempo;
        double fade = t < end ? 1.0 : std::max(0.0, 1.0 - (t - end) / 0.5);
        for (int n = 0; n < 3; ++n) {
            double hz = noteHz(chords[bar][n]);
            padPhase[n][0] += hz * 1.003 / sampleRate;
            padPhase[n][1] += hz * 0.997 / sampleRate;
        }
        for (int c = 0; c < 2; ++c) {
            double sum = 0.0;
            for (int n = 0; n < 3; ++n) sum += saw(padPhase[n][c], 12);
            a.at(i, c) += static_cast<float>(0.035 * fade * (0.6 + 0.4 * swell) * sum);
        }
    }

    // Tape hiss: independent per channel, tilted towards the treble, about -50 dBFS.
    Noise hissLeft(0xBADC0DEu), hissRight(0xC0FFEEu);
    float previous[2] = {0.0f, 0.0f};
    for (long i = 0; i < frames; ++i) {
        float n[2] = {hissLeft.next(), hissRight.next()};
        for (int c = 0; c < 2; ++c) {
            float bright = n[c] - 0.6f * previous[c];
            previous[c] = n[c];
            a.at(i, c) += 0.0045f * bright;
        }
    }
    return a;
}

}  // namespace render
