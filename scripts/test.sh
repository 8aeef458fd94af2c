#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through CTest;
# builds the Debian package and tests it installed (scripts/package_test.sh: it
# installs and removes the package, so it needs root or sudo; WATCHDESK_NO_PACKAGE=1
# skips it); then builds everything again with clang and the sanitizers (AddressSanitizer with
# leak checking, UndefinedBehaviorSanitizer) into build-sanitize/ and runs the suite
# there too. WATCHDESK_NO_SANITIZE=1 stops after the first stage.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
sanitize="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600

# The Debian package of that build: checked, installed, run, removed.
if [ "${WATCHDESK_NO_PACKAGE:-0}" = 1 ]; then
    echo "test.sh: package test skipped (WATCHDESK_NO_PACKAGE=1)"
else
    (unset QT_QPA_PLATFORM; BUILD_DIR="$build" "$root/scripts/package_test.sh")
fi

if [ "${WATCHDESK_NO_SANITIZE:-0}" = 1 ]; then
    echo "test.sh: sanitizer stage skipped (WATCHDESK_NO_SANITIZE=1)"
    exit 0
fi

# The sanitizers' options and leak suppressions are compiled into the programs
# (cmake/sanitizeroptions.cpp.in, tests/sanitizers/lsan.supp): nothing to export.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
BUILD_DIR="$sanitize" "$root/scripts/build.sh" -DCMAKE_CXX_COMPILER=clang++ -DWD_SANITIZE=ON "${launcher[@]}"
cd "$sanitize"
if ctest --output-on-failure -j "$(nproc)" --timeout 600; then
    exit 0
fi
# Now and then LeakSanitizer cannot stop a process's threads to look at its memory
# at exit and says "LeakSanitizer has encountered a fatal error": the tool failed,
# nothing was checked, and the test runs once more. Any other failure stands.
tool_failures="$(awk '
    /^[0-9]+\/[0-9]+ Test: / { sub(/^[0-9]+\/[0-9]+ Test: /, ""); test = $0 }
    /LeakSanitizer has encountered a fatal error/ { print test }' Testing/Temporary/LastTest.log | sort -u)"
failed="$(sed 's/^[0-9]*://' Testing/Temporary/LastTestsFailed.log | sort -u)"
if [ -z "$tool_failures" ] || [ -n "$(comm -23 <(echo "$failed") <(echo "$tool_failures"))" ]; then
    exit 1
fi
echo "test.sh: LeakSanitizer could not check $(echo "$tool_failures" | paste -sd ' '); running once more"
ctest --output-on-failure --rerun-failed --timeout 600
