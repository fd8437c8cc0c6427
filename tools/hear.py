#!/usr/bin/python3
"""Says which notes a WAV file sounds, in order: the only way to listen on a machine without
speakers. Each note is found where the sound swells again (an onset) and named by the strongest
fundamental over the first part of it.

    /usr/bin/python3 tools/hear.py song.wav

Needs numpy (Debian's python3-numpy); reads 16-bit PCM WAV files as the editor exports them.
"""
import sys
import wave

import numpy as np

NAMES = ["C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"]
FRAME = 1024  # for finding onsets: about 23 ms
HOP = 256
HOLD = 0.12  # seconds: two onsets closer than this are one


def read(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            sys.exit(f"{path}: only 16-bit PCM is read")
        rate, channels = w.getframerate(), w.getnchannels()
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64)
    return data.reshape(-1, channels).mean(axis=1) / 32768.0, rate


def name(midi):
    return f"{NAMES[midi % 12]}{midi // 12 - 1}"


def fundamental(chunk, rate):
    """The strongest pitch of a chunk: a harmonic product spectrum, so that an overtone
    stronger than its fundamental does not name the note."""
    n = 1 << 15
    spectrum = np.abs(np.fft.rfft(chunk * np.hanning(len(chunk)), n))
    product = spectrum.copy()
    for h in (2, 3):
        decimated = spectrum[::h]
        product[: len(decimated)] *= decimated
        product[len(decimated):] = 0
    low, high = int(50 * n / rate), int(2000 * n / rate)
    peak = low + int(np.argmax(product[low:high]))
    return peak * rate / n


def onsets(samples, rate):
    frames = range(0, max(0, len(samples) - FRAME), HOP)
    rms = np.array([np.sqrt(np.mean(samples[i:i + FRAME] ** 2)) for i in frames])
    if len(rms) == 0 or rms.max() == 0:
        return rms, []
    floor = rms.max() * 0.05
    hold = int(HOLD * rate / HOP)
    found, last = [], -hold
    for i in range(len(rms)):
        before = rms[max(0, i - 8):i]
        quiet = before.min() if len(before) else 0.0
        if rms[i] > floor and rms[i] > 1.5 * quiet and i - last >= hold:
            found.append(i)
            last = i
    return rms, found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    samples, rate = read(sys.argv[1])
    rms, starts = onsets(samples, rate)
    if not starts:
        print("silence")
        return
    for k, i in enumerate(starts):
        end = starts[k + 1] if k + 1 < len(starts) else len(rms)
        begin = i * HOP + FRAME
        length = min(max(4096, (end - i) * HOP // 2), rate // 2)
        hertz = fundamental(samples[begin:begin + length], rate)
        midi = int(round(69 + 12 * np.log2(hertz / 440.0)))
        print(f"{i * HOP / rate:7.2f} s  {name(midi):4} {hertz:7.1f} Hz")


if __name__ == "__main__":
    main()
