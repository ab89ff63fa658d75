#!/usr/bin/env bash
# Fails, naming every C++ file of the repository that .clang-format would change.
#   tools/check-format.sh            checks every tracked .h and .cpp
#   tools/check-format.sh FILE...    checks the given files
# CLANG_FORMAT names another binary (the project's style is measured with Debian 12's clang-format 14).
set -euo pipefail
cd "$(dirname "$0")/.."
clangFormat=${CLANG_FORMAT:-clang-format}
if ! command -v "$clangFormat" >/dev/null; then
    echo "check-format: $clangFormat not found (Debian package clang-format)" >&2
    exit 2
fi
if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.h' '*.cpp')
fi
differ=()
for f in "${files[@]}"; do
    if ! "$clangFormat" --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
        differ+=("$f")
    fi
done
if [ ${#differ[@]} -gt 0 ]; then
    echo "check-format: these files differ from .clang-format (fix with: $clangFormat -i FILE):" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files match .clang-format"
