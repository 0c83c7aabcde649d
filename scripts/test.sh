#!/usr/bin/env bash
# Installs the packages Kivtree needs, builds everything and runs the whole test suite.
source "$(dirname "$0")/common.sh"
kiv_install_packages
kiv_configure
kiv_build
cd "$KIV_BUILD"
ctest --output-on-failure -j2 "$@"
