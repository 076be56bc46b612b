"""A short deterministic stereo test signal for the Ardour comparison: drum hits
with sharp attacks, a bass line that drops to a quiet passage, a bright pad, a
hiss floor, near-full-scale peaks and a stretch of digital silence, so the
plug-ins' detectors, gates, filters and saturators all have work to do."""

import math
from array import array

from wav_io import Audio


def make_test_signal(rate=44100, seconds=4.0):
    frames = int(rate * seconds)
    out = array("f", bytes(4 * 2 * frames))
    seed = 0x2545F491

    def noise():
        # 32-bit LCG: the same signal on every machine, no library needed.
        nonlocal seed
        seed = (seed * 1664525 + 1013904223) & 0xFFFFFFFF
        return seed / 2147483648.0 - 1.0

    beat = rate // 4  # sixteenth notes at 150 bpm are close enough; the grid only spaces the hits
    bass_notes = [55.0, 55.0, 73.4, 82.4, 65.4, 55.0, 49.0, 61.7]
    silence_from = frames - rate // 5  # the last 200 ms are exact zeros
    phase_bass = 0.0
    previous_noise = 0.0
    tau = 2.0 * math.pi
    for i in range(frames):
        if i >= silence_from:
            break
        t = i / rate
        step, into = divmod(i, beat)
        # Kick on every fourth step, a falling sine with an instant attack.
        kick = 0.0
        if step % 4 == 0:
            d = into / rate
            kick = 0.7 * math.exp(-d * 18.0) * math.sin(tau * (45.0 * d + 60.0 * (1.0 - math.exp(-d * 30.0)) / 30.0))
        # Snare-like noise burst on the off-beats, high-passed by a first difference.
        n = noise()
        snare = 0.0
        if step % 4 == 2:
            snare = 0.45 * math.exp(-(into / rate) * 40.0) * (n - previous_noise)
        previous_noise = n
        # Bass line with a quiet passage in the middle second.
        note = bass_notes[(i // (rate // 2)) % len(bass_notes)]
        phase_bass += note / rate
        bass_level = 0.02 if 1.5 <= t < 2.5 else 0.35
        bass = bass_level * (math.sin(tau * phase_bass) + 0.3 * math.sin(2.0 * tau * phase_bass))
        # Bright pad: a few harmonics of a chord, slightly detuned between channels.
        pad_l = pad_r = 0.0
        for k, f in ((1, 440.0), (2, 554.4), (3, 659.3), (5, 1760.0), (9, 3520.0)):
            pad_l += math.sin(tau * f * t) / k
            pad_r += math.sin(tau * f * 1.003 * t + k) / k
        pad = 0.06
        # Tape-like hiss about 60 dB down.
        hiss_l = 0.001 * noise()
        hiss_r = 0.001 * noise()
        left = kick + snare + bass + pad * pad_l + hiss_l
        right = 0.8 * kick - snare + bass + pad * pad_r + hiss_r
        out[2 * i] = max(-0.98, min(0.98, left))
        out[2 * i + 1] = max(-0.98, min(0.98, right))
    return Audio(rate, 2, out)
