#pragma once

#include <cstdint>
#include <vector>

// Maps the pixels of one destination axis onto a source axis for the stretching copies.
// Nearest: destination offset i takes source offset ⌊(2i + 1)·sourceLength / (2·destLength)⌋.
// Area (HALFTONE): destination offset i averages the source interval [i·s/d, (i + 1)·s/d), each
// source pixel weighted by its overlap in steps of 1/65536; the weights of one destination pixel
// sum to exactly 65536 (the rounding remainder goes to the largest weight).
// Mirrored axes run the source backwards. Source coordinates outside 0..sourceLimit-1 make the
// nearest entry -1 (that destination pixel is left as it is); area taps are clamped to the edge.
class Resample {
public:
    struct Tap {
        int source;
        uint32_t weight;
    };

    // Covers destination offsets first..first+count-1 of a destination run of destLength pixels
    // that shows sourceLength source pixels starting at sourceOrigin.
    Resample(int first, int count, int destLength, int sourceOrigin, int sourceLength, bool mirror,
             int sourceLimit, bool withTaps);

    // Source coordinate for the destination offset first + k, or -1.
    int nearest(int k) const { return m_nearest[k]; }
    // Area taps for the destination offset first + k.
    const Tap *tapsBegin(int k) const { return m_taps.data() + m_tapStart[k]; }
    const Tap *tapsEnd(int k) const { return m_taps.data() + m_tapStart[k + 1]; }

private:
    std::vector<int> m_nearest;
    std::vector<int> m_tapStart;
    std::vector<Tap> m_taps;
};
