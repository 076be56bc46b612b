"""Minimal 32-bit float WAV reading and writing for the Ardour comparison, the
format both renderers write here. Samples are kept interleaved in an array('f')
so that a few seconds of stereo compare quickly in plain Python."""

import struct
from array import array

WAVE_FORMAT_IEEE_FLOAT = 3
WAVE_FORMAT_EXTENSIBLE = 0xFFFE


class Audio:
    def __init__(self, rate, channels, samples):
        self.rate = rate
        self.channels = channels
        self.samples = samples  # interleaved array('f')

    @property
    def frames(self):
        return len(self.samples) // self.channels


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 12 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a RIFF/WAVE file")
    fmt = None
    payload = None
    pos = 12
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = body
        elif tag == b"data":
            payload = body
        pos += 8 + size + (size & 1)
    if fmt is None or payload is None:
        raise ValueError(f"{path}: no fmt or data chunk")
    tag, channels, rate, _, _, bits = struct.unpack_from("<HHIIHH", fmt, 0)
    if tag == WAVE_FORMAT_EXTENSIBLE and len(fmt) >= 26:
        tag = struct.unpack_from("<H", fmt, 24)[0]  # first two bytes of the sub-format GUID
    if tag != WAVE_FORMAT_IEEE_FLOAT or bits != 32:
        raise ValueError(f"{path}: not 32-bit float (format {tag}, {bits} bits)")
    samples = array("f")
    samples.frombytes(payload[:len(payload) // 4 * 4])
    return Audio(rate, channels, samples)


def write_wav(path, audio):
    payload = audio.samples.tobytes()
    fmt = struct.pack("<HHIIHH", WAVE_FORMAT_IEEE_FLOAT, audio.channels, audio.rate,
                      audio.rate * audio.channels * 4, audio.channels * 4, 32)
    fact = struct.pack("<I", audio.frames)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"fact" + struct.pack("<I", 4) + fact
            + b"data" + struct.pack("<I", len(payload)) + payload)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
