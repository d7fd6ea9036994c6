#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, then builds
# everything into build/ (the executable is build/tableau).
# Usage: scripts/setup.sh [--no-install]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    # build
    cmake ninja-build g++ pkg-config ccache
    libsqlite3-dev libpq-dev qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    # the command line of the executable (CLI11, header-only)
    libcli11-dev
    # the workbook export
    libxlsxwriter-dev
    # the chart by mail (tableau mail): the message composed by GMime
    libgmime-3.0-dev
    # the web view (tableau serve): the HTTP server (HTTPS through its GnuTLS) and the
    # users' password hashes and session tokens
    libmicrohttpd-dev libsodium-dev
    libgtest-dev libgmock-dev
    # the Jet reader (libmdb and glib)
    mdbtools-dev libglib2.0-dev
    # run: fonts with the metrics of Arial, Times New Roman and Courier New; Qt's own
    # texts (context menus, standard dialogs) in Italian
    fonts-liberation qt6-translations-l10n
    # demo and tests
    sqlite3 poppler-utils mdbtools python3-openpyxl
    # tableau mail's tests: msmtp as the sendmail interface (the msmtp package replaces no
    # system sendmail), aiosmtpd as the receiving SMTP server
    msmtp python3-aiosmtpd
    cups cups-client printer-driver-cups-pdf
    # the C library's texts in Italian (libpq5 brings its own)
    libc-l10n
    # the web view's tests: HTTPS through curl with a certificate of openssl, the browser
    # test (chromium driven by selenium)
    curl openssl chromium chromium-driver python3-selenium
    # the PostgreSQL servers of the server tests (scripts/pg-test-server.sh)
    postgresql postgresql-client
    # the Debian package and its checks
    dpkg-dev lintian
    # the fuzzers (scripts/fuzz.sh): clang and its libFuzzer and sanitizer runtimes
    clang libclang-rt-14-dev
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ "${1:-}" != "--no-install" ]; then
    missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== Installazione dei pacchetti: ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
fi

echo "== Compilazione in build/"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build -j "$(nproc)"
