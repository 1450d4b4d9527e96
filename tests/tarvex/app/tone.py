#!/usr/bin/env python3
"""A test tone for the program's audio input and a check of what comes out.

  tone.py play FREQUENCY AMPLITUDE SECONDS   writes a stereo tone, 16-bit
                                             little-endian at 48000 Hz, to
                                             the standard output
  tone.py heard FILE                         exits 0 when such a recording
                                             carries any sound
  tone.py check FILE FREQUENCIES AMPLITUDE   reads such a recording and
                                             exits 0 when its steady part is
                                             a tone of one of the frequencies
                                             (comma-separated, within 3 Hz)
                                             and of the peak amplitude
                                             (within 1 dB) in both channels
"""
import math
import struct
import sys

RATE = 48000
FULL_SCALE = 32767.0


def play(frequency, amplitude, seconds):
    frames = int(RATE * seconds)
    out = sys.stdout.buffer
    step = 4800
    for start in range(0, frames, step):
        block = bytearray()
        for n in range(start, min(start + step, frames)):
            sample = int(round(amplitude * FULL_SCALE * math.sin(2 * math.pi * frequency * n / RATE)))
            block += struct.pack('<hh', sample, sample)
        out.write(block)
    out.flush()


def channels(path):
    with open(path, 'rb') as f:
        data = f.read()
    count = len(data) // 4
    samples = struct.unpack('<%dh' % (count * 2), data[:count * 4])
    return ([s / FULL_SCALE for s in samples[0::2]], [s / FULL_SCALE for s in samples[1::2]])


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / len(samples)) if samples else 0.0


WINDOW = RATE // 20


def loud_windows(samples):
    """The starts of the 50 ms windows that carry sound."""
    return [i for i in range(0, len(samples) - WINDOW, WINDOW)
            if rms(samples[i:i + WINDOW]) > 0.01]


def steady_windows(samples, length):
    """Windows of `length` samples, overlapping by half, over the span whose
    50 ms windows carry sound."""
    loud = loud_windows(samples)
    if not loud:
        return []
    # Leave out the edges, where the tone starts and stops.
    first, last = loud[0] + WINDOW, loud[-1]
    return [samples[i:i + length] for i in range(first, last - length, length // 2)]


def fft(values):
    """Radix-2 transform of complex values (a power of two of them)."""
    n = len(values)
    if n == 1:
        return values
    even, odd = fft(values[0::2]), fft(values[1::2])
    out = [0j] * n
    for k in range(n // 2):
        t = complex(math.cos(-2 * math.pi * k / n), math.sin(-2 * math.pi * k / n)) * odd[k]
        out[k], out[k + n // 2] = even[k] + t, even[k] - t
    return out


def hann(n):
    return [0.5 - 0.5 * math.cos(2 * math.pi * i / n) for i in range(n)]


def peak_frequency(samples):
    """The strongest component's frequency: the largest bin of a Hann-windowed
    transform, placed between bins by a parabola through its neighbours'
    logarithmic magnitudes."""
    n = len(samples)
    w = hann(n)
    spectrum = [abs(x) for x in fft([complex(s * wi) for s, wi in zip(samples, w)])[:n // 2]]
    k = max(range(1, n // 2 - 1), key=lambda i: spectrum[i])
    a, b, c = (math.log(max(spectrum[i], 1e-12)) for i in (k - 1, k, k + 1))
    offset = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c != 0 else 0.0
    return (k + offset) * RATE / n


def tone_amplitude(samples, frequency):
    """Peak amplitude of the component at the frequency, Hann-windowed."""
    w = hann(len(samples))
    step = 2 * math.pi * frequency / RATE
    re = sum(s * wi * math.cos(step * n) for n, (s, wi) in enumerate(zip(samples, w)))
    im = sum(s * wi * math.sin(step * n) for n, (s, wi) in enumerate(zip(samples, w)))
    return 2 * math.hypot(re, im) / sum(w)


def came_through_whole(samples):
    """A dropped buffer leaves a run of exact zeros, which a tone never has."""
    run = 0
    for s in samples:
        run = run + 1 if s == 0 else 0
        if run >= 64:
            return False
    return True


def check(path, frequencies, amplitude):
    """A host that falls behind drops buffers; the window that came through
    whole is judged."""
    ok = True
    for name, samples in zip(('left', 'right'), channels(path)):
        best = None
        for part in filter(came_through_whole, steady_windows(samples, 8192)):
            found = peak_frequency(part)
            level = tone_amplitude(part, found)
            purity = level / (math.sqrt(2) * rms(part))
            if best is None or purity > best[2]:
                best = (found, level, purity)
        if best is None:
            print('%s: no tone came out' % name)
            ok = False
            continue
        found, level, purity = best
        db = 20 * math.log10(level / amplitude) if level > 0 else -math.inf
        print('%s: %.2f Hz, amplitude %.4f (%+.2f dB from %.4f), tone %.1f%% of the signal'
              % (name, found, level, db, amplitude, 100 * purity))
        ok = (ok and any(abs(found - f) <= 3 for f in frequencies) and abs(db) <= 1
              and purity >= 0.9)
    return ok


if __name__ == '__main__':
    if len(sys.argv) == 5 and sys.argv[1] == 'play':
        play(float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]))
    elif len(sys.argv) == 3 and sys.argv[1] == 'heard':
        sys.exit(0 if any(loud_windows(samples) for samples in channels(sys.argv[2])) else 1)
    elif len(sys.argv) == 5 and sys.argv[1] == 'check':
        frequencies = [float(f) for f in sys.argv[3].split(',')]
        sys.exit(0 if check(sys.argv[2], frequencies, float(sys.argv[4])) else 1)
    else:
        sys.exit(__doc__)
