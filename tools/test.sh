#!/bin/sh
# Builds Veltra with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# the whole test suite. --plain builds without the sanitizers.
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh

dir=build-test
sanitize=ON
if [ "$1" = "--plain" ]; then dir=build-plain; sanitize=OFF; fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRA_SANITIZE=$sanitize >/dev/null
cmake --build "$dir" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
