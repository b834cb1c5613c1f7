#!/usr/bin/env bash
# Runs a Windows program under the build folder's private Wine prefix:
#   [PIXTREL_BUILD=<build root>] scripts/wine-run.sh <program.exe> [arguments...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
pixtrel_wine_up
exec wine "$@"
