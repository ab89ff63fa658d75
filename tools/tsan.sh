#!/usr/bin/env bash
# The clock's thread tests (alarm thread, full-hour tone, the network time worker, their flags and
# shared records) and the notes search's worker under ThreadSanitizer, in a build of their own:
# build-tsan, core only.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DDNIARZ_GUI=OFF -DDNIARZ_BENCH=OFF -DDNIARZ_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
      >/dev/null
cmake --build build-tsan --target clock_tests clock_net_tests app_tests calendar_tests --parallel "$(nproc)"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -R '^(AlarmThread|AlarmSound|HourSignal|AlarmClock|TRetrieverThread|RetrieveTime|TimeSyncTest|CalibrationTest|NotesSearch)\.' \
    -j "$(nproc)"
