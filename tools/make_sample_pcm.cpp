// Writes the PCM of the bundled sample as a WAV file: about 30 s of music-like phrases (notes
// with harmonics and a soft attack and decay) with two clear silences of two seconds, at
// 10-12 s and 21-23 s, so silence detection and splitting have something to find.
//
//   make_sample_pcm OUT.wav
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

struct Note {
    double midi;     // pitch as a MIDI note number; 0 = rest
    double seconds;  // length
};

double Frequency(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

void AppendPhrase(std::vector<float>& left, std::vector<float>& right,
                  const std::vector<Note>& notes, double pan) {
    for (const Note& note : notes) {
        auto count = static_cast<std::size_t>(note.seconds * kRate);
        double f = note.midi > 0 ? Frequency(note.midi) : 0;
        for (std::size_t i = 0; i < count; ++i) {
            double t = static_cast<double>(i) / kRate;
            double envelope = std::min(1.0, t / 0.02) * std::exp(-2.5 * t);
            double v = 0;
            if (f > 0) {
                for (int h = 1; h <= 4; ++h) {
                    v += std::sin(2 * std::numbers::pi * f * h * t) / (h * h);
                }
            }
            v *= 0.35 * envelope;
            left.push_back(static_cast<float>(v * (1 - pan)));
            right.push_back(static_cast<float>(v * pan));
        }
    }
}

void AppendSilence(std::vector<float>& left, std::vector<float>& right, double seconds) {
    auto count = static_cast<std::size_t>(seconds * kRate);
    left.insert(left.end(), count, 0.0f);
    right.insert(right.end(), count, 0.0f);
}

void Put(std::FILE* f, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_pcm OUT.wav\n");
        return 2;
    }
    std::vector<float> left, right;
    const std::vector<Note> first = {{60, .5}, {64, .5}, {67, .5}, {72, 1},  {71, .5}, {67, .5},
                                     {64, .5}, {65, .5}, {67, 1},  {60, .5}, {62, .5}, {64, 1},
                                     {67, .5}, {65, .5}, {64, .5}, {62, .5}};
    const std::vector<Note> second = {{57, .5}, {60, .5}, {64, .5}, {69, 1},  {67, .5}, {64, .5},
                                      {62, .5}, {60, 1},  {59, .5}, {62, .5}, {67, 1},  {65, .5},
                                      {64, .5}, {62, .5}, {60, .5}, {59, .5}, {57, .5}};
    const std::vector<Note> third = {{65, .5}, {69, .5}, {72, 1},  {70, .5}, {69, .5}, {67, .5},
                                     {65, 1},  {64, .5}, {62, .5}, {60, 1},  {65, 1},  {60, 1}};
    AppendPhrase(left, right, first, 0.4);   // 0 - 10 s
    AppendSilence(left, right, 2.0);         // 10 - 12 s
    AppendPhrase(left, right, second, 0.6);  // 12 - 21 s
    AppendSilence(left, right, 2.0);         // 21 - 23 s
    AppendPhrase(left, right, third, 0.5);   // 23 - 32 s

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    auto frames = static_cast<std::uint32_t>(left.size());
    std::uint32_t dataSize = frames * 4;
    std::fwrite("RIFF", 1, 4, f);
    Put(f, 36 + dataSize, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    Put(f, 16, 4);
    Put(f, 1, 2);
    Put(f, 2, 2);
    Put(f, kRate, 4);
    Put(f, kRate * 4, 4);
    Put(f, 4, 2);
    Put(f, 16, 2);
    std::fwrite("data", 1, 4, f);
    Put(f, dataSize, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        Put(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(left[i] * 32767))),
            2);
        Put(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(right[i] * 32767))),
            2);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
