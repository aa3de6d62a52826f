#!/usr/bin/env bash
# Installs what the program needs and builds the program and its tools (scripts/setup.sh), then
# runs tarvochart on the example tables of examples/sales. With a display the chart window opens
# (Escape closes it); without one the program says so on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
examples/make-tables.sh build/tools/dbfwrite/tarvo-dbfwrite
cd examples/sales
exec ../../build/src/app/tarvochart ChartPro.DBF ChartDat.DBF
