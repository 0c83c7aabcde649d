#!/usr/bin/env bash
# Installs the packages Kivtree needs, builds it and starts it in its run folder on the
# bundled database.
source "$(dirname "$0")/common.sh"
kiv_install_packages
kiv_configure
kiv_build --target kivtree
cd "$KIV_BUILD/run"
exec ./kivtree "$@"
