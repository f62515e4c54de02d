#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it with CTest.
set -euo pipefail
cd "$(dirname "$0")"

# The server is for the tests that go through the network; LibreOffice Calc computes the finished
# workbooks for the tests labelled libreoffice; the rest builds and checks the Debian package
# (package_test); hledger reads the exported journal, pdftotext the PDFs of the command line and
# unzip the handover's zip (cli_test).
scripts/install-deps.sh firebird3.0-server libreoffice-calc-nogui dpkg-dev file lintian desktop-file-utils \
  hledger poppler-utils unzip
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DTSUBAKI_TESTS=ON -DTSUBAKI_SANITIZE=ON -DTSUBAKI_WERROR=ON >/dev/null
cmake --build build/test -j2

# The Firebird engine keeps memory for the life of the process by design: no leak reports.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j2 "$@"
