#!/usr/bin/env python3
"""Writes eatitem.wav, the Snake game's eating sound: a 0.1 s blip that
glides up from 660 Hz to 1320 Hz with a quick fade in and out.
16-bit mono PCM at 22050 Hz; `make run` copies it to run/eatitem.dat."""

import math
import os
import struct
import sys
import wave

RATE = 22050
SECONDS = 0.1
START_HZ = 660.0
END_HZ = 1320.0
VOLUME = 0.45


def samples():
    count = int(RATE * SECONDS)
    phase = 0.0
    for i in range(count):
        t = i / count
        freq = START_HZ * (END_HZ / START_HZ) ** t
        phase += 2.0 * math.pi * freq / RATE
        # 5 ms attack, then an exponential decay that ends in silence.
        attack = min(1.0, i / (RATE * 0.005))
        decay = math.exp(-3.0 * t) * (1.0 - t)
        tone = math.sin(phase) + 0.25 * math.sin(2.0 * phase)
        yield int(max(-1.0, min(1.0, VOLUME * attack * decay * tone)) * 32767)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "eatitem.wav")
    with wave.open(target, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples()))


if __name__ == "__main__":
    main()
