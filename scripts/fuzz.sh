#!/usr/bin/env bash
# Builds the libFuzzer targets of the settings export reader, of the whole
# import and of the service's request reader with clang (ASan, UBSan) in build/fuzz and runs each for N seconds
# (default 20):
#   scripts/fuzz.sh [seconds]
# The committed seeds in fuzz/corpus/<target> are read, never written: new
# inputs go to build/fuzz/corpus-<target>, crashes to build/fuzz/crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-20}
out=build/fuzz
mkdir -p "$out"

sources=(src/store/RegFile.cpp src/platform/Text.cpp src/platform/sim/SimLowerCase.cpp
         src/platform/Result.cpp src/platform/DebugTrace.cpp src/platform/sim/SimDebugTrace.cpp
         src/platform/sim/SimErrorText.cpp)
# The import runs on the simulated registry, through the store's own code.
import_sources=(src/store/SettingsFile.cpp src/store/RegFileTree.cpp
                src/store/RegistrySnapshot.cpp src/store/RegistryModule.cpp src/store/modRegistry.cpp
                src/store/SettingsCatalogue.cpp src/store/PolicySettings.cpp src/store/ItemLists.cpp
                src/store/PlainPasswords.cpp src/store/PasswordCheck.cpp
                src/platform/sim/SimRegistry.cpp
                src/platform/sim/SimCrypto.cpp src/platform/sim/SimFiles.cpp)
# The service's request reader runs on the whole store and the service.
service_sources=($(ls src/store/*.cpp src/service/*.cpp | grep -v -e RegFile.cpp)
                 src/platform/ProgramPath.cpp src/platform/FolderPath.cpp
                 src/platform/sim/SimRegistry.cpp
                 src/platform/sim/SimCrypto.cpp src/platform/sim/SimFiles.cpp)
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -fno-omit-frame-pointer -Isrc)

run() {
  local name=$1 source=$2 seeds=$3
  shift 3
  echo "== $name: build"
  clang++ "${flags[@]}" "$source" "${sources[@]}" "$@" -o "$out/$name"
  mkdir -p "$out/corpus-$name"
  echo "== $name: ${seconds}s"
  "$out/$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -artifact_prefix="$out/crash-$name-" -print_final_stats=1 \
    "$out/corpus-$name" "$seeds"
}

run regfile_parse fuzz/RegFileParseFuzzer.cpp fuzz/corpus/parse
run regdata_decode fuzz/RegDataDecodeFuzzer.cpp fuzz/corpus/decode
run import fuzz/ImportFuzzer.cpp fuzz/corpus/parse "${import_sources[@]}"
run service_request fuzz/ServiceRequestFuzzer.cpp fuzz/corpus/service "${service_sources[@]}" -Itests
