# Shared by run.sh and test.sh: installs what Kivtree needs on Debian 12 and builds it.
# Safe to run again: packages already present are not asked for, the build is incremental.

set -euo pipefail

KIV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KIV_BUILD="${KIV_BUILD:-$KIV_ROOT/build}"

KIV_PACKAGES=(
  g++ cmake ninja-build pkg-config ccache python3 lld
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  unixodbc unixodbc-dev odbcinst libsqliteodbc libsqlite3-dev sqlite3
  libicu-dev
  postgresql odbc-postgresql
  libxlsxwriter-dev libminizip-dev fonts-wqy-microhei poppler-utils python3-openpyxl
  xvfb xauth fonts-noto-cjk
  python3-pyatspi at-spi2-core dbus-daemon
  clang-14 libclang-rt-14-dev
)

kiv_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

kiv_install_packages() {
  local missing=()
  for pkg in "${KIV_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    kiv_as_root apt-get update -qq
    kiv_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# KIV_CMAKE_ARGS: further options for a new build folder (CI leaves out the benchmarks, which it
# never runs).
kiv_configure() {
  if [ ! -f "$KIV_BUILD/build.ninja" ]; then
    # shellcheck disable=SC2086
    cmake -S "$KIV_ROOT" -B "$KIV_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${KIV_CMAKE_ARGS:-} "$@"
  fi
}

# KIV_BUILD_TARGETS: build only these targets (CI's plain build makes the program and the tests
# it runs there, the sanitizer build the rest).
kiv_build() {
  # shellcheck disable=SC2086
  cmake --build "$KIV_BUILD" ${KIV_BUILD_TARGETS:+--target $KIV_BUILD_TARGETS} "$@"
}
