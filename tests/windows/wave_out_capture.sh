#!/usr/bin/env bash
# The Windows sound path heard, not only called: wave_out_player.exe plays the alarm's tone pair and
# a wave file through waveOut; Wine hands the sound to ALSA, whose file plugin appends every opening
# of the device to one raw file here. Checked by pitch, a twentieth of a second at a time: 1000 Hz
# and 600 Hz for 200 ms each, then the file's 440 Hz for 300 ms.
#   tests/windows/wave_out_capture.sh WINE_RUN PLAYER_EXE
set -euo pipefail
wine_run=$1 player=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cat >"$tmp/asound.conf" <<CONF
pcm.!default {
    type file
    slave.pcm { type null }
    file "|cat >> $tmp/played.raw"
    format raw
}
CONF
# 300 ms of 440 Hz, 16-bit mono at 48 kHz: the format the tones take too, so the capture is one
# stream of one format.
python3 - "$tmp/alarm.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(48000)
    w.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / 48000)))
                           for i in range(48000 * 300 // 1000)))
PY
# Wine's PulseAudio driver is kept off: it would play to the user's sound server, past our ALSA
# configuration.
ALSA_CONFIG_PATH="$tmp/asound.conf" WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winepulse.drv=d" \
    "$wine_run" "$player" "Z:${tmp//\//\\}\\alarm.wav"
sleep 1  # the pipe's cat writes the last piece
python3 - "$tmp/played.raw" <<'PY'
import array, sys
samples = array.array("h")
samples.frombytes(open(sys.argv[1], "rb").read())
step = 2400  # 50 ms at 48 kHz
pitches = []
for start in range(0, len(samples) - step + 1, step):
    piece = samples[start:start + step]
    if max(abs(v) for v in piece) < 1000:
        continue  # silence between the sounds
    crossings = sum(1 for i in range(1, step) if (piece[i - 1] < 0) != (piece[i] < 0))
    pitches.append(round(crossings * 10 / 100) * 100)  # two crossings a period, to 100 Hz
heard = []
for pitch in pitches:
    if not heard or heard[-1][0] != pitch:
        heard.append([pitch, 0])
    heard[-1][1] += 50
print("heard (Hz, ms):", heard)
want = [(1000, 200), (600, 200), (400, 300)]  # 440 Hz rounds to 400
ok = len(heard) == 3 and all(h[0] == w[0] and abs(h[1] - w[1]) <= 50 for h, w in zip(heard, want))
sys.exit(0 if ok else 1)
PY
